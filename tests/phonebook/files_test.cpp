#include "book_fixture.h"
#include "data/property_bag.h"
#include "file_size_limit.h"
#include "other_copy.h"
#include "phonebook/frm_print.h"
#include "platform/settings_store.h"
#include "workspace/vantrel_mdi.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QToolBar>
#include <csignal>
#include <sys/resource.h>

using namespace pb;
using namespace pbtest;
using Kind = ScriptedPrompts::Kind;

namespace {

// Every file below a folder with its bytes, so whole trees compare at once.
std::map<QString, QByteArray> tree(const QString& folder) {
    std::map<QString, QByteArray> out;
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo(path).isDir()) {
            for (const auto& [sub, bytes] : tree(path))
                out[name + QLatin1Char('/') + sub] = bytes;
            out[name + QLatin1Char('/')] = {};
        } else {
            out[name] = readFile(path);
        }
    }
    return out;
}

} // namespace

class FilesTest : public BookFixture {
protected:
    QString app(const char* name) const { return appDir() + QString::fromLatin1(name); }
    QString target(const char* name = "") const {
        return tmp.path() + QStringLiteral("/shelf.q7b.d/") + name;
    }
    // The open book with a picture, a sound attachment and its bag on disk.
    void openWithCompanions() {
        open({{"Ann", "Lee", "", "", "", "", "ann.jpg"}, {"Bob"}, {"Cy"}});
        QDir().mkpath(app("Dorvane2DataBaseAttachments"));
        writeFile(app("Dorvane2DataBaseAttachments/ann.jpg"), "picture");
        writeFile(app("Dorvane2DataBaseAttachments/song.wav"), "sound");
        m().AttachRef->AttachToRecord(2, QStringLiteral("song.wav"), 1);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Given name"));
        saveBagFile(app("Dorvane2DataBase.set"), bag);
        QDir().mkpath(target());
        show(2);
    }
    void chooseSaveAs(const QString& path) {
        prompts->expectDialog(Kind::Save, [path](CommonDialog& d) {
            EXPECT_EQ(d.DialogTitle, QStringLiteral("Save Database As"));
            EXPECT_EQ(d.Filter, QStringLiteral("Phonebook Database |*.q7b"));
            EXPECT_EQ(d.DefaultExt, QStringLiteral("q7b"));
            EXPECT_EQ(d.Flags, 2);
            EXPECT_TRUE(d.FileName.isEmpty());
            d.FileName = path;
            return true;
        });
    }
    void expectBackupQuestion(int answer) {
        prompts->expect(
            QStringLiteral("A copy of Phonebook Database will be created in application folder\r\n"
                           "If you need to create the backup in different location,\r\n"
                           "Do so from 'Options'"),
            65, QStringLiteral("BackUp"), answer);
    }
    void expectNotHere() {
        prompts->expect(QStringLiteral("File already open\r\nSorry, the database cannot be placed \r\n"
                                       "in the same directory of the original one\r\n"
                                       "Please select for it a different location"),
                        Critical, QStringLiteral("ERROR55 File already open"), mb::OK);
    }
    void expectInUse(const QString& path,
                     const QString& where = QStringLiteral("in another running copy of Dorvane")) {
        prompts->expect(
            path + QStringLiteral("\r\nis open ") + where +
                QStringLiteral(".\r\nA phonebook is changed by one copy at a time: close it there "
                               "first."),
            Exclamation, QStringLiteral("Phonebook in Use"), mb::OK);
    }
    // The open book's own files, to prove a command left them alone.
    std::map<QString, QByteArray> ownFiles() const { return tree(tmp.path() + QStringLiteral("/app")); }
};

class SaveAsForms : public FilesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SaveAsForms, CopiesTheBookAndItsCompanionsUnderTheNewNameAndKeepsTheOpenOne) {
    if (GetParam()) { // the names as opening a file by name gives them
        m().DataBasePath = appDir().chopped(1);
        m().DataBaseName = QStringLiteral("/Dorvane2DataBase.q7B");
    }
    openWithCompanions();
    const auto before = ownFiles();
    chooseSaveAs(target("New")); // no extension, in a folder whose name holds ".q7b"
    d->mnuSaveDataBaseAs_Click();

    EXPECT_EQ(tree(target()),
              (std::map<QString, QByteArray>{
                  {"New.q7b", file()},
                  {"New.set", readFile(app("Dorvane2DataBase.set"))},
                  {"NewAttachmentsRef.att", readFile(app("Dorvane2DataBaseAttachmentsRef.att"))},
                  {"NewAttachments/", {}},
                  {"NewAttachments/ann.jpg", "picture"},
                  {"NewAttachments/song.wav", "sound"}}));
    EXPECT_EQ(ownFiles(), before);
    EXPECT_EQ(m().names().databaseFile(), app("Dorvane2DataBase.q7B"));
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(0), QStringLiteral("Bob"));
}

INSTANTIATE_TEST_SUITE_P(BothNameForms, SaveAsForms, ::testing::Bool());

TEST_F(FilesTest, SaveAsLeavesAnotherBookOfTheOldNameInTheTargetFolderAlone) {
    openWithCompanions();
    const QString other = target("Dorvane2DataBase.q7B");
    writeFile(other, bookBytes({{"Stranger"}}));
    writeFile(target("Dorvane2DataBase.set"), "their bag");
    writeFile(target("Dorvane2DataBaseAttachmentsRef.att"), "their index");
    QDir().mkpath(target("Dorvane2DataBaseAttachments"));
    writeFile(target("Dorvane2DataBaseAttachments/song.wav"), "their song");
    const auto theirs = tree(target());

    chooseSaveAs(target("Copy.q7b"));
    d->mnuSaveDataBaseAs_Click();
    auto after = tree(target());
    for (const auto& [name, bytes] : theirs)
        EXPECT_EQ(after[name], bytes) << name.toStdString();
    EXPECT_EQ(after["Copy.q7b"], file());
    EXPECT_EQ(after["CopyAttachments/song.wav"], QByteArray("sound"));
}

TEST_F(FilesTest, SaveAsOverABookOfTheNewNameReplacesItWithItsCompanions) {
    openWithCompanions();
    writeFile(target("New.q7b"), bookBytes({{"Old"}, {"Book"}, {"Here"}, {"Longer"}}));
    writeFile(target("New.set"), "old bag");
    writeFile(target("NewAttachmentsRef.att"), "old index");
    QDir().mkpath(target("NewAttachments"));
    writeFile(target("NewAttachments/old.avi"), "old movie");

    chooseSaveAs(target("New.q7b"));
    d->mnuSaveDataBaseAs_Click();
    const auto after = tree(target());
    EXPECT_EQ(after.at("New.q7b"), file());
    EXPECT_EQ(after.at("New.set"), readFile(app("Dorvane2DataBase.set")));
    EXPECT_EQ(after.at("NewAttachmentsRef.att"), readFile(app("Dorvane2DataBaseAttachmentsRef.att")));
    EXPECT_EQ(after.count("NewAttachments/old.avi"), 0u);
    EXPECT_EQ(after.at("NewAttachments/song.wav"), QByteArray("sound"));
    EXPECT_EQ(after.size(), 6u); // nothing temporary left beside them
}

TEST_F(FilesTest, MissingCompanionsAreNotCopiedAndStaleOnesOfTheReplacedBookGo) {
    open({{"Ann"}});
    QFile::remove(app("Dorvane2DataBase.set"));
    QFile::remove(app("Dorvane2DataBaseAttachmentsRef.att"));
    QDir().mkpath(target());
    writeFile(target("New.q7b"), bookBytes({{"Old"}}));
    writeFile(target("New.set"), "old bag");
    writeFile(target("NewAttachmentsRef.att"), "old index");
    QDir().mkpath(target("NewAttachments"));
    writeFile(target("NewAttachments/old.avi"), "old movie");

    chooseSaveAs(target("New.q7b"));
    d->mnuSaveDataBaseAs_Click();
    EXPECT_EQ(tree(target()), (std::map<QString, QByteArray>{{"New.q7b", file()}}));
}

TEST_F(FilesTest, SaveAsCancelledOrOntoTheOpenBooksFilesWritesNothing) {
    openWithCompanions();
    const auto before = ownFiles();
    prompts->expectCancel(Kind::Save);
    d->saveDataBaseAs();

    // The book itself, and a name whose bag and index would be the open book's.
    chooseSaveAs(app("Dorvane2DataBase.q7B"));
    expectNotHere();
    chooseSaveAs(app("Dorvane2DataBase.q7b"));
    expectNotHere();
    prompts->expectCancel(Kind::Save);
    d->saveDataBaseAs();
    EXPECT_EQ(ownFiles(), before);
    EXPECT_TRUE(tree(target()).empty());

    // Another name in the same folder is a separate book and is fine.
    chooseSaveAs(app("Second"));
    d->saveDataBaseAs();
    EXPECT_EQ(readFile(app("Second.q7b")), file());
    EXPECT_EQ(readFile(app("SecondAttachments/ann.jpg")), QByteArray("picture"));
}

TEST_F(FilesTest, AFailedCopyIsToldAndLeavesTheOldTargetWhole) {
    openWithCompanions();
    writeFile(target("New.q7b"), "the old New book");
    rlimit saved{};
    ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 440;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    chooseSaveAs(target("New.q7b"));
    prompts->expect({}, 18, QStringLiteral("ERROR61 Disk full"), mb::Abort);
    d->saveDataBaseAs();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(tree(target()), (std::map<QString, QByteArray>{{"New.q7b", "the old New book"}}));
}

TEST_F(FilesTest, BackingUpTwiceReplacesTheFirstBackupWithoutAQuestion) {
    openWithCompanions();
    expectBackupQuestion(mb::Cancel);
    d->mnuBackUp_Click();
    const QString backup = app("Backup copy of Phonebook Database");
    EXPECT_FALSE(QFileInfo::exists(backup));

    expectBackupQuestion(mb::OK);
    d->mnuBackUp_Click();
    EXPECT_EQ(tree(backup),
              (std::map<QString, QByteArray>{
                  {"Dorvane2DataBase.q7B", file()},
                  {"Dorvane2DataBase.set", readFile(app("Dorvane2DataBase.set"))},
                  {"Dorvane2DataBaseAttachmentsRef.att", readFile(app("Dorvane2DataBaseAttachmentsRef.att"))},
                  {"Dorvane2DataBaseAttachments/", {}},
                  {"Dorvane2DataBaseAttachments/ann.jpg", "picture"},
                  {"Dorvane2DataBaseAttachments/song.wav", "sound"}}));

    d->txtInfo[0]->setText(QStringLiteral("Robert"));
    d->AddIt();
    writeFile(app("Dorvane2DataBaseAttachments/song.wav"), "louder");
    expectBackupQuestion(mb::OK);
    d->mnuBackUp_Click();
    EXPECT_EQ(readFile(backup + QStringLiteral("/Dorvane2DataBase.q7B")), file());
    EXPECT_EQ(firstNameAt(readFile(backup + QStringLiteral("/Dorvane2DataBase.q7B")), 2),
              QStringLiteral("Robert"));
    EXPECT_EQ(readFile(backup + QStringLiteral("/Dorvane2DataBaseAttachments/song.wav")),
              QByteArray("louder"));
    EXPECT_EQ(tree(backup).size(), 6u);

    // On a full disk the book fits and a new attachment does not: the earlier backup stays whole.
    const auto earlier = tree(backup);
    d->txtInfo[0]->setText(QStringLiteral("Bob"));
    d->AddIt();
    writeFile(app("Dorvane2DataBaseAttachments/film.avi"), QByteArray(100000, 'f'));
    {
        const FileSizeLimit fullDisk(50000);
        expectBackupQuestion(mb::OK);
        prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Abort);
        d->mnuBackUp_Click();
    }
    EXPECT_EQ(tree(backup), earlier);
}

TEST_F(FilesTest, ABookWithoutCompanionsIsBackedUpAndTheBackupItselfIsNotCopiedOntoItself) {
    open({{"Ann"}});
    QFile::remove(app("Dorvane2DataBase.set"));
    expectBackupQuestion(mb::OK);
    d->mnuBackUp_Click();
    const QString backup = app("Backup copy of Phonebook Database");
    EXPECT_EQ(tree(backup), (std::map<QString, QByteArray>{{"Dorvane2DataBase.q7B", file()},
                                                           {"Dorvane2DataBaseAttachmentsRef.att", {}}}));

    // Working in the backup copy: backing it up would write it over itself.
    d->reload([&] {
        m().DataBasePath = backup;
        m().DataBaseName = QStringLiteral("/Dorvane2DataBase.q7B");
    });
    const auto before = tree(backup);
    expectBackupQuestion(mb::OK);
    prompts->expect({}, Exclamation, QStringLiteral("BackUp"), mb::OK);
    d->mnuBackUp_Click();
    EXPECT_EQ(tree(backup), before);
    EXPECT_EQ(m().RecordCount, 1);
}

TEST_F(FilesTest, PropertiesNameTheBookItsFolderCountAndSortState) {
    std::vector<Rec> twelve(12, Rec{"Someone"});
    open(twelve);
    const QString head =
        QStringLiteral("Phonebook Database\r\n   _Named Dorvane2DataBase.q7B\r\n   _Located in ") + appDir() +
        QStringLiteral("\r\n   _Contains  12 records\r\n");
    prompts->expect(head + QStringLiteral("   _Not Sorted"), Information, QStringLiteral("Properties"),
                    mb::OK);
    d->mnuProperties_Click();

    m().SortedByLastName = true;
    m().SortDate = QDateTime(QDate(2024, 3, 5), QTime(9, 30));
    m().Label[1] = QStringLiteral("Surname");
    prompts->expect(head + QStringLiteral("   _Last sorted by Surname on ") +
                        QLocale::system().toString(QDate(2024, 3, 5), QLocale::ShortFormat),
                    Information, QStringLiteral("Properties"), mb::OK);
    d->mnuProperties_Click();

    m().SortedByFirstName = true; // the first-name sort is asked first
    m().DataBasePath = QStringLiteral("/books");
    m().DataBaseName = QStringLiteral("/Home.q7b");
    prompts->expect(QStringLiteral("Phonebook Database\r\n   _Named Home.q7b\r\n   _Located in /books\r\n"
                                   "   _Contains  12 records\r\n   _Last sorted by First name on ") +
                        QLocale::system().toString(QDate(2024, 3, 5), QLocale::ShortFormat),
                    Information, QStringLiteral("Properties"), mb::OK);
    d->mnuProperties_Click();
    m().DataBasePath = appDir();
    m().DataBaseName = QStringLiteral("Dorvane2DataBase.q7B");
}

TEST_F(FilesTest, ANewDatabaseOpensEmptyWithTheDefaultCaptions) {
    openWithCompanions();
    const QByteArray book = file();
    const auto attachments = tree(app("Dorvane2DataBaseAttachments"));
    // An older book of the chosen name: its bag and index must not carry over to the new one.
    writeFile(target("Fresh.q7b"), bookBytes({{"Old"}}));
    PropertyBag stale;
    stale.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Stale caption"));
    saveBagFile(target("Fresh.set"), stale);
    writeFile(target("FreshAttachmentsRef.att"), QByteArray(188, 'x'));
    QDir().mkpath(target("FreshAttachments"));
    writeFile(target("FreshAttachments/old.wav"), "not this book's");

    const auto choose = [&](const QString& path) {
        prompts->expectDialog(Kind::Save, [path](CommonDialog& dlg) {
            EXPECT_EQ(dlg.DialogTitle, QStringLiteral("Create New Database As..."));
            EXPECT_EQ(dlg.Filter, QStringLiteral("Dorvane2DataBase |*.q7b"));
            EXPECT_EQ(dlg.DefaultExt, QStringLiteral("q7b"));
            EXPECT_EQ(dlg.Flags, 2);
            dlg.FileName = path;
            return true;
        });
    };
    prompts->expectCancel(Kind::Save);
    d->mnuNewDataBase_Click();
    // The open book is refused; the dialog comes back.
    choose(app("Dorvane2DataBase.q7B"));
    prompts->expect({}, Exclamation, QStringLiteral("Create New Database As..."), mb::OK);
    // A name typed without its extension meets a book under the fuller name: asked again.
    const QString replace =
        target("Fresh.q7b") + QStringLiteral(" already exists.\r\nDo you want to replace it?");
    choose(target("Fresh"));
    prompts->expect(replace, mb::YesNo | Exclamation, QStringLiteral("Replace Database"), mb::No);
    d->mnuNewDataBase_Click();
    EXPECT_EQ(readFile(target("Fresh.q7b")).size(), 440);
    choose(target("Fresh"));
    prompts->expect(replace, mb::YesNo | Exclamation, QStringLiteral("Replace Database"), mb::Yes);
    d->mnuNewDataBase_Click();

    EXPECT_EQ(file(), book);
    EXPECT_EQ(tree(app("Dorvane2DataBaseAttachments")), attachments);
    EXPECT_EQ(Forms::find<Data>(), d); // reloaded in place
    EXPECT_EQ(m().names().databaseFile(), target("Fresh.q7b"));
    EXPECT_EQ(readFile(target("Fresh.q7b")).size(), 0);
    EXPECT_EQ(readFile(target("FreshAttachmentsRef.att")).size(), 0);
    EXPECT_FALSE(QFileInfo::exists(target("FreshAttachments")));
    EXPECT_EQ(m().RecordCount, 0);
    EXPECT_EQ(d->lblinfo[0]->text(), QStringLiteral("First name"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  1 of  0"));
}

TEST_F(FilesTest, TheProgramsWorkingFilesAreRefusedAsBooksAndLeftAlone) {
    open({{"Ann"}, {"Bob"}});
    writeFile(app("PhonePrint.q7P"), "print pages");
    const auto before = ownFiles();
    const auto refused = [&](const QString& path) {
        prompts->expect(path + QStringLiteral("\r\nis one of Dorvane's working files and cannot be used as a "
                                              "phonebook.\r\nPlease choose another file."),
                        Exclamation, QStringLiteral("Not a Phonebook"), mb::OK);
    };
    const QString clip = app("PhoneClip.q7B");
    prompts->expectFileDialog(clip);
    refused(clip);
    d->mnuOpen_Click();
    EXPECT_EQ(ownFiles(), before);
    EXPECT_EQ(m().names().databaseFile(), book());
    EXPECT_EQ(m().RecordCount, 2);
}

TEST_F(FilesTest, OpenAndTheToolbarGoThroughTheSharedDialogs) {
    open({{"Ann"}});
    m().PlaySoundEffect = true;
    QDir().mkpath(target());
    writeFile(target("Other.q7b"), bookBytes({{"Zed"}, {"Yan"}}));
    prompts->expectFileDialog(target("Other.q7b"));
    d->Toolbar1_ButtonClick(QStringLiteral("Open"));
    EXPECT_EQ(sounds->played, std::vector<int>{113});
    EXPECT_EQ(m().names().databaseFile(), target("Other.q7b"));
    EXPECT_EQ(m().RecordCount, 2);

    prompts->expectCancel(Kind::Open);
    d->mnuOpen_Click();
    EXPECT_EQ(m().RecordCount, 2);

    chooseSaveAs(target("Third"));
    d->Toolbar1_ButtonMenuClick(QStringLiteral("SaveDBas"));
    EXPECT_EQ(readFile(target("Third.q7b")), readFile(target("Other.q7b")));
    EXPECT_TRUE(d->toolbarButton(d->Toolbar1, 2)->isEnabled());
}

TEST_F(FilesTest, OpeningABookWritesTheWindowsSettingsInOneSync) {
    open({{"Ann"}});
    Forms::get<frmPrint>()->Option3->setChecked(true);
    QDir().mkpath(target());
    writeFile(target("Other.q7b"), bookBytes({{"Zed"}}));
    prompts->expectFileDialog(target("Other.q7b"));
    const int before = SettingsStore::syncCount();
    d->mnuOpen_Click();
    EXPECT_EQ(m().RecordCount, 1);
    EXPECT_EQ(SettingsStore::syncCount(), before + 1);
    EXPECT_EQ(storedSetting(QStringLiteral("DataBaseName")), QStringLiteral("Dorvane2DataBase.q7B"));
    EXPECT_EQ(storedSetting(QStringLiteral("PrintOption3")), QStringLiteral("True"));
}

TEST_F(FilesTest, CloseUnloadsTheWindowAndKeepsTheFrame) {
    open({{"Ann"}});
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    d->mnuClose_Click();
    EXPECT_EQ(Forms::find<Data>(), nullptr);
    EXPECT_EQ(Forms::find<VantrelMDI>(), frame);
    EXPECT_FALSE(m().DatabaseFile);
    EXPECT_EQ(setting(QStringLiteral("DataBaseName")), QStringLiteral("Dorvane2DataBase.q7B"));
    Forms::flushDeleted();
    EXPECT_EQ(Forms::get<Data>()->windowTitle(), QStringLiteral("Phonebook Record:  1 of  1"));
}

TEST_F(FilesTest, TheViewMenuOpensTheBooksFoldersAndKnowsWhetherAttachmentsExist) {
    open({{"Ann"}});
    QAction* item = d->action(QStringLiteral("mnuDBAttacmentsFolder"));
    d->mnuView_Click();
    EXPECT_FALSE(item->isEnabled());
    QDir().mkpath(app("Dorvane2DataBaseAttachments")); // the capital extension is dropped too
    d->mnuView_Click();
    EXPECT_TRUE(item->isEnabled());
    d->mnuDBFolder_Click();
    d->mnuDBAttacmentsFolder_Click();
    EXPECT_EQ(shell->opened, (QStringList{appDir(), app("Dorvane2DataBaseAttachments")}));

    // A handover nobody takes is told; a file in the folder's place is never handed over.
    shell->succeed = false;
    prompts->expect(QStringLiteral("The desktop could not show the folder\r\n") + appDir() +
                        QStringLiteral("\r\nNo file manager is set up to open folders here."),
                    Exclamation, QStringLiteral("Cannot Open Folder"), pb::mb::OK);
    d->mnuDBFolder_Click();
    QDir(app("Dorvane2DataBaseAttachments")).removeRecursively();
    writeFile(app("Dorvane2DataBaseAttachments"), "not a folder");
    prompts->expect({}, Exclamation, QStringLiteral("Folder Not Found"), pb::mb::OK);
    d->mnuDBAttacmentsFolder_Click();
    EXPECT_EQ(shell->opened.size(), 3);
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(FilesTest, ABookAnotherRunningCopyHoldsIsNotOpenedAndTheOpenOneStays) {
    open({{"Ann"}, {"Bob"}});
    QDir().mkpath(target());
    writeFile(target("Other.q7b"), bookBytes({{"Zed"}}));
    // Reached through a link, the book is the real file, with its lock beside it.
    ASSERT_TRUE(QFile::link(target("Other.q7b"), app("Shortcut.q7b")));
    const OtherCopy other(target(".Other.q7b.dorvane-lock"));
    ASSERT_TRUE(other.holds());
    prompts->expectFileDialog(app("Shortcut.q7b"));
    expectInUse(app("Shortcut.q7b"));
    d->mnuOpen_Click();
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_EQ(m().names().databaseFile(), book());
    EXPECT_EQ(m().RecordCount, 2);
    d->txtInfo[0]->setText(QStringLiteral("Anna"));
    d->AddIt();
    EXPECT_EQ(firstNameAt(file(), 1), QStringLiteral("Anna"));
    EXPECT_EQ(readFile(target("Other.q7b")), bookBytes({{"Zed"}}));
}

TEST_F(FilesTest, ABookOpenOnAnotherComputerIsToldWithThatComputersName) {
    open({{"Ann"}});
    QDir().mkpath(target());
    writeFile(target("Other.q7b"), bookBytes({{"Zed"}}));
    // A holder on another computer cannot be seen to have died: its lock is never taken over.
    const QString lock = target(".Other.q7b.dorvane-lock");
    ASSERT_TRUE(leaveDeadCopysLock(lock));
    // Qt's lock names the holder by process, program, computer name, machine id and boot.
    QList<QByteArray> lines = readFile(lock).split('\n');
    ASSERT_GE(lines.size(), 5);
    lines[2] = "shelf-office";
    lines[3] = QByteArray(32, 'a');
    lines[4] = "boot";
    writeFile(lock, lines.join('\n'));
    expectInUse(target("Other.q7b"), QStringLiteral("in Dorvane on the computer \"shelf-office\""));
    Forms::get<VantrelMDI>()->OpenMyFile(target("Other.q7b"));
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_EQ(m().names().databaseFile(), book());
}

TEST_F(FilesTest, NoWholeBookIsWrittenOverABookAnotherRunningCopyHolds) {
    openWithCompanions();
    writeFile(target("Other.q7b"), bookBytes({{"Zed"}}));
    writeFile(target("Other.set"), "their bag");
    const OtherCopy other(target(".Other.q7b.dorvane-lock"));
    ASSERT_TRUE(other.holds());
    const auto theirs = tree(target());
    chooseSaveAs(target("Other.q7b"));
    expectInUse(target("Other.q7b"));
    d->mnuSaveDataBaseAs_Click();
    prompts->expectDialog(Kind::Save, [&](CommonDialog& dlg) {
        dlg.FileName = target("Other.q7b");
        return true;
    });
    expectInUse(target("Other.q7b"));
    d->mnuNewDataBase_Click();
    EXPECT_EQ(tree(target()), theirs);
    EXPECT_EQ(m().names().databaseFile(), book());
    EXPECT_EQ(box(0), QStringLiteral("Bob"));

    // The backup copy, opened as a book in another copy.
    const QString backup = app("Backup copy of Phonebook Database");
    QDir().mkpath(backup);
    writeFile(backup + QStringLiteral("/Dorvane2DataBase.q7B"), bookBytes({{"Old"}}));
    const OtherCopy working(backup + QStringLiteral("/.Dorvane2DataBase.q7B.dorvane-lock"));
    ASSERT_TRUE(working.holds());
    const auto backedUp = tree(backup);
    expectBackupQuestion(mb::OK);
    expectInUse(backup + QStringLiteral("/Dorvane2DataBase.q7B"));
    d->mnuBackUp_Click();
    EXPECT_EQ(tree(backup), backedUp);
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(FilesTest, TheBookThisCopyHoldsOpensAgainAndIsLetGoForAnother) {
    open({{"Ann"}, {"Bob"}});
    const QString lock = app(".Dorvane2DataBase.q7B.dorvane-lock");
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    frame->OpenMyFile(book());
    EXPECT_EQ(Forms::find<Data>(), d);
    EXPECT_EQ(m().RecordCount, 2);
    EXPECT_FALSE(OtherCopy(lock).holds());

    QDir().mkpath(target());
    writeFile(target("Other.q7b"), bookBytes({{"Zed"}}));
    frame->OpenMyFile(target("Other.q7b"));
    EXPECT_EQ(m().RecordCount, 1);
    EXPECT_FALSE(OtherCopy(target(".Other.q7b.dorvane-lock")).holds());
    EXPECT_TRUE(OtherCopy(lock).holds());
    EXPECT_TRUE(prompts->shown.empty());
}
