#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "workspace/error_steps.h"

#include <gtest/gtest.h>

using namespace pb;

class ErrorStepsTest : public pbtest::AppFixture {
protected:
    const QString title70 = QStringLiteral("ERROR70 Permission denied");
    const QString text70 = QStringLiteral(
        "An attempt was made to write to a write-protected disk or\r\nto access a locked file");
};

TEST_F(ErrorStepsTest, RetryRunsTheStepAgainIgnoreGoesOnAbortLeaves) {
    int tries = 0;
    std::vector<int> done;
    prompts->expect(text70, mb::AbortRetryIgnore | mb::Critical, title70, mb::Retry);
    prompts->expect(text70, 18, title70, mb::Ignore);
    prompts->expect({}, 18, QStringLiteral("ERROR53 File not found"), mb::Abort);
    Steps step(OnError::Standard);
    EXPECT_TRUE(step([&] {
        if (++tries < 2) throw VbError(70);
        done.push_back(1);
    }));
    EXPECT_EQ(tries, 2);
    EXPECT_TRUE(step([&] { throw VbError(70); }));
    EXPECT_EQ(pbm().LastErrorAnswer, QStringLiteral("5"));
    EXPECT_TRUE(step([&] { done.push_back(3); }));
    EXPECT_FALSE(step([&] { throw VbError(53); }));
    EXPECT_EQ(pbm().LastErrorAnswer, QStringLiteral("3"));
    EXPECT_FALSE(step([&] { done.push_back(5); }));
    EXPECT_EQ(done, (std::vector<int>{1, 3}));
}

TEST_F(ErrorStepsTest, TheCancelRuleLeavesSilentlyOnlyWhereItApplies) {
    Steps withRule(OnError::StandardCancelRule);
    EXPECT_FALSE(withRule([] { throw VbError(err::Cancelled); }));
    EXPECT_TRUE(prompts->shown.empty());

    prompts->expect(QStringLiteral("Operation Cancelled"), 18,
                    QStringLiteral("ERROR32755 Cancel was selected."), mb::Ignore);
    Steps without(OnError::Standard);
    EXPECT_TRUE(without([] { throw VbError(err::Cancelled); }));
}

TEST_F(ErrorStepsTest, IgnoreAndSilentPoliciesNeverAsk) {
    int after = 0;
    Steps ignore(OnError::Ignore);
    ignore([] { throw VbError(61); });
    ignore([&] { ++after; });
    Steps leave(OnError::LeaveSilently);
    EXPECT_FALSE(leave([] { throw std::runtime_error("boom"); }));
    EXPECT_FALSE(leave([&] { ++after; }));
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(ErrorStepsTest, TheSecondFormShowsNumberAndDescription) {
    prompts->expect(QStringLiteral("53 File not found"), 18, QStringLiteral("ERROR:  File not found"),
                    mb::Abort);
    EXPECT_EQ(secondFormErrorDialog(VbError(53)), ErrorAnswer::Abort);
}
