#include "data/database.h"
#include "data/file_sets.h"
#include "data/module_phonebook.h"
#include "data/prefix_search.h"
#include "data/record_moves.h"
#include "file_size_limit.h"
#include "kill_midway.h"
#include "no_permission_override.h"
#include "platform/vb_error.h"
#include "records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace pb;
using namespace pbtest;

namespace {

// What moving the records slot by slot, in the file itself, leaves behind: the
// result every move must give, byte for byte.
QByteArray slotBySlotInsert(QByteArray f, int at, int count, const QByteArray& record) {
    if (f.size() < (count + 1) * 440) f.append(QByteArray((count + 1) * 440 - f.size(), '\0'));
    for (int j = count; j >= at; --j)
        f.replace(j * 440, 440, recordAt(f, j));
    f.replace((at - 1) * 440, 440, record);
    return f;
}

QByteArray slotBySlotDelete(QByteArray f, int at, int count) {
    if (f.size() < count * 440) f.append(QByteArray(count * 440 - f.size(), '\0'));
    for (int j = at; j <= count; ++j)
        f.replace((j - 1) * 440, 440, recordAt(f, j + 1));
    return f;
}

} // namespace

class MovesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModulePhoneBook::reset();
        pbm().DataBasePath = dir.path() + QLatin1Char('/');
        pbm().DataBaseName = QStringLiteral("Book.q7b");
    }
    void TearDown() override { ModulePhoneBook::reset(); }
    int open(const QByteArray& bytes) {
        writeFile(path(), bytes);
        openDatabase();
        return countDatabase().count;
    }
    QString path() const { return dir.path() + QStringLiteral("/Book.q7b"); }
    // The files beside the book, but for the hold on it while it is open.
    QStringList files() const {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeOne(QStringLiteral(".Book.q7b.dorvane-lock"));
        return names;
    }
    QTemporaryDir dir;
};

TEST_F(MovesTest, InsertsAndDeletesGiveTheSlotBySlotResultOnEveryKindOfBook) {
    const QByteArray five = bookBytes({{"A", "a"}, {"B", "b"}, {"C", "c"}, {"D", "d"}, {"E", "e"}});
    const QByteArray junk = recordBytes({"Junk", "after", "the", "end"});
    const std::vector<QByteArray> books = {
        five,
        bookBytes({{"A"}, {"B"}, {"C"}}) + nulRecord() + nulRecord(),   // slots freed by deletes
        bookBytes({{"A"}, {"B"}, {"C"}}) + nulRecord() + junk + "tail", // data past the end mark
        bookBytes({{"A"}, {"B"}, {"C"}}) + recordBytes({"ABCDEFGHIJKLMNOPQRST"}) +
            junk,                 // a full name ends it
        five.left(4 * 440 + 100), // the last record cut short
        bookBytes({{"Only"}}),
    };
    const QByteArray added = recordBytes({"New", "Record", "555"});
    for (std::size_t b = 0; b < books.size(); ++b) {
        const int count = open(books[b]);
        for (int at = 1; at <= count; ++at) {
            SCOPED_TRACE(testing::Message() << "book " << b << ", record " << at << " of " << count);
            open(books[b]);
            const quint64 serial = pbm().database().serial();
            insertRecord(at, count, added);
            const QByteArray inserted = readFile(path());
            EXPECT_EQ(inserted, slotBySlotInsert(books[b], at, count, added));
            // The open file is the new one, and anything that read the old one can tell.
            EXPECT_EQ(pbm().database().readAll(), inserted);
            EXPECT_NE(pbm().database().serial(), serial);

            deleteRecord(at, count + 1);
            EXPECT_EQ(readFile(path()), slotBySlotDelete(inserted, at, count + 1));
            open(books[b]);
            BookImage image; // what the search scans, read before the move
            image.bytes(pbm().database());
            deleteRecord(at, count);
            EXPECT_EQ(readFile(path()), slotBySlotDelete(books[b], at, count));
            EXPECT_EQ(image.bytes(pbm().database()), readFile(path()));
            EXPECT_EQ(files(), QStringList{QStringLiteral("Book.q7b")});
        }
    }
}

TEST_F(MovesTest, AMoveThatCannotBeWrittenChangesNothingAndLeavesNoFileBehind) {
    const QByteArray book = bookBytes({{"A"}, {"B"}, {"C"}}) + nulRecord();
    open(book);
    const auto expectFailure = [&](const std::function<void()>& move, int number) {
        try {
            move();
            ADD_FAILURE() << "a failed move was taken for success";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), number);
        }
        EXPECT_EQ(readFile(path()), book);
        EXPECT_EQ(pbm().database().readAll(), book); // still open, on the old book
        EXPECT_EQ(files(), QStringList{QStringLiteral("Book.q7b")});
    };
    {
        const FileSizeLimit fullDisk(2 * 440); // the new book runs out of room half-way
        expectFailure([] { insertRecord(1, 3, recordBytes({"X"})); }, err::DiskFull);
        expectFailure([] { deleteRecord(1, 3); }, err::DiskFull);
    }
    // A book its user may not write is not replaced either, not even by root.
    QFile::setPermissions(path(), QFileDevice::ReadOwner);
    {
        const NoPermissionOverride asUser;
        expectFailure([] { insertRecord(2, 3, recordBytes({"X"})); }, err::PermissionDenied);
        expectFailure([] { deleteRecord(2, 3); }, err::PermissionDenied);
    }
    // The new book keeps the old one's permissions.
    ::chmod(QFile::encodeName(path()).constData(), 0640);
    insertRecord(1, 3, recordBytes({"X"}));
    struct stat st {};
    ::stat(QFile::encodeName(path()).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(MovesTest, ABookReachedThroughALinkIsReplacedBehindTheLink) {
    const QString real = dir.path() + QStringLiteral("/Real.q7b");
    writeFile(real, bookBytes({{"A"}, {"B"}}));
    QFile::link(real, path());
    openDatabase();
    countDatabase();
    insertRecord(1, 2, recordBytes({"X"}));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(readFile(real), bookBytes({{"X"}, {"A"}, {"B"}}));
}

TEST_F(MovesTest, AKillAtAnyMomentLeavesTheOldBookOrTheNewOne) {
    std::vector<Rec> records;
    for (int i = 0; i < 3000; ++i)
        records.push_back(
            {QStringLiteral("First%1").arg(i), QStringLiteral("Last%1").arg(i), QString::number(i * 7919)});
    const QByteArray book = bookBytes(records);
    const QByteArray added = recordBytes({"Inserted", "Record"});
    const QString app = dir.path() + QStringLiteral("/app");
    QDir().mkpath(app);
    files::setLedgerFolder(app);
    std::mt19937 random(20261207);
    for (int round = 0; round < 50; ++round) {
        open(book);
        ASSERT_TRUE(killedMidway(random, 500, 20000,
                                 [&] {
                                     insertRecord(1, 3000, added);
                                     deleteRecord(1, 3001);
                                 }))
            << "the mover stopped on its own in round " << round;

        const QByteArray f = readFile(path());
        const int count = countRecords(f).count;
        ASSERT_TRUE(count == 3000 || count == 3001) << "round " << round;
        const int shift = count - 3000;
        if (shift) ASSERT_EQ(recordAt(f, 1), added) << "round " << round;
        ASSERT_EQ(f.mid(shift * 440, book.size()), book) << "round " << round;
        ASSERT_EQ(f.mid(count * 440), QByteArray(f.size() - count * 440, '\0')) << "round " << round;

        // The next start clears away the killed move's own file, by the name its ledger note gives.
        files::finishUnfinishedWrites();
        ASSERT_EQ(files(), QStringList{QStringLiteral("Book.q7b")}) << "round " << round;
    }
    // A file of the user's under a name like ours is no leftover of any move.
    writeFile(path() + QStringLiteral(".dorvane-swap"), "the user's own");
    insertRecord(1, 3000, added);
    files::finishUnfinishedWrites();
    openDatabase();
    EXPECT_EQ(files(), (QStringList{QStringLiteral("Book.q7b"), QStringLiteral("Book.q7b.dorvane-swap")}));
    files::setLedgerFolder({});
}
