#include "platform/vb_convert.h"
#include "platform/vb_error.h"

#include "error_of.h"

#include <gtest/gtest.h>

using namespace pb;

using pbtest::errorOf;

TEST(Convert, BooleansAcceptWordsAndNumbers) {
    EXPECT_TRUE(convert::toBool(QStringLiteral("True")));
    EXPECT_TRUE(convert::toBool(QStringLiteral("true")));
    EXPECT_FALSE(convert::toBool(QStringLiteral("False")));
    EXPECT_TRUE(convert::toBool(QStringLiteral("-1")));
    EXPECT_FALSE(convert::toBool(QStringLiteral("0")));
    EXPECT_EQ(errorOf([] { convert::toBool(QStringLiteral("yes please")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { convert::toBool(QString()); }), err::TypeMismatch);
}

TEST(Convert, IntegersRoundHalfToEvenAndReportOverflow) {
    EXPECT_EQ(convert::toInt16(QStringLiteral("32767")), 32767);
    EXPECT_EQ(convert::toInt16(QStringLiteral("2.5")), 2);
    EXPECT_EQ(convert::toInt16(QStringLiteral("3.5")), 4);
    EXPECT_EQ(errorOf([] { convert::toInt16(QStringLiteral("32768")); }), err::Overflow);
    EXPECT_EQ(errorOf([] { convert::toInt16(QStringLiteral("twelve")); }), err::TypeMismatch);
    EXPECT_EQ(convert::toInt32(QStringLiteral("-2147483643")), static_cast<int32_t>(0x80000005u));
    EXPECT_EQ(errorOf([] { convert::toInt32(QStringLiteral("4294967296")); }), err::Overflow);
}

TEST(Convert, SinglesAndNumberTexts) {
    EXPECT_FLOAT_EQ(convert::toSingle(QStringLiteral("75")), 75.0f);
    EXPECT_FLOAT_EQ(convert::toSingle(QStringLiteral(" 12.5 ")), 12.5f);
    EXPECT_EQ(errorOf([] { convert::toSingle(QStringLiteral("top")); }), err::TypeMismatch);
    EXPECT_EQ(convert::fromNumber(1125), QStringLiteral("1125"));
    EXPECT_EQ(convert::fromNumber(12.5), QStringLiteral("12.5"));
}

TEST(Convert, SignPlaceGivesABlankToNonNegativeNumbers) {
    EXPECT_EQ(convert::signPlace(5), QStringLiteral(" 5"));
    EXPECT_EQ(convert::signPlace(0), QStringLiteral(" 0"));
    EXPECT_EQ(convert::signPlace(-3), QStringLiteral("-3"));
}

TEST(Convert, DatesRoundTripThroughDayNumbers) {
    EXPECT_EQ(convert::toDate(QStringLiteral("0")), convert::zeroDate());
    const QDateTime d(QDate(2026, 12, 7), QTime(0, 0));
    EXPECT_EQ(convert::serialToDate(convert::dateToSerial(d)), d);
    EXPECT_EQ(convert::dateToSerial(QDateTime(QDate(1900, 1, 1), QTime(0, 0))), 2.0);
}
