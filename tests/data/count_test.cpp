#include "data/database.h"
#include "data/module_phonebook.h"
#include "records.h"

#include <gtest/gtest.h>

using namespace pb;
using pbtest::bookBytes;
using pbtest::nulRecord;
using pbtest::recordBytes;

namespace {
int count(const QByteArray& file) {
    return countRecords(file).count;
}
} // namespace

TEST(RecordCount, EndsAtTheFirstEndMark) {
    EXPECT_EQ(count(QByteArray()), 0);
    const QByteArray three = bookBytes({{"Ann"}, {"Bob"}, {"Cy"}});
    EXPECT_EQ(count(three), 3);
    EXPECT_EQ(count(three + nulRecord() + nulRecord()), 3);
    EXPECT_EQ(count(recordBytes({"Ann"}) + nulRecord() + recordBytes({"Cy"})), 1);
    EXPECT_EQ(count(bookBytes({{"Ann"}, {"ABCDEFGHIJKLMNOPQRST"}, {"Cy"}})), 1);
    // A first name of blanks only is a record, not the end.
    EXPECT_EQ(count(bookBytes({{""}, {"Bob"}})), 2);
}

TEST(RecordCount, ARecordCutShortByTheFileEndReadsAsZerosPastIt) {
    const QByteArray two = bookBytes({{"Ann"}, {"Bob"}});
    EXPECT_EQ(count(two + QByteArray("Cy  ")), 2);           // "Cy" then NULs: the name ends in a NUL
    EXPECT_EQ(count(two + recordBytes({"Cy"}).left(25)), 3); // the first name is whole
    EXPECT_EQ(count(two + QByteArray(30, ' ')), 3);
}

TEST(RecordCount, ReportsEachRecordReadUpToTheFirstPastTheData) {
    std::vector<int> lines;
    countRecords(bookBytes({{"Ann"}, {"Bob"}, {"Cy"}}), [&](int n) { lines.push_back(n); });
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4}));
}

TEST(RecordCount, ABookNeverCountsMoreThanItsNumbersAllow) {
    QByteArray big;
    const QByteArray one = recordBytes({"Ann"});
    big.reserve(static_cast<qsizetype>(kMaxRecords + 10) * 440);
    for (int i = 0; i < kMaxRecords + 10; ++i)
        big += one;
    const CountResult r = countRecords(big);
    EXPECT_EQ(r.count, kMaxRecords);
    EXPECT_TRUE(r.truncated);
    big.truncate(static_cast<qsizetype>(kMaxRecords) * 440);
    const CountResult full = countRecords(big);
    EXPECT_EQ(full.count, kMaxRecords);
    EXPECT_FALSE(full.truncated);
}
