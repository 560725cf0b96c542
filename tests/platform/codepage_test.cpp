#include "platform/codepage.h"

#include <gtest/gtest.h>

using namespace pb;

TEST(Codepage, EveryByteSurvivesARoundTrip) {
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = codepage::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(codepage::encode(text), all);
}

TEST(Codepage, HighControlRangeMapsToTypographicCharacters) {
    EXPECT_EQ(codepage::decode(QByteArray("\x80\x93\x94\x9f", 4)), QString::fromUtf8("€“”Ÿ"));
    EXPECT_EQ(codepage::encode(QString::fromUtf8("€“”Ÿé")), QByteArray("\x80\x93\x94\x9f\xe9"));
}

TEST(Codepage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(codepage::encode(QString::fromUtf8("a中b")), QByteArray("a?b"));
    EXPECT_FALSE(codepage::representable(QString::fromUtf8("Łódź")));
    EXPECT_TRUE(codepage::representable(QString::fromUtf8("Zoë Müller")));
}
