#include "data/attachments.h"
#include "data/book_files.h"
#include "data/file_copy.h"
#include "data/file_sets.h"
#include "kill_midway.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "platform/vb_error.h"
#include "records.h"

#include "error_of.h"
#include <QDir>
#include <QTemporaryDir>
#include <random>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace pb;
using pbtest::killedMidway;
using pbtest::readFile;
using pbtest::writeFile;

using pbtest::errorOf;

class FileCopyTest : public ::testing::Test {
protected:
    QString at(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    void mk(const QString& name) const { ASSERT_TRUE(QDir().mkpath(at(name))); }
    // Everything in a folder, temporary leftovers included.
    QStringList entries(const QString& name) const {
        return QDir(at(name)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    void limitFileSize(rlim_t bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit r = saved;
        r.rlim_cur = bytes;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &r), 0);
        limited = true;
    }
    // No further file may be opened: every descriptor below the limit is taken.
    void limitOpenFiles() {
        ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &savedFiles), 0);
        const int lowestFree = ::dup(0);
        ASSERT_GE(lowestFree, 0);
        ::close(lowestFree);
        rlimit r = savedFiles;
        r.rlim_cur = static_cast<rlim_t>(lowestFree);
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &r), 0);
        filesLimited = true;
    }
    void unlimitOpenFiles() {
        if (filesLimited) ::setrlimit(RLIMIT_NOFILE, &savedFiles);
        filesLimited = false;
    }
    void TearDown() override {
        if (limited) ::setrlimit(RLIMIT_FSIZE, &saved);
        unlimitOpenFiles();
    }
    QTemporaryDir dir;
    rlimit saved{}, savedFiles{};
    bool limited = false, filesLimited = false;
};

TEST_F(FileCopyTest, CopiesReplaceWholeAndLeaveNothingBehind) {
    mk("a");
    mk("b");
    const QByteArray big(3 * 1024 * 1024 + 17, 'x');
    writeFile(at("a/book.q7b"), big);
    writeFile(at("b/book.q7b"), "old");
    files::copyFile(at("a/book.q7b"), at("b/book.q7b"));
    EXPECT_EQ(readFile(at("b/book.q7b")), big);
    EXPECT_EQ(entries("b"), QStringList{"book.q7b"});

    files::copyFile(at("a/book.q7b"), at("a/book.q7b")); // onto itself: untouched
    EXPECT_EQ(readFile(at("a/book.q7b")), big);
    EXPECT_EQ(entries("a"), QStringList{"book.q7b"});

    files::writeFile(at("b/empty.q7b"), QByteArray());
    EXPECT_TRUE(QFileInfo(at("b/empty.q7b")).isFile());
    EXPECT_EQ(QFileInfo(at("b/empty.q7b")).size(), 0);
}

TEST_F(FileCopyTest, AFailedCopyKeepsTheOldFileAndReportsTheCause) {
    mk("a");
    mk("b");
    writeFile(at("a/book.q7b"), QByteArray(100000, 'n'));
    writeFile(at("b/book.q7b"), "good old backup");
    EXPECT_EQ(errorOf([&] { files::copyFile(at("a/missing.q7b"), at("b/book.q7b")); }), err::FileNotFound);
    EXPECT_EQ(errorOf([&] { files::copyFile(at("a/book.q7b"), at("nowhere/book.q7b")); }), err::PathNotFound);

    limitFileSize(4096);
    EXPECT_EQ(errorOf([&] { files::copyFile(at("a/book.q7b"), at("b/book.q7b")); }), err::DiskFull);
    EXPECT_EQ(readFile(at("b/book.q7b")), QByteArray("good old backup"));
    EXPECT_EQ(entries("b"), QStringList{"book.q7b"});
}

TEST_F(FileCopyTest, OnlyRegularFilesAreCopiedAPipeIsRefusedNotWaitedFor) {
    mk("a");
    ASSERT_EQ(::mkfifo(qPrintable(at("a/pipe")), 0600), 0);
    EXPECT_NE(errorOf([&] { files::copyFile(at("a/pipe"), at("a/copy")); }), 0);
    EXPECT_FALSE(QFileInfo::exists(at("a/copy")));

    writeFile(at("a/song.mp3"), "la");
    files::replaceFolder(at("a"), at("b"));
    EXPECT_EQ(entries("b"), QStringList{"song.mp3"});
}

TEST_F(FileCopyTest, FoldersAreReplacedWholeOrMergedFileByFile) {
    mk("src/sub");
    writeFile(at("src/one.wav"), "1");
    writeFile(at("src/sub/two.jpg"), "2");
    mk("dst");
    writeFile(at("dst/one.wav"), "old");
    writeFile(at("dst/stale.avi"), "s");

    files::mergeFolder(at("src"), at("dst"));
    EXPECT_EQ(entries("dst"), (QStringList{"one.wav", "stale.avi", "sub"}));
    EXPECT_EQ(readFile(at("dst/one.wav")), QByteArray("1"));
    EXPECT_EQ(readFile(at("dst/sub/two.jpg")), QByteArray("2"));

    files::replaceFolder(at("src"), at("dst"));
    EXPECT_EQ(entries("dst"), (QStringList{"one.wav", "sub"}));
    EXPECT_EQ(entries(""), (QStringList{"dst", "src"})); // no temporary folder left
    files::replaceFolder(at("src"), at("fresh"));
    EXPECT_EQ(readFile(at("fresh/sub/two.jpg")), QByteArray("2"));

    // A copy made inside the folder being copied does not copy itself.
    files::replaceFolder(at("src"), at("src/sub/inner"));
    EXPECT_EQ(QDir(at("src/sub/inner")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{"one.wav", "sub"}));
    EXPECT_EQ(QDir(at("src/sub/inner/sub")).entryList(QDir::Files), QStringList{"two.jpg"});
}

TEST_F(FileCopyTest, AFolderCopyThatFailsLeavesTheOldFolderAsItWas) {
    mk("src");
    writeFile(at("src/a.wav"), QByteArray(1000, 'a'));
    writeFile(at("src/b.wav"), QByteArray(100000, 'b'));
    mk("dst");
    writeFile(at("dst/a.wav"), "old a");
    limitFileSize(4096);
    EXPECT_EQ(errorOf([&] { files::replaceFolder(at("src"), at("dst")); }), err::DiskFull);
    EXPECT_EQ(entries("dst"), QStringList{"a.wav"});
    EXPECT_EQ(readFile(at("dst/a.wav")), QByteArray("old a"));
    EXPECT_EQ(entries(""), (QStringList{"dst", "src"}));
}

TEST_F(FileCopyTest, AFolderIsRemovedByItsOwnNameAndNoLinkIsFollowed) {
    mk("keep/deep");
    writeFile(at("keep/deep/precious.wav"), "mine");
    writeFile(at("keep/other.txt"), "also mine");
    mk("HomeAttachments/sub");
    writeFile(at("HomeAttachments/sub/a.jpg"), "a");
    ASSERT_EQ(::symlink(qPrintable(at("keep")), qPrintable(at("HomeAttachments/sub/out"))), 0);
    ASSERT_EQ(::symlink(qPrintable(at("keep/other.txt")), qPrintable(at("HomeAttachments/file"))), 0);
    files::removeFolder(at("HomeAttachments"));
    EXPECT_EQ(entries(""), QStringList{"keep"});
    EXPECT_EQ(readFile(at("keep/deep/precious.wav")), QByteArray("mine"));
    EXPECT_EQ(readFile(at("keep/other.txt")), QByteArray("also mine"));

    // A link under the companion's name goes itself; its target stays.
    ASSERT_EQ(::symlink(qPrintable(at("keep")), qPrintable(at("WorkAttachments"))), 0);
    files::removeFolder(at("WorkAttachments"));
    files::removeFolder(at("NeverThere"));
    EXPECT_EQ(entries(""), QStringList{"keep"});
    EXPECT_EQ(entries("keep"), (QStringList{"deep", "other.txt"}));
}

TEST_F(FileCopyTest, AFolderThatCannotBeRemovedIsToldAndLeftWhole) {
    mk("HomeAttachments");
    writeFile(at("HomeAttachments/a.wav"), "a");
    writeFile(at("Home.q7b"), "old records");
    limitOpenFiles();
    EXPECT_NE(errorOf([&] { files::removeFolder(at("HomeAttachments")); }), 0);
    const BookPaths home = bookPathsFor(at("Home.q7b"));
    EXPECT_NE(errorOf([&] { createEmptyBook(home); }), 0);
    unlimitOpenFiles();
    EXPECT_EQ(entries(""), (QStringList{"Home.q7b", "HomeAttachments"}));
    EXPECT_EQ(entries("HomeAttachments"), QStringList{"a.wav"});
    EXPECT_EQ(readFile(at("Home.q7b")), QByteArray("old records"));
}

TEST_F(FileCopyTest, AReplacedBookLosesAllItsCompanionsOrNothingOfItChanges) {
    const BookPaths home = bookPathsFor(at("Home.q7b"));
    const auto oldBook = [&] {
        writeFile(home.database, "old records");
        writeFile(home.settings, "old bag");
        writeFile(home.index, "old index");
        mk("HomeAttachments");
        writeFile(home.attachments + QStringLiteral("/old.wav"), "old");
    };
    oldBook();
    createEmptyBook(home);
    EXPECT_EQ(entries(""), QStringList{"Home.q7b"});
    EXPECT_EQ(readFile(home.database), QByteArray());

    // Copied over by a book with only a folder of attachments.
    mk("src");
    const BookPaths other = bookPathsFor(at("src/Other.q7b"));
    writeFile(other.database, "new records");
    mk("src/OtherAttachments");
    writeFile(other.attachments + QStringLiteral("/big.avi"), QByteArray(100000, 'm'));
    oldBook();
    replaceBook(other, home);
    EXPECT_EQ(entries(""), (QStringList{"Home.q7b", "HomeAttachments", "src"}));
    EXPECT_EQ(readFile(home.database), QByteArray("new records"));
    EXPECT_EQ(entries("HomeAttachments"), QStringList{"big.avi"});

    // The database copies, the folder does not: the old book stays whole.
    oldBook();
    QFile::remove(home.attachments + QStringLiteral("/big.avi"));
    limitFileSize(4096);
    EXPECT_EQ(errorOf([&] { replaceBook(other, home); }), err::DiskFull);
    EXPECT_EQ(entries(""),
              (QStringList{"Home.q7b", "Home.set", "HomeAttachments", "HomeAttachmentsRef.att", "src"}));
    EXPECT_EQ(readFile(home.database), QByteArray("old records"));
    EXPECT_EQ(entries("HomeAttachments"), QStringList{"old.wav"});
}

TEST_F(FileCopyTest, APlaceToWriteIsRefusedWhenItIsTheOpenBookOrTheProgramsOwn) {
    mk("app");
    mk("books/HomeAttachments");
    mk("cfg");
    setProgramFolder(at("app"));
    SettingsStore::setFolder(at("cfg"));
    const BookPaths open = bookPaths({at("books/"), QStringLiteral("Home.q7b")});
    for (const QString& f :
         QStringList{open.database, open.settings, open.attachments + QStringLiteral("/face.jpg"),
                     at("app/PhoneClip.q7B"), at("app/Diaries.q7D")})
        writeFile(f, "");
    ASSERT_EQ(::symlink(qPrintable(at("books")), qPrintable(at("shelf"))), 0);
    ASSERT_EQ(::symlink(qPrintable(open.settings), qPrintable(at("books/alias.txt"))), 0);
    ASSERT_EQ(::symlink(qPrintable(at("app/Diaries.q7D")), qPrintable(at("books/Notes.q7b"))), 0);

    const Clash B = Clash::OpenBook, W = Clash::WorkingFile, N = Clash::None;
    const struct {
        const char* path;
        bool wholeFolder;
        Clash clash;
    } table[] = {
        {"books/Home.q7b", false, B},
        {"books/sub/../Home.q7b", false, B},
        {"shelf/Home.set", false, B},               // through a linked folder
        {"books/alias.txt", false, B},              // a link to the bag
        {"books/HomeAttachmentsRef.att", false, B}, // not made yet
        {"books/HomeAttachments", false, B},
        {"books/HomeAttachments/new.txt", false, B},
        {"books", true, B}, // a folder replaced as a whole holds the book
        {"books/Other.txt", false, N},
        {"books/Home.q7b.txt", false, N},
        {"app/PhoneClip.q7B", false, W},
        {"app/Sort.q7B", false, W},
        {"app/PhonePrint.q7P", false, W}, // not made yet
        {"books/Notes.q7b", false, W},    // a link to the note pages
        {"app/PBTextEditor.set", false, W},
        {"app/PhoneHtml.htm", false, W},
        {"app/Dorvane2 WebPage Components/Title.htm", false, W},
        {"app/My MDB Phonebook.sqlite", false, W},
        {"app/Applet", true, W},
        {"app/Applet/Records.htm", false, W},
        {"cfg/Brenmoor.ini", false, W},
        {"books/Home.q7b.Dorvane-Swap", false, W},
        {"books/.dorvane-Xy12Zq", false, W},
        {"app", true, W},
        {"app/Book.htm", false, N},
        {"app/Dorvane2DataBase.q7B", false, N},
        {"app/PhoneClip.q7b", false, N},  // another file where case counts
        {"app/phoneprint.q7p", false, N}, // the same, with neither file there yet
        {"books/Applet/Records.htm", false, N},
    };
    for (const auto& row : table)
        EXPECT_EQ(targetClash(at(row.path), open, row.wholeFolder), row.clash) << row.path;

    // A book as the target: any of its files, and its attachments folder as a whole.
    EXPECT_EQ(targetClash(bookPathsFor(at("books/Home.Q7B")), open), B); // the same bag
    EXPECT_EQ(targetClash(bookPathsFor(at("books/Other.q7b")), open), N);
    EXPECT_EQ(targetClash(bookPathsFor(at("books/sub/Home.q7b")), open), N);
    EXPECT_EQ(targetClash(bookPathsFor(at("app/PhoneClip.q7B")), open), W);
    const BookPaths inside = bookPaths({at("books/HomeAttachments"), QStringLiteral("/In.q7b")});
    EXPECT_EQ(targetClash(bookPathsFor(at("books/Home.q7b")), inside), B);
    EXPECT_EQ(targetClash(bookPathsFor(at("books/Home")), {}), N);
    SettingsStore::setFolder({});
    setProgramFolder({});
}

TEST(BookPaths, AChosenNameGetsTheExtensionAndCompanionsFromItsStemOnly) {
    const BookPaths bare = bookPathsFor(QStringLiteral("/x/my.q7b.d/Home"));
    EXPECT_EQ(bare.database, QStringLiteral("/x/my.q7b.d/Home.q7b"));
    EXPECT_EQ(bare.settings, QStringLiteral("/x/my.q7b.d/Home.set"));
    EXPECT_EQ(bare.index, QStringLiteral("/x/my.q7b.d/HomeAttachmentsRef.att"));
    EXPECT_EQ(bare.attachments, QStringLiteral("/x/my.q7b.d/HomeAttachments"));
    const BookPaths caps = bookPathsFor(QStringLiteral("/x/Work.Q7B"));
    EXPECT_EQ(caps.database, QStringLiteral("/x/Work.Q7B"));
    EXPECT_EQ(caps.settings, QStringLiteral("/x/Work.set"));

    const BookPaths backup = bookPathsIn(QStringLiteral("/app/Backup"), bookPaths({"/b", "/Home.q7b"}));
    EXPECT_EQ(backup.database, QStringLiteral("/app/Backup/Home.q7b"));
    EXPECT_EQ(backup.attachments, QStringLiteral("/app/Backup/HomeAttachments"));
}

TEST(Attachments, ClassifiedByTheFirstKindWhoseTextTheNameContains) {
    EXPECT_EQ(classifyAttachment(QStringLiteral("tune.wav.jpg")), AttachmentKind::Picture);
    EXPECT_EQ(classifyAttachment(QStringLiteral("data.dat.txt")), AttachmentKind::Movie);
    EXPECT_EQ(classifyAttachment(QStringLiteral("SONG.MP3")), AttachmentKind::Sound);
    EXPECT_EQ(classifyAttachment(QStringLiteral("Face.JPEG")), AttachmentKind::Picture);
    EXPECT_EQ(classifyAttachment(QStringLiteral("trip.mpeg.midi")), AttachmentKind::Sound);
    EXPECT_EQ(classifyAttachment(QStringLiteral("notes.doc")), AttachmentKind::Misc);
    EXPECT_EQ(classifyAttachment(QStringLiteral("README")), AttachmentKind::Misc);
    EXPECT_EQ(attachFileType(AttachmentKind::Sound), 1);
    EXPECT_EQ(attachFileType(AttachmentKind::Movie), 2);
    EXPECT_EQ(attachFileType(AttachmentKind::Misc), 3);
}

TEST(Attachments, NamesThatCouldNotBeStoredAndFoundAgainAreTold) {
    EXPECT_EQ(attachmentNameProblem(QString(60, QLatin1Char('a'))), AttachNameProblem::None);
    EXPECT_EQ(attachmentNameProblem(QString(61, QLatin1Char('a'))), AttachNameProblem::TooLong);
    EXPECT_EQ(attachmentNameProblem(QStringLiteral("Café €.jpg")), AttachNameProblem::None);
    EXPECT_EQ(attachmentNameProblem(QStringLiteral("Привет.mp3")), AttachNameProblem::NotRepresentable);
    EXPECT_EQ(attachmentNameProblem(QStringLiteral(" lead.mp3")), AttachNameProblem::EdgeBlanks);
    EXPECT_EQ(attachmentNameProblem(QStringLiteral("back\\slash.jpg")), AttachNameProblem::Separator);
    EXPECT_FALSE(isBareFileName(QStringLiteral("..")));
    EXPECT_FALSE(isBareFileName(QStringLiteral("../x.jpg")));
    EXPECT_TRUE(isBareFileName(QStringLiteral("a..b.jpg")));
}

TEST_F(FileCopyTest, AKillAtAnyMomentOfABackupLeavesTheOldBackupOrTheNewOneOnceTheNextStartHasRun) {
    const auto filesOf = [](const BookPaths& book) {
        QStringList names{book.database, book.settings, book.index};
        for (int i = 0; i < 40; ++i)
            names << book.attachments + QStringLiteral("/clip%1.wav").arg(i);
        return names;
    };
    // Two versions of a book, every file of each filled with its letter.
    const auto makeBook = [&](const char* letter) {
        const BookPaths book = bookPathsFor(at(QLatin1String(letter) + QStringLiteral("/Home.q7b")));
        mk(QLatin1String(letter) + QStringLiteral("/HomeAttachments"));
        for (const QString& f : filesOf(book))
            writeFile(f, QByteArray(f == book.database ? 1 << 20 : 20000, letter[0]));
        return book;
    };
    const BookPaths a = makeBook("a");
    const BookPaths b = makeBook("b");
    mk("app");
    const BookPaths backup = bookPathsFor(at("app/Home.q7b"));
    backUpBook(a, backup);
    writeFile(at("app/Home.q7b.orig"), "the user's own"); // not ours, whatever its name
    std::mt19937 random(20270115);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        files::setLedgerFolder(at("app"));
        ASSERT_TRUE(killedMidway(random, 1000, 40000, [&] {
            backUpBook(b, backup);
            backUpBook(a, backup);
        })) << "the backups stopped on their own";

        // What the next start does, then one backup or the other, whole.
        files::finishUnfinishedWrites();
        QByteArray letters;
        for (const QString& f : filesOf(backup)) {
            const QByteArray bytes = readFile(f);
            letters += bytes.isEmpty() || bytes.count(bytes[0]) != bytes.size() ? '?' : bytes[0];
        }
        ASSERT_TRUE(letters == QByteArray(43, 'a') || letters == QByteArray(43, 'b'))
            << letters.toStdString();
        ASSERT_EQ(entries("app"), (QStringList{"Home.q7b", "Home.q7b.orig", "Home.set", "HomeAttachments",
                                               "HomeAttachmentsRef.att"}));
    }
    files::setLedgerFolder({});
}

TEST_F(FileCopyTest, ABookReplacementCutShortBetweenItsRenamesIsFinishedAndOneCutShortBeforeIsUndone) {
    const BookPaths home = bookPathsFor(at("Home.q7b"));
    const QString note = home.database + QStringLiteral(".dorvane-set");
    const auto step = [](const char* kind, const QString& path) -> QByteArray {
        return QByteArray(kind) + ' ' + QFile::encodeName(path).toPercentEncoding("/") + '\n';
    };
    // As a kill leaves it after the note was written: the old database still in place, the new
    // versions staged, the old attachments moved aside once the note was whole.
    const auto killedMidway = [&](bool noteWhole) {
        writeFile(home.database, "old records");
        writeFile(home.settings, "old bag");
        mk(noteWhole ? "HomeAttachments.dorvane-old" : "HomeAttachments");
        writeFile(at(noteWhole ? "HomeAttachments.dorvane-old/old.wav" : "HomeAttachments/old.wav"), "old");
        writeFile(home.database + QStringLiteral(".dorvane-new"), "new records");
        mk("HomeAttachments.dorvane-new");
        writeFile(at("HomeAttachments.dorvane-new/new.wav"), "new");
        writeFile(note, "dorvane-set\n" + step("R", home.database) + step("R", home.attachments) +
                            step("D", home.settings) + step("D", home.index) + (noteWhole ? "end\n" : ""));
        recoverBook(home);
    };
    killedMidway(true);
    EXPECT_EQ(entries(""), (QStringList{"Home.q7b", "HomeAttachments"}));
    EXPECT_EQ(readFile(home.database), QByteArray("new records"));
    EXPECT_EQ(entries("HomeAttachments"), QStringList{"new.wav"});

    // A note the kill cut short: no rename had begun, so the staged versions go.
    QDir(at("HomeAttachments")).removeRecursively();
    killedMidway(false);
    EXPECT_EQ(entries(""), (QStringList{"Home.q7b", "Home.set", "HomeAttachments"}));
    EXPECT_EQ(readFile(home.database), QByteArray("old records"));
    EXPECT_EQ(entries("HomeAttachments"), QStringList{"old.wav"});

    // A note that names a file outside the book's set is no note of ours: nothing it names moves.
    mk("keep");
    writeFile(at("keep/precious.wav"), "mine");
    writeFile(note, "dorvane-set\n" + step("D", at("keep/precious.wav")) + "end\n");
    recoverBook(home);
    EXPECT_EQ(readFile(at("keep/precious.wav")), QByteArray("mine"));
    EXPECT_EQ(readFile(home.database), QByteArray("old records"));
}
