#include "data/database.h"
#include "data/module_phonebook.h"
#include "data/record_moves.h"
#include "file_size_limit.h"
#include "platform/vb_error.h"
#include "records.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace pb;
using namespace pbtest;

class MovesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModulePhoneBook::reset();
        pbm().DataBasePath = dir.path() + QLatin1Char('/');
        pbm().DataBaseName = QStringLiteral("Book.q7b");
    }
    void open(const QByteArray& bytes) {
        writeFile(path(), bytes);
        openDatabase();
        countDatabase();
    }
    QString path() const { return dir.path() + QStringLiteral("/Book.q7b"); }
    QTemporaryDir dir;
};

TEST_F(MovesTest, MovingUpOpensASlotAndExtendsTheFileByOne) {
    open(bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}));
    moveRecordsUp(3, 5);
    const QByteArray f = readFile(path());
    EXPECT_EQ(f.size(), 6 * 440);
    EXPECT_EQ(recordAt(f, 1), recordBytes({"A"}));
    EXPECT_EQ(recordAt(f, 2), recordBytes({"B"}));
    EXPECT_EQ(recordAt(f, 3), recordBytes({"C"})); // still there until overwritten
    EXPECT_EQ(recordAt(f, 4), recordBytes({"C"}));
    EXPECT_EQ(recordAt(f, 6), recordBytes({"E"}));
    undoMoveUp(3, 5);
    EXPECT_EQ(readFile(path()), bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}) + nulRecord());
}

TEST_F(MovesTest, MovingDownLeavesTheEndMarkInTheOldLastSlot) {
    open(bookBytes({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}));
    moveRecordsDown(3, 5);
    EXPECT_EQ(readFile(path()), bookBytes({{"A"}, {"B"}, {"D"}, {"E"}}) + nulRecord());
    moveRecordsDown(1, 4); // a NUL tail record reads back as the blank slot
    EXPECT_EQ(readFile(path()), bookBytes({{"B"}, {"D"}, {"E"}}) + nulRecord() + nulRecord());
}

TEST_F(MovesTest, AMoveThatCannotGrowTheFileChangesNothing) {
    const QByteArray book = bookBytes({{"A"}, {"B"}, {"C"}});
    open(book);
    {
        const FileSizeLimit fullDisk(book.size());
        try {
            moveRecordsUp(1, 3);
            ADD_FAILURE() << "a failed move was taken for success";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), err::DiskFull);
        }
    }
    EXPECT_EQ(readFile(path()), book);
}

TEST_F(MovesTest, AFailingFirstWriteChangesNothing) {
    const QByteArray book = bookBytes({{"A"}, {"B"}, {"C"}});
    open(book);
    pbm().DatabaseFile.reset();
    QFile::setPermissions(path(), QFileDevice::ReadOwner);
    if (::getuid() == 0) GTEST_SKIP() << "root writes read-only files";
    openDatabase();
    EXPECT_THROW(moveRecordsUp(1, 3), VbError);
    EXPECT_THROW(moveRecordsDown(1, 3), VbError);
    EXPECT_EQ(readFile(path()), book);
}
