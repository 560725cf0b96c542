#include "book_fixture.h"
#include "data/property_bag.h"
#include "workspace/frm_save.h"
#include "workspace/vantrel_mdi.h"

#include "file_size_limit.h"
#include <QDate>
#include <QProgressBar>

using namespace pb;
using namespace pbtest;

class SortWindowTest : public BookFixture {
protected:
    // Shows the progress window as the program would, firing its timer at once.
    void runJobsAtOnce() {
        prompts->onModal = [this](QDialog& dlg) {
            auto& save = static_cast<frmSave&>(dlg);
            captionWhenShown = Forms::get<VantrelMDI>()->windowTitle();
            save.fireArmed();
            save.fireArmed(); // a second firing runs nothing: the timer is off
            ++modals;
        };
    }
    QString captionWhenShown;
    int modals = 0;
};

TEST_F(SortWindowTest, SortingByFirstNameReplacesTheBookAndReloadsTheWindow) {
    open({{"Bob", "Ray"}, {"ann", "Lee"}, {"Ann", "Kay"}, {"Bob", "Ray", "2"}}, nulRecord() + nulRecord());
    runJobsAtOnce();
    QStringList captions;
    Forms::get<VantrelMDI>()->captionObserver = [&](const QString& c) { captions << c; };
    d->mnuSortFirst_Click();
    EXPECT_EQ(modals, 1);
    EXPECT_EQ(captionWhenShown, QStringLiteral("Sorting Records by FirstName. Please Wait . . ."));
    EXPECT_EQ(captions.mid(1, 3), (QStringList{"Sorting Records by FirstName. Completed:  0%",
                                               "Sorting Records by FirstName. Completed:  25%",
                                               "Sorting Records by FirstName. Completed:  50%"}));
    EXPECT_EQ(captions.last(), VantrelMDI::normalCaption());
    EXPECT_EQ(Forms::find<VantrelMDI>()->windowTitle(), VantrelMDI::normalCaption());
    EXPECT_EQ(file(), bookBytes({{"Ann", "Kay"}, {"ann", "Lee"}, {"Bob", "Ray"}, {"Bob", "Ray", "2"}}));
    EXPECT_EQ(Forms::find<Data>(), d); // reloaded in place
    EXPECT_EQ(m().RecordCount, 4);
    EXPECT_TRUE(m().SortedByFirstName);
    EXPECT_FALSE(m().SortedByLastName);
    EXPECT_EQ(m().SortDate.date(), QDate::currentDate());
    EXPECT_EQ(d->lstRecordModel->line(0), QStringLiteral("Ann  Kay  ( 1)"));
    // The reload went through the unload, which saved the flags in the book's bag.
    const PropertyBag bag = loadBagFile(appDir() + QStringLiteral("Dorvane2DataBase.set"));
    EXPECT_TRUE(bag.ReadProperty(QStringLiteral("sortedByFirstName")).toBool());
}

TEST_F(SortWindowTest, SortingByLastNameChangesTheListForm) {
    open({{"Zed", "Adams"}, {"Amy", "Brown"}, {"Al", "adams"}});
    runJobsAtOnce();
    d->mnuSortLast_Click();
    EXPECT_EQ(firstNames(), (QStringList{"Al", "Zed", "Amy"}));
    EXPECT_TRUE(m().SortedByLastName);
    EXPECT_EQ(d->lstRecordModel->line(0), QStringLiteral("adams,  Al  ( 1)"));
}

TEST_F(SortWindowTest, SmallBooksOnlyTakeTheFlagsAndLockedBooksRefuse) {
    open({{"Solo"}});
    d->mnuSortLast_Click(); // no progress window: onModal is not set, so one would fail the test
    EXPECT_TRUE(m().SortedByLastName);
    d->mnuSortFirst_Click();
    EXPECT_TRUE(m().SortedByFirstName);
    EXPECT_FALSE(m().SortedByLastName);
    EXPECT_FALSE(m().SortDate.isValid() && m().SortDate.date() == QDate::currentDate());

    m().PlaySoundEffect = true;
    d->toolbarButton(d->Toolbar1, 16)->setChecked(true);
    d->Toolbar1_ButtonClick(QStringLiteral("Lock"));
    prompts->expect(QStringLiteral("    DATABASE LOCKED!\r\nPlease Unlock To Sort Records"), Exclamation,
                    QStringLiteral("Cannot Sort Records"), mb::OK);
    d->mnuSortFirst_Click();
    EXPECT_EQ(sounds->played.back(), 108);
}

TEST_F(SortWindowTest, AnEditedRecordIsOfferedForSavingBeforeTheSort) {
    open({{"Bob"}, {"Amy"}});
    d->txtInfo[0]->setText(QStringLiteral("Cy"));
    prompts->expect(QStringLiteral("Do you want to save changes?"), 36, QStringLiteral("Record  1 Modified!"),
                    mb::Yes);
    runJobsAtOnce();
    d->mnuSortFirst_Click();
    EXPECT_EQ(firstNames(), (QStringList{"Amy", "Cy"}));
    EXPECT_EQ(box(0), firstNames().at(m().current - 1)); // the window shows the stored record, nothing stale
}

TEST_F(SortWindowTest, AFailedSortIsToldAndLeavesTheBookAsItWas) {
    open({{"Bob"}, {"Amy"}});
    const QByteArray before = file();
    runJobsAtOnce();
    {
        const FileSizeLimit fullDisk(500); // the sorted copy cannot be written
        prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Ignore);
        d->mnuSortFirst_Click(); // Ignore may not go past a failed write
    }
    EXPECT_EQ(file(), before);
    EXPECT_FALSE(m().SortedByFirstName);
    EXPECT_EQ(m().RecordCount, 2);
    EXPECT_EQ(Forms::find<VantrelMDI>()->windowTitle(), VantrelMDI::normalCaption());
}

TEST_F(SortWindowTest, ProgressRoundsHalvesToEvenAndTheReloadShowsTheLastPassesRecord) {
    open({{"H"}, {"G"}, {"F"}, {"E"}, {"D"}, {"C"}, {"A"}, {"B"}});
    runJobsAtOnce();
    QStringList figures;
    Forms::get<VantrelMDI>()->captionObserver = [&](const QString& c) {
        if (c.contains(QStringLiteral("Completed:"))) figures << c.section(QStringLiteral("Completed:"), 1);
    };
    d->mnuSortFirst_Click();
    EXPECT_EQ(figures, (QStringList{"  0%", "  12%", "  25%", "  38%", "  50%", "  62%", "  75%"}));
    // The last pass compares the two largest, H before G in the old file: the smaller, G, is
    // the second of them, so record 2 is shown.
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(0), QStringLiteral("B"));
}

TEST_F(SortWindowTest, ABookPastTheLimitSortsWhatItShowsAndNeitherDeletesNorCuts) {
    // Records in reverse order of their names, four of them past the most a book shows.
    std::vector<Rec> records;
    for (int i = kMaxRecords + 4; i > 0; --i)
        records.push_back({QStringLiteral("N%1").arg(i, 5, 10, QLatin1Char('0'))});
    const QByteArray before = bookBytes(records);
    const auto expectTooLarge = [&] {
        prompts->expect({}, Exclamation, QStringLiteral("Phonebook Too Large"), mb::OK);
    };
    expectTooLarge();
    open(records);
    ASSERT_EQ(m().RecordCount, kMaxRecords);
    show(1);
    prompts->expect({}, mb::YesNo | Exclamation, QStringLiteral("Delete Alert"), mb::Yes);
    expectTooLarge();
    d->mnuDelete_Click();
    expectTooLarge();
    d->mnuCut_Click();
    EXPECT_EQ(file(), before);
    EXPECT_TRUE(readFile(appDir() + QStringLiteral("PhoneClip.q7B")).isEmpty());

    runJobsAtOnce();
    expectTooLarge(); // told again by the reload after the sort
    d->mnuSortFirst_Click();
    const qsizetype shown = static_cast<qsizetype>(kMaxRecords) * 440;
    const QByteArray after = file();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.mid(shown), before.mid(shown)); // the four hidden records, untouched
    EXPECT_EQ(firstNameAt(after, 1), QStringLiteral("N00005"));
    EXPECT_EQ(firstNameAt(after, kMaxRecords), QStringLiteral("N32770"));
    for (int n = 1; n < kMaxRecords; ++n)
        ASSERT_EQ(firstNameAt(after, n + 1), QStringLiteral("N%1").arg(n + 5, 5, 10, QLatin1Char('0')));
    EXPECT_EQ(m().RecordCount, kMaxRecords);
}
