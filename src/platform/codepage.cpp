#include "platform/codepage.h"

#include <array>

namespace pb::codepage {

namespace {

// Bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined,
// which decode to the same-numbered control character.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toByte(char16_t c, bool* ok) {
    *ok = true;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    if (c >= 0x80 && c < 0xA0) {
        // Only the undefined slots map back to themselves.
        if (kHigh[c - 0x80] == 0) return static_cast<char>(c);
        *ok = false;
        return '?';
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c && c != 0) return static_cast<char>(0x80 + i);
    *ok = false;
    return '?';
}

} // namespace

QByteArray encode(QStringView text) {
    QByteArray out;
    out.resize(text.size());
    bool ok = true;
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = toByte(text[i].unicode(), &ok);
    return out;
}

QString decode(const char* bytes, qsizetype length) {
    QString out(length, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            d[i] = QChar(kHigh[b - 0x80]);
        else
            d[i] = QChar(b);
    }
    return out;
}

bool representable(QStringView text) {
    bool ok = true;
    for (QChar c : text) {
        toByte(c.unicode(), &ok);
        if (!ok) return false;
    }
    return true;
}

} // namespace pb::codepage
