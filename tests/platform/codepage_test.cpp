#include "platform/codepage.h"
#include "platform/native_name.h"

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

TEST(NativeNames, EveryFileNameKeepsItsBytesAndShowsReadable) {
    // Valid UTF-8, single stray bytes, the forms UTF-8 forbids (overlong, surrogates, past U+10FFFF),
    // a cut sequence, and a stray byte right after a character outside the basic plane.
    const QByteArray names[] = {"caf\xc3\xa9",
                                "caf\xe9",
                                "\xc0\xaf",
                                "\xed\xa0\x80",
                                "\xf4\x90\x80\x80",
                                "a\xe2\x82",
                                "\xf0\x90\x82\x80\x80",
                                "/x/r\xe9sum\xe9.txt"};
    for (const QByteArray& bytes : names)
        EXPECT_EQ(native::toBytes(native::fromBytes(bytes)), bytes) << bytes.toHex().toStdString();
    EXPECT_EQ(native::fromBytes("caf\xc3\xa9"), QStringLiteral("café"));
    EXPECT_EQ(native::shown(native::fromBytes("/x/r\xe9sum\xe9.txt")), QStringLiteral("/x/résumé.txt"));
    EXPECT_FALSE(native::hasStandIns(native::fromBytes("\xf0\x90\x82\x80")));
}
