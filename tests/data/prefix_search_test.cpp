#include "data/prefix_search.h"
#include "records.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;

namespace {
int first(const QByteArray& book, const QString& text, int from = 1, int last = 100) {
    return findPrefix(book, PhoneRecord::FirstName, text, from, last);
}
} // namespace

TEST(PrefixSearch, FindsTheNextRecordWhoseFieldBeginsWithTheTextInAnyCase) {
    const QByteArray book = bookBytes({{"Anna", "Zu"}, {"Bob", "ann"}, {"andy", "Lee", "", "ANDY@x.org"}});
    EXPECT_EQ(first(book, QStringLiteral("a")), 1);
    EXPECT_EQ(first(book, QStringLiteral("a"), 2), 3);
    EXPECT_EQ(first(book, QStringLiteral("a"), 4), 0);
    EXPECT_EQ(first(book, QStringLiteral("AnD")), 3);
    EXPECT_EQ(first(book, QStringLiteral("andy"), 1, 2), 0); // the last record searched is `last`
    EXPECT_EQ(findPrefix(book, PhoneRecord::LastName, QStringLiteral("AN"), 1, 3), 2);
    EXPECT_EQ(findPrefix(book, PhoneRecord::EMail, QStringLiteral("andy@"), 1, 3), 3);
    EXPECT_EQ(findPrefix(book, PhoneRecord::EMail, QStringLiteral("Zu"), 1, 3),
              0); // other fields never count
}

TEST(PrefixSearch, TheStoredFieldCountsWithItsBlanksAndItsWidth) {
    const QByteArray book = bookBytes(
        {{" Zed"}, {"", "Empty"}, {"Abcdefghijklmnopqrs"}, {"", "", "", QString(33, QLatin1Char('m'))}});
    EXPECT_EQ(first(book, QStringLiteral("z")), 0);
    EXPECT_EQ(first(book, QStringLiteral(" z")), 1);
    EXPECT_EQ(first(book, QStringLiteral("  ")), 2); // two blanks: an empty field
    EXPECT_EQ(first(book, QStringLiteral("  "), 3), 4);
    // Up to the whole field's width, trailing blank included; one more matches nothing.
    EXPECT_EQ(first(book, QStringLiteral("abcdefghijklmnopqrs ")), 3);
    EXPECT_EQ(first(book, QStringLiteral("abcdefghijklmnopqrs  ")), 0);
    EXPECT_EQ(findPrefix(book, PhoneRecord::EMail, QString(33, QLatin1Char('M')), 1, 4), 4);
    EXPECT_EQ(findPrefix(book, PhoneRecord::EMail, QString(34, QLatin1Char('M')), 1, 4), 0);
}

TEST(PrefixSearch, CodePageLettersCompareAsTheCharactersTheyStandFor) {
    QByteArray book = bookBytes({{"Emile"}, {"x"}, {"x"}, {"x"}, {"?"}});
    book[0] = '\xC9';    // É
    book[440] = '\x8A';  // Š
    book[880] = '\x9F';  // Ÿ
    book[1320] = '\x80'; // €
    EXPECT_EQ(first(book, QStringLiteral("émile")), 1);
    EXPECT_EQ(first(book, QStringLiteral("Emile")), 0); // an accent is not a case
    EXPECT_EQ(first(book, QString(QChar(0x0161))), 2);  // š
    EXPECT_EQ(first(book, QString(QChar(0x00FF))), 3);  // ÿ
    EXPECT_EQ(first(book, QString(QChar(0x20AC))), 4);  // €
    // A character the code page cannot hold is not the '?' it would be stored as.
    EXPECT_EQ(first(book, QString(QChar(0x0142))), 0);
    EXPECT_EQ(first(book, QStringLiteral("?")), 5);
}

TEST(PrefixSearch, ARecordCutShortReadsAsNulBytes) {
    const QByteArray book = bookBytes({{"Ann"}}) + QByteArray("Bob  ", 5);
    EXPECT_EQ(first(book, QStringLiteral("bob")), 2);
    EXPECT_EQ(first(book, QStringLiteral("bob  ")), 2);
    EXPECT_EQ(first(book, QStringLiteral("bob   ")), 0); // NULs follow, not blanks
    EXPECT_EQ(findPrefix(book, PhoneRecord::Comments, QStringLiteral(" "), 2, 9), 0);
    EXPECT_EQ(findPrefix(book, PhoneRecord::Comments, QString(2, QChar(0)), 2, 9), 2);
}

TEST(BookImage, ReadsTheFileAgainOnlyAfterItChanged) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Book.q7b");
    writeFile(path, bookBytes({{"Ann"}, {"Bob"}}));
    BookImage image;
    {
        RecordFile file(path, 440);
        const char* before = image.bytes(file).constData();
        EXPECT_EQ(image.bytes(file).constData(), before); // unchanged: no second read
        EXPECT_EQ(first(image.bytes(file), QStringLiteral("c")), 0);

        file.write(2, recordBytes({"Cyd"}));
        EXPECT_EQ(first(image.bytes(file), QStringLiteral("c")), 2);
        file.write(3, recordBytes({"Dee"}));
        EXPECT_EQ(first(image.bytes(file), QStringLiteral("d")), 3);
    }
    // Another program's write, and another file object on the same path.
    QFile other(path);
    ASSERT_TRUE(other.open(QIODevice::Append));
    other.write(recordBytes({"Eve"}));
    other.close();
    RecordFile again(path, 440);
    EXPECT_EQ(first(image.bytes(again), QStringLiteral("e")), 4);
}
