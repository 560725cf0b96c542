#include "data/book_sort.h"
#include "platform/vb_error.h"
#include "records.h"

#include "file_size_limit.h"
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;

namespace {
QStringList namesInOrder(const std::vector<Rec>& recs, SortKey key) {
    const QByteArray book = bookBytes(recs);
    QStringList out;
    for (int i : sortedOrder(book, static_cast<int>(recs.size()), key))
        out << recs[i].first + QLatin1Char(' ') + recs[i].last + QLatin1Char('#') + QString::number(i);
    return out;
}
} // namespace

TEST(SortOrder, FirstThenLastNameCaseBlindAndStable) {
    const std::vector<Rec> recs = {{"Bob", "Ray"}, {"ann", "Lee"}, {"Ann", "Kay"}, {"Bob", "Ray"}};
    EXPECT_EQ(namesInOrder(recs, SortKey::FirstName),
              (QStringList{"Ann Kay#2", "ann Lee#1", "Bob Ray#0", "Bob Ray#3"}));
    EXPECT_EQ(namesInOrder(recs, SortKey::LastName),
              (QStringList{"Ann Kay#2", "ann Lee#1", "Bob Ray#0", "Bob Ray#3"}));
}

TEST(SortOrder, KeysAreTrimmedAndTheOtherNameBreaksTies) {
    const std::vector<Rec> recs = {{"  Zoe", "B"}, {"amy", "Z"}, {"Amy", "a"}, {"zoe ", "A"}};
    EXPECT_EQ(namesInOrder(recs, SortKey::FirstName),
              (QStringList{"Amy a#2", "amy Z#1", "zoe  A#3", "  Zoe B#0"}));
    EXPECT_EQ(namesInOrder(recs, SortKey::LastName),
              (QStringList{"Amy a#2", "zoe  A#3", "  Zoe B#0", "amy Z#1"}));
}

class ReplaceTest : public ::testing::Test {
protected:
    QString path() const { return dir.path() + QStringLiteral("/Book.q7b"); }
    QStringList leftovers() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("Book.q7b"));
    }
    QTemporaryDir dir;
    const QByteArray book = bookBytes({{"C"}, {"A"}, {"B"}}) + nulRecord();
};

TEST_F(ReplaceTest, TheSortedBookReplacesTheOldOneExactly) {
    writeFile(path(), book);
    replaceWithSorted(path(), book, sortedOrder(book, 3, SortKey::FirstName));
    EXPECT_EQ(readFile(path()), bookBytes({{"A"}, {"B"}, {"C"}})); // the NUL tail is gone
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("Book.q7b")});
}

TEST_F(ReplaceTest, AFailureAtAnyStageLeavesTheBookAsItWas) {
    writeFile(path(), book);
    const std::vector<int> order = sortedOrder(book, 3, SortKey::FirstName);
    // Stopped between the write and the rename.
    EXPECT_THROW(replaceWithSorted(path(), book, order, {}, [] { throw VbError(57); }), VbError);
    EXPECT_EQ(readFile(path()), book);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("Book.q7b")});

    // The write itself fails, as on a full disk.
    try {
        const FileSizeLimit fullDisk(500);
        replaceWithSorted(path(), book, order);
        ADD_FAILURE() << "a failed write was taken for success";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::DiskFull);
    }
    EXPECT_EQ(readFile(path()), book);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("Book.q7b")});

    // The folder is gone: nothing to write into.
    EXPECT_THROW(replaceWithSorted(dir.path() + QStringLiteral("/gone/Book.q7b"), book, order), VbError);
}
