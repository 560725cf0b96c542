#include "book_fixture.h"

#include "file_size_limit.h"

using namespace pb;
using namespace pbtest;

class EditsTest : public BookFixture {
protected:
    Data* openFive() { return open({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}); }
};

TEST_F(EditsTest, SavingNeedsAFirstNameAndAppendsOnlyOnTheBlankSlot) {
    openFive();
    show(3);
    d->txtInfo[0]->clear();
    prompts->expect(QStringLiteral("A record needs to have a First name"), Information,
                    QStringLiteral("Please enter a First name"), mb::OK);
    EXPECT_FALSE(d->AddIt());
    EXPECT_EQ(firstNames(), (QStringList{"A", "B", "C", "D", "E"}));

    d->txtInfo[0]->setText(QStringLiteral("  ")); // blanks are not empty
    EXPECT_TRUE(d->AddIt());
    EXPECT_EQ(m().RecordCount, 5);
    EXPECT_EQ(recordAt(file(), 3), recordBytes({}));

    show(6);
    d->txtInfo[0]->setText(QStringLiteral("F"));
    d->mnuSave_Click();
    EXPECT_EQ(m().RecordCount, 6);
    EXPECT_EQ(firstNames().last(), QStringLiteral("F"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  6 of  6"));
}

TEST_F(EditsTest, InsertAfterMovesTheTailUpAndShowsTheMarker) {
    openFive();
    show(2);
    d->mnuInsertAfter_Click();
    EXPECT_EQ(firstNames(), (QStringList{"A", "B", "*Inserted Record*", "C", "D", "E"}));
    EXPECT_EQ(recordAt(file(), 3), recordBytes({"*Inserted Record*"}));
    EXPECT_EQ(m().current, 3);
    EXPECT_EQ(m().RecordCount, 6);
    EXPECT_EQ(box(0), QStringLiteral("*Inserted Record*"));
    EXPECT_EQ(d->txtInfo[0]->selectedText(), QStringLiteral("*Inserted Record*"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  3 of  6"));
    EXPECT_EQ(d->lstRecordModel->rowCount(), 6);
}

TEST_F(EditsTest, InsertAfterOnTheLastRecordOffersTheBlankSlotAndWritesNothing) {
    openFive();
    show(5);
    d->mnuInsertAfter_Click();
    EXPECT_EQ(m().current, 6);
    EXPECT_TRUE(box(0).isEmpty());
    EXPECT_EQ(file().size(), 5 * 440);
}

TEST_F(EditsTest, InsertBeforeTakesThePlaceOfTheCurrentRecord) {
    openFive();
    show(2);
    d->mnuInsertBefore_Click();
    EXPECT_EQ(firstNames(), (QStringList{"A", "*Inserted Record*", "B", "C", "D", "E"}));
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(m().RecordCount, 6);
    d->mnuInsertBegining_Click();
    EXPECT_EQ(firstNames().mid(0, 3), (QStringList{"*Inserted Record*", "A", "*Inserted Record*"}));
    EXPECT_EQ(m().current, 1);
}

TEST_F(EditsTest, InsertsInAnEmptyBookInsertNothing) {
    open({});
    d->mnuInsertBegining_Click();
    d->mnuInsertBefore_Click();
    d->mnuInsertAfter_Click();
    EXPECT_EQ(file().size(), 0);
    EXPECT_EQ(m().RecordCount, 0);
}

TEST_F(EditsTest, DeleteMovesTheTailDownAndLeavesTheEndMark) {
    openFive();
    show(3);
    prompts->expect(QStringLiteral("The Current Record Will Be Deleted!\r\n        Do you want to continue?"),
                    mb::YesNo | Exclamation, QStringLiteral("Delete Alert"), mb::Yes);
    d->mnuDelete_Click();
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"D"}, {"E"}}) + nulRecord());
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(0), QStringLiteral("B"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  2 of  4"));
    EXPECT_EQ(d->lstRecordModel->rowCount(), 4);

    prompts->expect({}, -1, QStringLiteral("Delete Alert"), mb::No);
    d->mnuDelete_Click();
    EXPECT_EQ(m().RecordCount, 4);
}

TEST_F(EditsTest, DeletingTheOnlyRecordLeavesAnEmptyBook) {
    open({{"Solo"}});
    d->Delete();
    EXPECT_EQ(file(), nulRecord());
    EXPECT_EQ(m().RecordCount, 0);
    EXPECT_EQ(m().current, 1);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  1 of  0"));
}

TEST_F(EditsTest, ClearEmptiesTheBoxesButKeepsThePictureName) {
    open({{"Ann", "Lee", "1", "a@b", "Co", "Addr", "pic.png", "Note"}});
    d->mnuClear_Click();
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(box(i).isEmpty());
    EXPECT_EQ(box(7), QStringLiteral("pic.png"));
    EXPECT_EQ(firstNameAt(file(), 1), QStringLiteral("Ann")); // nothing written
    show(1);
}

TEST_F(EditsTest, ALockedBookRefusesEveryEditButSaving) {
    openFive();
    m().PlaySoundEffect = true;
    d->toolbarButton(d->Toolbar1, 16)->setChecked(true);
    d->Toolbar1_ButtonClick(QStringLiteral("Lock"));
    for (const char* o : {"Insert Record", "Insert Record", "Insert Record", "Insert Record", "Delete Record",
                          "Clear Fields", "Insert Record"})
        expectLocked(o);
    d->mnuInsertAfter_Click();
    d->mnuInsertBefore_Click();
    d->mnuInsertBegining_Click();
    d->mnuInsertEnd_Click();
    d->Delete();
    d->mnuClear_Click();
    m().SortedByFirstName = true;
    d->InsertAtSortedPosition(QStringLiteral("Zed"), {}); // refused once, and nothing saved after
    EXPECT_EQ(sounds->played, (std::vector<int>{106, 108, 108, 108, 108, 108, 108, 108}));
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}));
    EXPECT_TRUE(d->AddIt());
}

TEST_F(EditsTest, SortedInsertPlacesTiesAfterAndAsksForBothNamesFirst) {
    open({{"Ann", "Lee"}, {"Bob", "Ray"}});
    prompts->expectInput(QStringLiteral("Type First name (Required)"),
                         QStringLiteral("Insert at Sorted Position"), QStringLiteral("Ann"));
    prompts->expectInput(QStringLiteral("Type Last name (Optional)"),
                         QStringLiteral("Insert at Sorted Position"), QStringLiteral("Lee"));
    prompts->expect(QStringLiteral("Database is not yet sorted! Select Sort from 'File' menu"), Exclamation,
                    QStringLiteral("Action Aborted"), mb::OK);
    d->mnuSortedPosition_Click();
    EXPECT_EQ(m().RecordCount, 2);

    m().SortedByFirstName = true;
    d->InsertAtSortedPosition(QStringLiteral("ann"), QStringLiteral("Lee"));
    EXPECT_EQ(firstNames(), (QStringList{"Ann", "ann", "Bob"}));
    EXPECT_EQ(m().current, 2);
    d->InsertAtSortedPosition(QStringLiteral("Zoe"), QStringLiteral("Xu"));
    EXPECT_EQ(firstNames(), (QStringList{"Ann", "ann", "Bob", "Zoe"}));
    EXPECT_EQ(recordAt(file(), 4), recordBytes({"Zoe", "Xu"}));

    prompts->expect(QStringLiteral("Please provide a First name"), Exclamation,
                    QStringLiteral("Action Aborted"), mb::OK);
    d->InsertAtSortedPosition({}, QStringLiteral("Xu"));
}

TEST_F(EditsTest, SortedByLastNameComparesLastNamesFirstAndCutsLongFirstNames) {
    open({{"Zed", "Adams"}, {"Amy", "Brown"}});
    m().SortedByLastName = true;
    d->InsertAtSortedPosition(QStringLiteral("Bea"), QStringLiteral("adams"));
    EXPECT_EQ(firstNames(), (QStringList{"Bea", "Zed", "Amy"})); // "Bea" < "Zed" among equal last names
    d->InsertAtSortedPosition(QString(25, QLatin1Char('N')), QStringLiteral("Zulu"));
    EXPECT_EQ(firstNames().last(), QString(19, QLatin1Char('N')));
    EXPECT_EQ(m().RecordCount, 4); // the book still counts every record
}

TEST_F(EditsTest, AFullBookRefusesInsertsAndAppends) {
    QByteArray full;
    const QByteArray one = recordBytes({"X"});
    for (int i = 0; i < kMaxRecords; ++i)
        full += one;
    writeFile(book(), full);
    d = Forms::get<Data>();
    ASSERT_EQ(m().RecordCount, kMaxRecords);
    const QString title = QStringLiteral("Phonebook Full");
    prompts->expect({}, Exclamation, title, mb::OK);
    d->mnuInsertAfter_Click();
    prompts->expect({}, Exclamation, title, mb::OK);
    d->mnuInsertEnd_Click();
    show(kMaxRecords + 1);
    d->txtInfo[0]->setText(QStringLiteral("One more"));
    prompts->expect({}, Exclamation, title, mb::OK);
    EXPECT_FALSE(d->AddIt());
    EXPECT_EQ(file().size(), static_cast<qsizetype>(kMaxRecords) * 440);
    d->txtInfo[0]->clear();
}

TEST_F(EditsTest, AFailedInsertOrAppendIsToldAndLosesNothing) {
    openFive();
    const FileSizeLimit fullDisk(5 * 440);
    show(2);
    prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Abort);
    d->mnuInsertAfter_Click();
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}));
    EXPECT_EQ(m().RecordCount, 5);
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(0), QStringLiteral("B")); // the stored record, not the marker
    EXPECT_FALSE(QFile::exists(book() + QStringLiteral(".dorvane-swap")));

    show(6);
    d->txtInfo[0]->setText(QStringLiteral("F"));
    prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Ignore);
    EXPECT_FALSE(d->AddIt());
    EXPECT_EQ(m().RecordCount, 5); // not counted as appended
    EXPECT_EQ(file().size(), 5 * 440);
    d->txtInfo[0]->clear();
}
