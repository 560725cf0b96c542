#include "app_fixture.h"
#include "platform/vb_error.h"
#include "workspace/help_class.h"

#include <gtest/gtest.h>

using namespace pb;

TEST(DescribeError, KnownNumbersHaveTheirTextsAndOthersUnableToProceed) {
    EXPECT_EQ(HelpClass::DescribeError(0), QStringLiteral("Unable to proceed"));
    EXPECT_EQ(HelpClass::DescribeError(5), QStringLiteral("Unable to proceed"));
    EXPECT_EQ(HelpClass::DescribeError(32756), QStringLiteral("Unable to proceed"));
    EXPECT_EQ(HelpClass::DescribeError(32755), QStringLiteral("Operation Cancelled"));
    EXPECT_EQ(HelpClass::DescribeError(6),
              QStringLiteral("An overflow occured as a result of an assignment\r\n"
                             "that exceeds the limitations of the application"));
    EXPECT_EQ(HelpClass::DescribeError(14).split(QStringLiteral("\r\n")).last(),
              QStringLiteral("to create more space. If that doesn't solve the probelm then abort"));
    EXPECT_EQ(HelpClass::DescribeError(75), QStringLiteral("Path/File access error"));
}

TEST(DescribeError, PrinterInformationHasEightLines) {
    const QString t = HelpClass::DescribeError(484);
    EXPECT_EQ(t.count(QStringLiteral("\r\n")), 7);
    EXPECT_TRUE(t.startsWith(QStringLiteral("Problem getting printer information from the system\r\n")));
    EXPECT_TRUE(t.endsWith(
        QStringLiteral(" _Your printer is jammed or out of paper. Physically correct the problem")));
}

TEST(DescribeError, EveryListedNumberHasItsOwnText) {
    const int listed[] = {6,   7,   14,  51,  53,  57,  58,  61,    68,    70,    71,    74,   75,  76,
                          91,  298, 320, 321, 325, 335, 336, 337,   338,   368,   419,   429,  430, 460,
                          462, 463, 481, 482, 484, 485, 486, 31001, 31004, 31036, 31037, 32755};
    ASSERT_EQ(std::size(listed), 40u);
    for (int n : listed)
        EXPECT_NE(HelpClass::DescribeError(n), QStringLiteral("Unable to proceed")) << n;
}

class HelpSoundTest : public pbtest::AppFixture {};

TEST_F(HelpSoundTest, SoundsPlayOnlyWhenAskedAndOnlyIfTheyExist) {
    HelpClass h;
    h.PlaySoundNumber(101);
    h.PlaySoundNumber(101, false);
    EXPECT_TRUE(sounds->played.empty());
    for (int id : {110, 111, 112, 117})
        h.PlaySoundNumber(id, true);
    EXPECT_TRUE(sounds->played.empty());
    for (int id : {101, 102, 103, 104, 105, 106, 107, 108, 109, 113, 114, 115, 116})
        h.PlaySoundNumber(id, true);
    EXPECT_EQ(sounds->played.size(), 13u);
    EXPECT_TRUE(h.lastSound().startsWith("RIFF"));
    EXPECT_EQ(h.lastSound().mid(8, 4), QByteArray("WAVE"));
}

TEST_F(HelpSoundTest, ShowTargetsTheTrimmedFileAndFailsAs70000) {
    HelpClass h;
    h.Show(QStringLiteral("  /help/book.chm "));
    EXPECT_EQ(shell->opened.last(), QStringLiteral("  /help/book.chm "));
    h.Show(QStringLiteral("  /help/book.chm "), QStringLiteral(" main "));
    EXPECT_EQ(shell->opened.last(), QStringLiteral("/help/book.chm"));
    shell->succeed = false;
    try {
        h.Show(QStringLiteral("/help/missing.chm"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 70000);
    }
}
