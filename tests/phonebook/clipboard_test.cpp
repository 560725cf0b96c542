#include "book_fixture.h"
#include "kill_midway.h"

#include "file_size_limit.h"
#include <QDir>
#include <QToolBar>
#include <random>

using namespace pb;
using namespace pbtest;

class ClipboardTest : public BookFixture {
protected:
    Data* openFive() { return open({{"A"}, {"B"}, {"C"}, {"D", "Dee", "555", "d@x.org"}, {"E"}}); }
    QString clipPath() const { return appDir() + QStringLiteral("PhoneClip.q7B"); }
    QByteArray clip() const { return readFile(clipPath()); }
    // Unloads the window and loads it again on another book of the program folder.
    void reopenOn(const QString& name, const std::vector<Rec>& records) {
        Forms::unload<Data>();
        Forms::flushDeleted();
        writeFile(appDir() + name, bookBytes(records));
        m().DataBaseName = name;
        d = Forms::get<Data>();
    }
    QStringList namesIn(const QString& name) const {
        const QByteArray f = readFile(appDir() + name);
        QStringList out;
        for (int i = 1; i <= f.size() / 440; ++i)
            out << firstNameAt(f, i);
        return out;
    }
};

TEST_F(ClipboardTest, ARecordCopiedInOneBookIsPastedIntoAnotherAfterTheCurrentRecord) {
    openFive();
    show(4);
    d->txtInfo[1]->setText(QStringLiteral("Unsaved"));
    d->mnuCopy_Click();
    EXPECT_EQ(box(1), QStringLiteral("Dee")); // the stored record is shown again, and copied
    EXPECT_EQ(clip(), recordBytes({"D", "Dee", "555", "d@x.org"}));

    reopenOn(QStringLiteral("Other.q7B"), {{"X"}, {"Y"}});
    ASSERT_EQ(m().current, 1);
    d->mnuPaste_Click();
    EXPECT_EQ(namesIn(QStringLiteral("Other.q7B")), (QStringList{"X", "D", "Y"}));
    EXPECT_EQ(recordAt(readFile(appDir() + QStringLiteral("Other.q7B")), 2),
              recordBytes({"D", "Dee", "555", "d@x.org"}));
    EXPECT_EQ(m().RecordCount, 3);
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(3), QStringLiteral("d@x.org"));
    EXPECT_EQ(d->lstRecordModel->rowCount(), 3);
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D", "Dee", "555", "d@x.org"}, {"E"}}));
}

TEST_F(ClipboardTest, CutRemovesTheRecordAndPasteOnTheRecordBeforePutsItBack) {
    open({{"A"}, {"B"}, {"C"}});
    show(2);
    d->mnuCut_Click();
    EXPECT_EQ(file(), bookBytes({{"A"}, {"C"}}) + nulRecord());
    EXPECT_EQ(m().RecordCount, 2);
    EXPECT_EQ(m().current, 1);
    EXPECT_EQ(d->lstRecordModel->rowCount(), 2);
    d->mnuPaste_Click();
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}}));
    EXPECT_EQ(m().current, 2);
}

TEST_F(ClipboardTest, PasteOnTheLastRecordOrTheBlankSlotAppends) {
    openFive();
    show(1);
    d->mnuCopy_Click();
    show(5);
    d->mnuPaste_Click();
    EXPECT_EQ(firstNames(), (QStringList{"A", "B", "C", "D", "E", "A"}));
    EXPECT_EQ(m().current, 6);
    show(7);
    d->mnuPaste_Click();
    EXPECT_EQ(firstNames(), (QStringList{"A", "B", "C", "D", "E", "A", "A"}));
    EXPECT_EQ(m().RecordCount, 7);
    EXPECT_EQ(m().current, 7);
    EXPECT_EQ(d->lstRecordModel->rowCount(), 7);
}

TEST_F(ClipboardTest, AnEmptyClipboardPastesNothingAndTheBlankSlotIsNeverCopied) {
    openFive();
    show(2);
    d->mnuPaste_Click(); // never written
    writeFile(clipPath(), nulRecord());
    d->mnuPaste_Click(); // all NUL
    writeFile(clipPath(), recordBytes({"ABCDEFGHIJKLMNOPQRST"}));
    d->mnuPaste_Click(); // a first name that would end the book
    EXPECT_TRUE(prompts->shown.empty());
    // A record without a first name (the record-number box stores one) is refused as a save would be.
    writeFile(clipPath(), recordBytes({"", "Lee"}));
    prompts->expect(QStringLiteral("A record needs to have a First name"), Information,
                    QStringLiteral("Please enter a First name"), mb::OK);
    d->mnuPaste_Click();
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D", "Dee", "555", "d@x.org"}, {"E"}}));
    EXPECT_EQ(m().RecordCount, 5);
    EXPECT_EQ(m().current, 2);

    // Nor does the blank slot reach the clipboard.
    d->mnuCopy_Click();
    show(6);
    d->mnuCopy_Click();
    d->mnuCut_Click();
    EXPECT_EQ(clip(), recordBytes({"B"}));
    EXPECT_EQ(m().RecordCount, 5);
}

TEST_F(ClipboardTest, APasteThatCannotLeaveAnEditedRecordOverwritesNothing) {
    openFive();
    show(1);
    d->mnuCopy_Click();
    show(2);
    d->txtInfo[0]->clear(); // then Yes to saving, which is refused
    prompts->expect({}, mb::YesNo | mb::Question, QStringLiteral("Record  2 Modified!"), mb::Yes);
    prompts->expect({}, Information, QStringLiteral("Please enter a First name"), mb::OK);
    d->mnuPaste_Click();
    EXPECT_EQ(file(), bookBytes({{"A"}, {"B"}, {"C"}, {"D", "Dee", "555", "d@x.org"}, {"E"}}));
    EXPECT_EQ(m().current, 2);
    EXPECT_TRUE(box(0).isEmpty());
    show(2);
}

TEST_F(ClipboardTest, ALockedBookRefusesCutAndPasteButCopies) {
    openFive();
    m().PlaySoundEffect = true;
    show(2);
    d->locked = true;
    expectLocked("Cut Record");
    d->mnuCut_Click();
    expectLocked("Paste Record");
    d->mnuPaste_Click();
    d->Toolbar1_ButtonClick(QStringLiteral("CopyRecord"));
    EXPECT_EQ(sounds->played, (std::vector<int>{108, 108, 113}));
    EXPECT_EQ(clip(), recordBytes({"B"}));
    EXPECT_EQ(m().RecordCount, 5);
}

TEST_F(ClipboardTest, TheEditMenuAndToolbarCarryTheCommands) {
    openFive();
    for (const auto& [name, keys] :
         std::initializer_list<std::pair<const char*, const char*>>{{"mnuFind", "Ctrl+F"},
                                                                    {"mnuFindNext", "F3"},
                                                                    {"mnuCopy", "Ctrl+C"},
                                                                    {"mnuCut", "Ctrl+X"},
                                                                    {"mnuPaste", "Ctrl+V"}}) {
        QAction* a = d->action(QString::fromLatin1(name));
        ASSERT_TRUE(a) << name;
        EXPECT_TRUE(a->isEnabled()) << name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(keys))) << name;
    }
    for (const char* key : {"tbFindRecord", "tbCopyRecord", "tbCutRecord", "tbPasteRecord"}) {
        auto* button = d->Toolbar1->findChild<QAction*>(QString::fromLatin1(key));
        ASSERT_TRUE(button) << key;
        EXPECT_TRUE(button->isEnabled()) << key;
    }
    show(3);
    d->action(QStringLiteral("mnuCopy"))->trigger();
    EXPECT_EQ(clip(), recordBytes({"C"}));
}

TEST_F(ClipboardTest, AClipboardThatCannotBeWrittenIsToldAndCutDeletesNothing) {
    openFive();
    show(2);
    const FileSizeLimit fullDisk(0);
    prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Abort);
    d->mnuCopy_Click();
    prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Ignore);
    d->mnuCut_Click();
    EXPECT_EQ(m().RecordCount, 5);
    EXPECT_EQ(firstNames(), (QStringList{"A", "B", "C", "D", "E"}));
    EXPECT_TRUE(clip().isEmpty());
}

TEST_F(ClipboardTest, AKillAtAnyMomentOfPastingLeavesEveryPasteWholeOrNotMade) {
    std::vector<Rec> records;
    for (int i = 0; i < 3000; ++i)
        records.push_back({QStringLiteral("Name%1").arg(i), QStringLiteral("Family%1").arg(i)});
    const QByteArray book = bookBytes(records);
    const QByteArray pasted = recordBytes({"Pasted", "Record", "555"});
    std::mt19937 random(20270114);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        open(records);
        writeFile(clipPath(), pasted);
        // The child is killed: it must never be inside the sound system when it is.
        m().PlaySoundEffect = false;
        show(1);
        ASSERT_TRUE(killedMidway(random, 500, 15000, [&] { d->mnuPaste_Click(); }));

        // Record 1, then every paste made, whole, then the rest of the book as it was.
        const QByteArray f = file();
        const qsizetype made = (f.size() - book.size()) / 440;
        ASSERT_TRUE(made >= 0 && f == book.left(440) + pasted.repeated(made) + book.mid(440))
            << made << " pastes in " << f.size() << " bytes";
        Forms::unload<Data>();
        Forms::flushDeleted();
    }
    // The next load leaves nothing of the killed pastes beside the book, only its hold on it.
    open(records);
    const auto ours = [](const QString& folder) {
        QStringList names =
            QDir(folder).entryList({QStringLiteral("*.dorvane-*")}, QDir::AllEntries | QDir::Hidden);
        names.removeOne(QStringLiteral(".Dorvane2DataBase.q7B.dorvane-lock"));
        return names;
    };
    EXPECT_EQ(ours(appDir()), QStringList{".dorvane-writes"}); // the ledger stays
    // Once the window lets go of the book, no note is left in the ledger either.
    Forms::unload<Data>();
    EXPECT_EQ(ours(appDir() + QStringLiteral(".dorvane-writes")), QStringList());
}
