#include "book_fixture.h"

#include <QRadioButton>
#include <QTest>

using namespace pb;
using namespace pbtest;

class FindTest : public BookFixture {
protected:
    void type(const QString& text) { d->txtFind->setText(text); }
    void expectMiss() {
        prompts->expect(QStringLiteral("No Available Records!"), Information, QStringLiteral("Search Result"),
                        mb::OK);
    }
    void expectSaveQuestion(int record, int answer) {
        prompts->expect(QStringLiteral("Do you want to save changes?"), mb::YesNo | mb::Question,
                        QStringLiteral("Record  %1 Modified!").arg(record), answer);
    }
};

TEST_F(FindTest, EachChangeSearchesFromTheStartAndFindNextGoesOnUntilAMissThatRepeats) {
    open({{"Anna"}, {"Bob"}, {"andy"}});
    show(2);
    type(QStringLiteral("a"));
    EXPECT_EQ(m().current, 1);
    EXPECT_EQ(box(0), QStringLiteral("Anna"));
    EXPECT_EQ(d->RememberedRecord, 2); // the record shown before the search
    d->mnuFindNext_Click();
    EXPECT_EQ(box(0), QStringLiteral("andy"));
    EXPECT_EQ(d->txtRecord->text(), QStringLiteral("3"));

    expectMiss();
    d->mnuFindNext_Click();
    EXPECT_EQ(m().current, 3); // back on the record shown before
    EXPECT_EQ(d->LastFoundRecord, 3);
    expectMiss();
    d->mnuFindNext_Click();
    EXPECT_EQ(box(0), QStringLiteral("andy"));

    type(QStringLiteral("an")); // a change starts again from record 1
    EXPECT_EQ(m().current, 1);
    type(QStringLiteral(" ")); // a single blank starts no search
    EXPECT_EQ(m().current, 1);
    type(QStringLiteral("b"));
    EXPECT_EQ(box(0), QStringLiteral("Bob"));
}

TEST_F(FindTest, TheOptionsChooseTheFieldAndSearchAgainFromTheFirstRecord) {
    open({{"Lee", "Ray", "", "zed@x.org"}, {"Ray", "Lee", "", "ray@x.org"}, {"Zed", "Roe", "", "roe@x.org"}});
    m().PlaySoundEffect = true;
    d->OptLast->setChecked(true);
    d->OptLast_Click();
    EXPECT_EQ(sounds->played, (std::vector<int>{114}));
    type(QStringLiteral("r"));
    EXPECT_EQ(m().current, 1);
    type(QStringLiteral("ro"));
    EXPECT_EQ(m().current, 3);

    expectMiss(); // no last name begins with z
    type(QStringLiteral("z"));
    EXPECT_EQ(m().current, 3);
    d->OptEmail->setChecked(true);
    d->OptEmail_Click();
    EXPECT_EQ(m().current, 1); // zed@ is the first e-mail address with z
    d->OptFirst->setChecked(true);
    d->OptFirst_Click();
    EXPECT_EQ(m().current, 3);
    EXPECT_EQ(sounds->played, (std::vector<int>{114, 114, 114}));
}

TEST_F(FindTest, FindPutsTheAnswerInTheBoxAndOnlyAChangedTextSearches) {
    open({{"Ann"}, {"Bob"}, {"Ben"}});
    prompts->expectInput(QStringLiteral("Type Keyword To Find"), QStringLiteral("Find"), QStringLiteral("b"));
    d->mnuFind_Click();
    EXPECT_EQ(d->txtFind->text(), QStringLiteral("b"));
    EXPECT_EQ(m().current, 2);
    prompts->expectInput(QStringLiteral("Type Keyword To Find"), QStringLiteral("Find"), QStringLiteral("b"));
    d->Toolbar1_ButtonClick(QStringLiteral("FindRecord")); // the same answer: no search
    EXPECT_EQ(m().current, 2);
    d->mnuFindNext_Click();
    EXPECT_EQ(m().current, 3);
    prompts->expectInput(QStringLiteral("Type Keyword To Find"), QStringLiteral("Find"), QString()); // cancel
    d->mnuFind_Click();
    EXPECT_TRUE(d->txtFind->text().isEmpty());
    EXPECT_EQ(m().current, 3);
}

TEST_F(FindTest, AnEditedRecordIsOfferedForSavingAndTheSavedTextIsFound) {
    open({{"Ann"}, {"Bob"}});
    type(QStringLiteral("b"));
    ASSERT_EQ(m().current, 2);
    d->txtInfo[0]->setText(QStringLiteral("Zoe"));
    expectSaveQuestion(2, mb::Yes);
    type(QStringLiteral("z")); // the search sees what was just saved
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(firstNameAt(file(), 2), QStringLiteral("Zoe"));

    // A save that is refused keeps the user on the edits: no search.
    d->txtInfo[0]->clear();
    expectSaveQuestion(2, mb::Yes);
    prompts->expect(QStringLiteral("A record needs to have a First name"), Information,
                    QStringLiteral("Please enter a First name"), mb::OK);
    type(QStringLiteral("a"));
    EXPECT_EQ(m().current, 2);
    EXPECT_TRUE(box(0).isEmpty());

    // No: the search goes on, and the edit is left unsaved.
    expectSaveQuestion(2, mb::No);
    type(QStringLiteral("an"));
    EXPECT_EQ(m().current, 1);
    EXPECT_EQ(firstNameAt(file(), 2), QStringLiteral("Zoe"));
}

class RecordBoxTest : public BookFixture {
protected:
    Data* openFive() { return open({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}); }
    void key(const QString& text) {
        d->txtRecord->setText(text);
        d->txtRecord_KeyUp(0, 0);
    }
    void expectBox(const QString& prompt, int style, const QString& title) {
        prompts->expect(prompt, style, title, mb::OK);
    }
};

TEST_F(RecordBoxTest, AValidNumberGoesThereAndEveryRefusalReturnsToTheRememberedRecord) {
    openFive();
    show(2);
    d->txtRecord_GotFocus();
    d->txtRecord->selectAll();
    QTest::keyClick(d->txtRecord, Qt::Key_4); // the release of a typed key moves
    EXPECT_EQ(m().current, 4);
    EXPECT_EQ(d->RememberedRecord, 4);
    EXPECT_EQ(box(0), QStringLiteral("D"));

    const QString only = QStringLiteral("There are only  5 records");
    const QString begin = QStringLiteral("Records begin with number 1");
    const QString invalid = QStringLiteral("Please enter a valid number");
    const std::vector<std::tuple<QString, QString, int, QString>> refusals = {
        {QStringLiteral("9"), only, Information, QStringLiteral("X")},
        {QStringLiteral("6"), only, Information, QStringLiteral("X")}, // the blank slot is not reached
        {QStringLiteral("0"), begin, Information, QStringLiteral("X")},
        {QStringLiteral("-3"), begin, Information, QStringLiteral("X")},
        {QString(), invalid, Critical, QStringLiteral("ERROR!")},
        {QStringLiteral("x"), invalid, Critical, QStringLiteral("ERROR!")},
        {QStringLiteral("40000"), invalid, Critical, QStringLiteral("ERROR!")}};
    for (const auto& [text, prompt, style, title] : refusals) {
        show(2); // moved by other means: the box still remembers record 4
        expectBox(prompt, style, title);
        key(text);
        EXPECT_EQ(m().current, 4) << text.toStdString();
        EXPECT_EQ(d->txtRecord->text(), QStringLiteral("4"));
        EXPECT_EQ(box(0), QStringLiteral("D"));
    }
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}));
}

TEST_F(RecordBoxTest, TheEditsOfTheShownRecordAreOfferedAndSavedIntoThatRecordOnly) {
    openFive();
    show(2);
    d->RememberedRecord = 1; // a stale memory must not receive record 2's boxes
    d->txtInfo[1]->setText(QStringLiteral("Edited"));
    prompts->expect(QStringLiteral("Do you want to save changes?"), mb::YesNo | mb::Question,
                    QStringLiteral("Record  2 Modified!"), mb::Yes);
    key(QStringLiteral("3"));
    EXPECT_EQ(recordAt(file(), 2), recordBytes({"B", "Edited"}));
    EXPECT_EQ(recordAt(file(), 1), recordBytes({"A"}));
    EXPECT_EQ(m().current, 3);

    d->txtInfo[1]->setText(QStringLiteral("Dropped"));
    prompts->expect({}, mb::YesNo | mb::Question, QStringLiteral("Record  3 Modified!"), mb::No);
    key(QStringLiteral("1"));
    EXPECT_EQ(recordAt(file(), 3), recordBytes({"C"}));
    EXPECT_EQ(box(1), QString());
    EXPECT_EQ(m().current, 1);

    // A key that types nothing on an unchanged record shows it again, asking nothing.
    d->txtRecord_KeyUp(16, 1);
    EXPECT_EQ(m().current, 1);
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(RecordBoxTest, TheBlankSlotIsAppendedWithoutTheFirstNameCheckAndListed) {
    openFive();
    show(6);
    d->txtInfo[1]->setText(QStringLiteral("Nofirst"));
    prompts->expect({}, mb::YesNo | mb::Question, QStringLiteral("Record  6 Modified!"), mb::Yes);
    key(QStringLiteral("2"));
    EXPECT_EQ(m().RecordCount, 6);
    EXPECT_EQ(recordAt(file(), 6), recordBytes({"", "Nofirst"}));
    EXPECT_EQ(d->lstRecordModel->rowCount(), 6);
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  2 of  6"));
}
