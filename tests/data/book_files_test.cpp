#include "data/attachments.h"
#include "data/book_files.h"
#include "data/book_lock.h"
#include "data/file_copy.h"
#include "data/file_copy_detail.h"
#include "data/file_notes.h"
#include "data/file_sets.h"
#include "kill_midway.h"
#include "other_copy.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "platform/vb_error.h"
#include "records.h"

#include "error_of.h"
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <random>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        return QDir(at(name)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                        QDir::Name);
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

    // A pipe among the attachments is no attachment: a copy of the book leaves it out.
    mk("a/HomeAttachments");
    ASSERT_EQ(::mkfifo(qPrintable(at("a/HomeAttachments/pipe")), 0600), 0);
    writeFile(at("a/HomeAttachments/song.mp3"), "la");
    writeFile(at("a/Home.q7b"), "records");
    mk("b");
    replaceBook(bookPathsFor(at("a/Home.q7b")), bookPathsFor(at("b/Home.q7b")));
    EXPECT_EQ(entries("b/HomeAttachments"), QStringList{"song.mp3"});
}

TEST_F(FileCopyTest, AttachmentFoldersAreReplacedWholeOrMergedFileByFileAndNoLinkIsFollowed) {
    mk("src/OtherAttachments/sub");
    const BookPaths src = bookPathsFor(at("src/Other.q7b"));
    writeFile(src.database, "new");
    writeFile(at("src/OtherAttachments/one.wav"), "1");
    writeFile(at("src/OtherAttachments/sub/two.jpg"), "2");
    mk("dst/HomeAttachments");
    const BookPaths dst = bookPathsFor(at("dst/Home.q7b"));
    writeFile(dst.database, "old");
    writeFile(at("dst/HomeAttachments/one.wav"), "old");
    writeFile(at("dst/HomeAttachments/stale.avi"), "s");

    backUpBook(src, dst);
    EXPECT_EQ(entries("dst/HomeAttachments"), (QStringList{"one.wav", "stale.avi", "sub"}));
    EXPECT_EQ(readFile(at("dst/HomeAttachments/one.wav")), QByteArray("1"));
    EXPECT_EQ(readFile(at("dst/HomeAttachments/sub/two.jpg")), QByteArray("2"));
    replaceBook(src, dst);
    EXPECT_EQ(entries("dst/HomeAttachments"), (QStringList{"one.wav", "sub"}));
    EXPECT_EQ(entries("dst"), (QStringList{"Home.q7b", "HomeAttachments"})); // no name of ours left

    // Emptied, the book's folder goes by its own name: no link in it, nor one standing for it, is followed.
    mk("keep/deep");
    writeFile(at("keep/deep/precious.wav"), "mine");
    writeFile(at("keep/other.txt"), "also mine");
    ASSERT_EQ(::symlink(qPrintable(at("keep")), qPrintable(at("dst/HomeAttachments/sub/out"))), 0);
    ASSERT_EQ(::symlink(qPrintable(at("keep/other.txt")), qPrintable(at("dst/HomeAttachments/file"))), 0);
    createEmptyBook(dst);
    EXPECT_EQ(entries("dst"), QStringList{"Home.q7b"});
    const BookPaths work = bookPathsFor(at("dst/Work.q7b"));
    writeFile(work.database, "work");
    ASSERT_EQ(::symlink(qPrintable(at("keep")), qPrintable(work.attachments)), 0);
    createEmptyBook(work);
    EXPECT_EQ(entries("dst"), (QStringList{"Home.q7b", "Work.q7b"}));
    EXPECT_EQ(entries("keep"), (QStringList{"deep", "other.txt"}));
    EXPECT_EQ(readFile(at("keep/deep/precious.wav")), QByteArray("mine"));
}

TEST_F(FileCopyTest, AFolderThatCannotBeRemovedIsToldAndLeftWhole) {
    mk("HomeAttachments");
    writeFile(at("HomeAttachments/a.wav"), "a");
    writeFile(at("Home.q7b"), "old records");
    limitOpenFiles();
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
        ASSERT_EQ(entries("app"), (QStringList{".dorvane-writes", "Home.q7b", "Home.q7b.orig", "Home.set",
                                               "HomeAttachments", "HomeAttachmentsRef.att"}));
    }
    files::setLedgerFolder({});
}

namespace {

// What a kill leaves of a replacement of `home` by a new book with other attachments: the
// new versions staged under the write's token and its note whole, and with `renamed` the
// old members gone aside too. Returns the token.
QString interruptedReplacement(const BookPaths& home, bool renamed) {
    using files::detail::stagedName;
    const QString token = files::detail::newToken();
    QDir().mkpath(home.attachments);
    writeFile(home.database, "old records");
    writeFile(home.settings, "old bag");
    writeFile(home.attachments + QStringLiteral("/old.wav"), "old");
    const QString freshBook = stagedName(home.database, "new", token);
    const QString freshFolder = stagedName(home.attachments, "new", token);
    writeFile(freshBook, "new records, more of them");
    QDir().mkpath(freshFolder);
    writeFile(freshFolder + QStringLiteral("/new.wav"), "new");
    const auto seen = files::detail::seen;
    const std::vector<files::detail::NoteStep> steps = {
        {true, QStringLiteral("Home.q7b"), seen(home.database), seen(freshBook)},
        {true, QStringLiteral("HomeAttachments"), seen(home.attachments), seen(freshFolder)},
        {false, QStringLiteral("Home.set"), seen(home.settings), {}},
        {false, QStringLiteral("HomeAttachmentsRef.att"), {}, {}}};
    { const files::detail::SetNote killed(home.database, token, steps); } // its lock goes with its writer
    if (renamed)
        for (const QString& member : {home.database, home.attachments, home.settings})
            EXPECT_TRUE(QFile::rename(member, stagedName(member, "old", token)));
    return token;
}

} // namespace

TEST_F(FileCopyTest,
       AnInterruptedReplacementIsFinishedWhereverItsFolderIsFoundWhileItsMembersAreAsItLeftThem) {
    // Killed between its renames, then reached by another path (a stick mounted elsewhere).
    mk("stick");
    interruptedReplacement(bookPathsFor(at("stick/Home.q7b")), true);
    ASSERT_TRUE(QDir().rename(at("stick"), at("elsewhere")));
    const BookPaths moved = bookPathsFor(at("elsewhere/Home.q7b"));
    recoverBook(moved);
    EXPECT_EQ(entries("elsewhere"), (QStringList{"Home.q7b", "HomeAttachments"}));
    EXPECT_EQ(readFile(moved.database), QByteArray("new records, more of them"));
    EXPECT_EQ(entries("elsewhere/HomeAttachments"), QStringList{"new.wav"});

    // Killed before any rename, then the book was used (an attachment added, the bag written): the
    // note would empty the attachments and the bag, so it is set aside with everything it names.
    mk("here");
    const BookPaths home = bookPathsFor(at("here/Home.q7b"));
    interruptedReplacement(home, false);
    writeFile(home.attachments + QStringLiteral("/photo.jpg"), "a photo added since");
    writeFile(home.settings, "the bag written since");
    const QStringList before = entries("here");
    recoverBook(home);
    files::FileSet({home.database, home.settings}).commit(); // nor does the next write of the set act on it
    EXPECT_EQ(entries("here"), before);
    EXPECT_EQ(readFile(home.database), QByteArray("old records"));
    EXPECT_EQ(entries("here/HomeAttachments"), (QStringList{"old.wav", "photo.jpg"}));
    EXPECT_EQ(readFile(home.settings), QByteArray("the bag written since"));

    // A file changed deep in the attachments since (a later time on it) shows too.
    mk("deep");
    const BookPaths deep = bookPathsFor(at("deep/Home.q7b"));
    mk("deep/HomeAttachments/sub");
    writeFile(at("deep/HomeAttachments/sub/a.wav"), "first");
    interruptedReplacement(deep, false);
    writeFile(at("deep/HomeAttachments/sub/a.wav"), "again");
    const timespec later[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 60, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, qPrintable(at("deep/HomeAttachments/sub/a.wav")), later, 0), 0);
    recoverBook(deep);
    EXPECT_EQ(readFile(at("deep/HomeAttachments/sub/a.wav")), QByteArray("again"));
    EXPECT_EQ(readFile(deep.database), QByteArray("old records"));

    // The same between the renames: the replaced versions may be the only copies, and stay.
    mk("there");
    const BookPaths there = bookPathsFor(at("there/Home.q7b"));
    const QString token = interruptedReplacement(there, true);
    writeFile(files::detail::stagedName(there.attachments, "old", token) + QStringLiteral("/late.wav"), "x");
    const QStringList aside = entries("there");
    recoverBook(there);
    EXPECT_EQ(entries("there"), aside);

    // A note that names a file outside the set it lies beside moves nothing.
    writeFile(at("here/precious.wav"), "mine");
    const QString other = files::detail::newToken();
    {
        const files::detail::SetNote note(
            home.database, other,
            {{false, QStringLiteral("precious.wav"), files::detail::seen(at("here/precious.wav")), {}}});
    }
    recoverBook(home);
    EXPECT_EQ(readFile(at("here/precious.wav")), QByteArray("mine"));
}

TEST_F(FileCopyTest, HostileOrOversizedNotesAndLedgerLinesRemoveNothing) {
    mk("app/.dorvane-writes");
    files::setLedgerFolder(at("app"));
    const QString token = files::detail::newToken();
    const QString own = QStringLiteral(".dorvane-new-") + token;
    for (const char* victim : {"victim", "victim2", "sub"}) {
        mk(QLatin1String(victim));
        writeFile(at(QLatin1String(victim) + QStringLiteral("/precious.doc")), "mine");
    }
    writeFile(at("victim3") + own, "a name like ours, reached only through ..");
    writeFile(at("staged") + own, "this write's own");
    const auto line = [](const QString& path) -> QByteArray {
        return QFile::encodeName(path).toPercentEncoding("/") + '\n';
    };
    writeFile(at("app/.dorvane-writes/") + token + QStringLiteral(".dorvane-note"),
              "dorvane-writes " + token.toLatin1() + '\n' +
                  QFile::encodeName(at("victim")).toPercentEncoding("/") + "%00" + own.toLatin1() + '\n' +
                  line(QStringLiteral("victim2") + own) + line(at("victim2")) +
                  line(at("sub/../victim3") + own) + line(at("staged") + own));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path()); // a relative line would name a file here
    files::finishUnfinishedWrites();
    QDir::setCurrent(cwd);
    EXPECT_EQ(entries(""), (QStringList{"app", "sub", "victim", "victim2", "victim3" + own}));
    for (const char* victim : {"victim", "victim2", "sub"})
        EXPECT_EQ(entries(QLatin1String(victim)), QStringList{"precious.doc"}) << victim;

    // Notes far larger than any of ours are left as they are, at once and without being read.
    const auto sparse = [&](const QString& path, const QByteArray& head, qint64 size) {
        writeFile(path, head);
        ASSERT_EQ(::truncate(qPrintable(path), size), 0);
    };
    const QString big = files::detail::newToken();
    writeFile(at("big.dorvane-new-") + big, "staged");
    sparse(at("app/.dorvane-writes/") + big + QStringLiteral(".dorvane-note"),
           "dorvane-writes " + big.toLatin1() + '\n' + line(at("big.dorvane-new-") + big), qint64(1) << 30);
    const BookPaths home = bookPathsFor(at("Home.q7b"));
    writeFile(home.database, "records");
    sparse(files::detail::stagedName(home.database, "set", big),
           "dorvane-set " + big.toLatin1() + "\nD Home.q7b -\n", qint64(2) << 30);
    QElapsedTimer timer;
    timer.start();
    files::finishUnfinishedWrites();
    recoverBook(home);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(readFile(at("big.dorvane-new-") + big), QByteArray("staged"));
    EXPECT_EQ(readFile(home.database), QByteArray("records"));

    // A note another user put beside the book is none of ours, however well it is made.
    const QString foreign = files::detail::newToken();
    writeFile(at("Home.set"), "the user's bag");
    {
        const files::detail::SetNote note(
            home.database, foreign,
            {{false, QStringLiteral("Home.set"), files::detail::seen(at("Home.set")), {}}});
    }
    if (::chown(qPrintable(files::detail::stagedName(home.database, "set", foreign)), 65534, 65534) == 0) {
        recoverBook(home);
        EXPECT_EQ(readFile(at("Home.set")), QByteArray("the user's bag"));
    }
    QFile::remove(files::detail::stagedName(home.database, "set", foreign));

    // A note whose member lies above its folder names nothing of its set.
    const QString up = files::detail::newToken();
    writeFile(files::detail::stagedName(home.database, "set", up),
              "dorvane-set " + up.toLatin1() + "\nD ..%2Fvictim -\nend\n");
    recoverBook(home);
    EXPECT_EQ(entries("victim"), QStringList{"precious.doc"});
    files::setLedgerFolder({});
}

TEST_F(FileCopyTest, NamesLikeOursThatNoWriteOfOursMadeAreNeverRemoved) {
    mk("app");
    files::setLedgerFolder(at("app"));
    const QStringList users = {"Report.txt.dorvane-old",
                               "Book.dorvane-new/thesis.doc",
                               "Book.q7B.dorvane-swap",
                               "Home.q7b.dorvane-new",
                               "HomeAttachments.dorvane-old/a.wav",
                               "Home.q7b.dorvane-old-0123456789abcdef",
                               "Home.q7b.dorvane-set"};
    for (const QString& name : users) {
        mk(QFileInfo(at(name)).path().mid(dir.path().size() + 1));
        writeFile(at(name), "the user's own");
    }
    writeFile(at("Report.txt"), "old report");
    writeFile(at("Book.q7B"), "old book");
    mk("src");
    const BookPaths other = bookPathsFor(at("src/Other.q7b"));
    writeFile(other.database, "other");
    files::writeFile(at("Report.txt"), "new report");
    files::replaceFile(at("Book.q7B"), {files::newBytes("new book")});
    replaceBook(other, bookPathsFor(at("Home.q7b")));
    createEmptyBook(bookPathsFor(at("Home.q7b")));
    files::finishUnfinishedWrites();
    recoverBook(bookPathsFor(at("Home.q7b")));
    for (const QString& name : users)
        EXPECT_EQ(readFile(at(name)), QByteArray("the user's own")) << qPrintable(name);
    EXPECT_EQ(readFile(at("Report.txt")), QByteArray("new report"));
    EXPECT_EQ(readFile(at("Book.q7B")), QByteArray("new book"));
    files::setLedgerFolder({});
}

TEST_F(FileCopyTest, AFileIsNeverWrittenWhereAFolderOrAPipeStandsAndAReplacedFileKeepsItsMode) {
    mk("out/Book.sqlite");
    writeFile(at("out/Book.sqlite/mine.txt"), "mine");
    ASSERT_EQ(::mkfifo(qPrintable(at("out/PhonePrint.q7P")), 0600), 0);
    writeFile(at("src.bin"), "bytes");
    for (const QString& target : {at("out/Book.sqlite"), at("out/PhonePrint.q7P")}) {
        EXPECT_EQ(errorOf([&] { files::copyFile(at("src.bin"), target); }), err::PathFileAccess);
        EXPECT_EQ(errorOf([&] { files::writeFile(target, "x"); }), err::PathFileAccess);
        EXPECT_EQ(errorOf([&] { files::writeThrough(target, [](const QString&) {}); }), err::PathFileAccess);
    }
    EXPECT_EQ(entries("out"), (QStringList{"Book.sqlite", "PhonePrint.q7P"}));
    EXPECT_EQ(entries("out/Book.sqlite"), QStringList{"mine.txt"});
    EXPECT_FALSE(QFileInfo(at("out/PhonePrint.q7P")).isFile());

    // A companion of the wrong kind stops the whole set: nothing of the book changes.
    const BookPaths home = bookPathsFor(at("Home.q7b"));
    writeFile(home.database, "old records");
    mk("Home.set");
    writeFile(at("Home.set/notes.txt"), "mine");
    EXPECT_EQ(errorOf([&] { createEmptyBook(home); }), err::PathFileAccess);
    EXPECT_EQ(readFile(home.database), QByteArray("old records"));
    EXPECT_EQ(entries("Home.set"), QStringList{"notes.txt"});
    // A set whose names a note could not hold is not begun: a kill would leave it unfinishable.
    EXPECT_EQ(errorOf([&] { replaceBook(home, bookPathsFor(at("Ho\tme.q7b"))); }), err::PathFileAccess);
    EXPECT_FALSE(QFileInfo::exists(at("Ho\tme.q7b")));

    // Replaced, a file keeps its mode; a link to a file is replaced itself, its file left alone.
    writeFile(at("out/report.txt"), "old");
    ASSERT_EQ(::chmod(qPrintable(at("out/report.txt")), 0640), 0);
    files::writeFile(at("out/report.txt"), "new");
    files::copyFile(at("src.bin"), at("out/report.txt"));
    struct stat st {};
    ASSERT_EQ(::stat(qPrintable(at("out/report.txt")), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::symlink(qPrintable(at("src.bin")), qPrintable(at("out/link.txt"))), 0);
    files::writeFile(at("out/link.txt"), "through");
    EXPECT_FALSE(QFileInfo(at("out/link.txt")).isSymLink());
    EXPECT_EQ(readFile(at("src.bin")), QByteArray("bytes"));
}

TEST_F(FileCopyTest, APageSetChangesOnlyItsOwnFilesInTheUsersFolder) {
    mk("Family/private");
    mk("Applet");
    ASSERT_EQ(::chmod(qPrintable(at("Family")), 0750), 0);
    ASSERT_EQ(::chmod(qPrintable(at("Family/private")), 0700), 0);
    ASSERT_EQ(::mkfifo(qPrintable(at("Family/pipe")), 0600), 0);
    writeFile(at("Family/mine.txt"), "mine");
    writeFile(at("Family/Title.htm"), "old title");
    ASSERT_EQ(::chmod(qPrintable(at("Family/Title.htm")), 0640), 0);
    writeFile(at("Applet/fire.gif"), "gif");
    writeFile(at("Applet/records.HTM"), "a stale page of an older export");
    const std::vector<files::NamedBytes> pages = {{"Title.htm", "title"}, {"Records.htm", "records"}};
    files::replacePageSet(at("Family.htm"), "frameset", at("Family"), pages, at("Applet"));
    EXPECT_EQ(entries(""), (QStringList{"Applet", "Family", "Family.htm"}));
    EXPECT_EQ(entries("Family"),
              (QStringList{"Records.htm", "Title.htm", "fire.gif", "mine.txt", "pipe", "private"}));
    const auto mode = [&](const char* name) {
        struct stat st {};
        EXPECT_EQ(::lstat(qPrintable(at(QLatin1String(name))), &st), 0);
        return st.st_mode;
    };
    EXPECT_EQ(mode("Family") & 07777, 0750u);
    EXPECT_EQ(mode("Family/private") & 07777, 0700u);
    EXPECT_EQ(mode("Family/Title.htm") & 07777, 0640u);
    EXPECT_TRUE(S_ISFIFO(mode("Family/pipe")));
    EXPECT_EQ(readFile(at("Family/Records.htm")), QByteArray("records"));
    EXPECT_EQ(readFile(at("Family.htm")), QByteArray("frameset"));

    // A folder where one of the pages goes stops the export, and nothing of it changes.
    mk("Family/Contents.htm");
    EXPECT_EQ(errorOf([&] {
                  files::replacePageSet(at("Family.htm"), "new frameset", at("Family"),
                                        {{"Title.htm", "new"}, {"Contents.htm", "c"}}, {});
              }),
              err::PathFileAccess);
    EXPECT_EQ(readFile(at("Family.htm")), QByteArray("frameset"));
    EXPECT_EQ(readFile(at("Family/Title.htm")), QByteArray("title"));
}

TEST_F(FileCopyTest, AFileSystemMountedInsideAFolderThatGoesIsNeverEntered) {
    const BookPaths home = bookPathsFor(at("Home.q7b"));
    writeFile(home.database, "old records");
    mk("HomeAttachments/disk");
    const QByteArray disk = QFile::encodeName(at("HomeAttachments/disk"));
    if (::mount("dorvane-test", disk.constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "this machine mounts nothing for a test";
    writeFile(at("HomeAttachments/disk/kept.wav"), "on a disk of its own");
    createEmptyBook(home);
    EXPECT_EQ(readFile(home.database), QByteArray());
    // The folder went aside whole; what is mounted in it stays, and so does the folder around it.
    const QStringList left = entries("").filter(QStringLiteral("HomeAttachments.dorvane-old-"));
    ASSERT_EQ(left.size(), 1);
    const QString moved = at(left.front() + QStringLiteral("/disk"));
    EXPECT_EQ(readFile(moved + QStringLiteral("/kept.wav")), QByteArray("on a disk of its own"));
    EXPECT_EQ(::umount2(QFile::encodeName(moved).constData(), MNT_DETACH), 0);

    // A kill after the renames, the replaced folder then holding a mount: finishing it cannot
    // remove that folder, and still stops no later write of the set.
    mk("stick/HomeAttachments/disk");
    const BookPaths stick = bookPathsFor(at("stick/Home.q7b"));
    const QString token = interruptedReplacement(stick, true);
    const QString old = files::detail::stagedName(stick.attachments, "old", token);
    ASSERT_EQ(::mount("dorvane-test", qPrintable(old + QStringLiteral("/disk")), "tmpfs", 0, "size=1m"), 0);
    EXPECT_EQ(errorOf([&] { recoverBook(stick); }), 0);
    EXPECT_EQ(readFile(stick.database), QByteArray("new records, more of them"));
    EXPECT_EQ(errorOf([&] { createEmptyBook(stick); }), 0);
    EXPECT_EQ(::umount2(qPrintable(old + QStringLiteral("/disk")), MNT_DETACH), 0);
}

TEST_F(FileCopyTest, ALockOfAKilledCopyIsLetGoAtTheNextStartAndALivingHoldersStays) {
    mk("app");
    files::setLedgerFolder(at("app"));
    writeFile(at("Home.q7b"), "records");
    const QString lock = bookLockFile(at("Home.q7b"));
    const pid_t child = ::fork();
    if (child == 0) {
        const BookLock hold(at("Home.q7b"));
        ::_exit(0); // ends as a kill ends it: the lock is never let go
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(QFileInfo::exists(lock));
    files::finishUnfinishedWrites();
    EXPECT_FALSE(QFileInfo::exists(lock));

    const auto noteLock = [&] {
        const QString token = files::detail::newToken();
        writeFile(at("app/.dorvane-writes/") + token + QStringLiteral(".dorvane-note"),
                  "dorvane-writes " + token.toLatin1() + '\n' +
                      QFile::encodeName(lock).toPercentEncoding("/") + '\n');
    };
    // Killed while the lock was made, before it held its record: it goes too.
    writeFile(lock, {});
    noteLock();
    files::finishUnfinishedWrites();
    EXPECT_FALSE(QFileInfo::exists(lock));

    // A ledger line naming a lock that a running copy holds leaves it as it is.
    const pbtest::OtherCopy other(lock);
    ASSERT_TRUE(other.holds());
    noteLock();
    files::finishUnfinishedWrites();
    EXPECT_TRUE(QFileInfo::exists(lock));
    files::setLedgerFolder({});
}
