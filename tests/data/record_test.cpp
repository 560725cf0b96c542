#include "data/phone_record.h"
#include "records.h"

#include <gtest/gtest.h>

using namespace pb;

TEST(PhoneRecord, StoringCutsAndPadsToTheFieldWidth) {
    PhoneRecord r;
    r.set(PhoneRecord::LastName, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY")); // 25 characters
    r.set(PhoneRecord::FirstName, QStringLiteral("Ann"));
    const QByteArray b = r.toBytes();
    ASSERT_EQ(b.size(), 440);
    EXPECT_EQ(b.mid(0, 20), QByteArray("Ann") + QByteArray(17, ' '));
    EXPECT_EQ(b.mid(20, 20), QByteArray("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(r.trimmed(PhoneRecord::FirstName), QStringLiteral("Ann"));
    EXPECT_EQ(b.mid(40, 400), QByteArray(400, '\0')); // untouched fields stay NUL
}

TEST(PhoneRecord, FieldsLieAtTheirOffsets) {
    const QByteArray bytes = pbtest::recordBytes({"F", "L", "P", "E", "C", "A", "pic.jpg", "Comment"});
    const PhoneRecord r = PhoneRecord::fromBytes(bytes);
    EXPECT_EQ(r.trimmed(PhoneRecord::Phone), QStringLiteral("P"));
    EXPECT_EQ(r.trimmed(PhoneRecord::EMail), QStringLiteral("E"));
    EXPECT_EQ(r.trimmed(PhoneRecord::Company), QStringLiteral("C"));
    EXPECT_EQ(r.trimmed(PhoneRecord::Address), QStringLiteral("A"));
    EXPECT_EQ(r.trimmed(PhoneRecord::PictureFile), QStringLiteral("pic.jpg"));
    EXPECT_EQ(r.trimmed(PhoneRecord::Comments), QStringLiteral("Comment"));
    EXPECT_EQ(r.toBytes(), bytes);
}

TEST(PhoneRecord, TrimmingRemovesBlanksOnlyNotNulsOrTabs) {
    QByteArray b = pbtest::recordBytes({});
    b.replace(0, 20, QByteArray(QByteArray("  \tAnn\t ") + QByteArray(12, ' ')));
    b.replace(20, 4, QByteArray("\0Bo\0", 4));
    const PhoneRecord r = PhoneRecord::fromBytes(b);
    EXPECT_EQ(r.trimmed(PhoneRecord::FirstName), QStringLiteral("\tAnn\t"));
    EXPECT_EQ(r.trimmed(PhoneRecord::LastName), QString(QChar(0)) + QStringLiteral("Bo") + QChar(0));
    EXPECT_EQ(PhoneRecord().trimmed(PhoneRecord::FirstName).size(), 20); // twenty NULs
}

TEST(PhoneRecord, EndMarkIsAFirstNameFillingAllTwentyCharacters) {
    EXPECT_TRUE(PhoneRecord().isEndMark());
    EXPECT_TRUE(PhoneRecord::fromBytes(pbtest::recordBytes({"ABCDEFGHIJKLMNOPQRST"})).isEndMark());
    EXPECT_FALSE(PhoneRecord::fromBytes(pbtest::recordBytes({"ABCDEFGHIJKLMNOPQRS"})).isEndMark());
    EXPECT_FALSE(PhoneRecord::fromBytes(pbtest::recordBytes({" BCDEFGHIJKLMNOPQRST"})).isEndMark());
    EXPECT_FALSE(PhoneRecord::fromBytes(pbtest::recordBytes({""})).isEndMark()); // all blanks
}
