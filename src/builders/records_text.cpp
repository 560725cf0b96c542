#include "builders/records_text.h"

#include "data/module_phonebook.h"
#include "data/phone_record.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace pb {

namespace {

// Copies a field's bytes without the blanks at either end (NULs stay: they are not blanks).
char* putTrimmed(char* out, const char* field, int width) {
    int end = width;
    // Eight blanks at a time from the end: most fields are mostly padding.
    while (end >= 8) {
        std::uint64_t word;
        std::memcpy(&word, field + end - 8, 8);
        if (word != 0x2020202020202020ULL) break;
        end -= 8;
    }
    while (end > 0 && field[end - 1] == ' ')
        --end;
    int start = 0;
    while (start < end && field[start] == ' ')
        ++start;
    std::memcpy(out, field + start, static_cast<std::size_t>(end - start));
    return out + (end - start);
}

char* putNumber(char* out, int n) {
    char digits[16];
    int len = 0;
    do {
        digits[len++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    *out++ = ' ';
    while (len > 0)
        *out++ = digits[--len];
    return out;
}

// The captioned fields in the order of their captions (the picture name has none).
constexpr std::array<PhoneRecord::Field, 7> kCaptioned = {
    PhoneRecord::FirstName, PhoneRecord::LastName, PhoneRecord::Phone,   PhoneRecord::EMail,
    PhoneRecord::Company,   PhoneRecord::Address,  PhoneRecord::Comments};

} // namespace

QByteArray recordsText(const QByteArray& book, int count, const std::array<QString, 7>& labels) {
    std::array<QByteArray, 7> heads;
    qsizetype headBytes = 0;
    for (std::size_t k = 0; k < heads.size(); ++k) {
        heads[k] = codepage::encode(labels[k]) + ": ";
        headBytes += heads[k].size() + 2;
    }
    const int n = static_cast<int>(std::clamp<qsizetype>(count, 0, book.size() / PhoneRecord::kLength));
    // Room for the longest text the records could give, written straight in and cut to size after.
    QByteArray out(static_cast<qsizetype>(n) * (headBytes + PhoneRecord::kLength + 16), Qt::Uninitialized);
    char* p = out.data();
    for (int i = 0; i < n; ++i) {
        const char* rec = book.constData() + static_cast<qsizetype>(i) * PhoneRecord::kLength;
        p = putNumber(p, i + 1);
        *p++ = '\r';
        *p++ = '\n';
        for (std::size_t k = 0; k < kCaptioned.size(); ++k) {
            const PhoneRecord::Layout where = PhoneRecord::kLayout[kCaptioned[k]];
            std::memcpy(p, heads[k].constData(), static_cast<std::size_t>(heads[k].size()));
            p += heads[k].size();
            p = putTrimmed(p, rec + where.offset, where.width);
            *p++ = '\r';
            *p++ = '\n';
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.truncate(p - out.constData());
    return out;
}

void writeTextProgressLine(QString& line, int i, int n) {
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const auto percent = static_cast<int>(std::nearbyint(static_cast<double>(i) / n * 100.0));
    static const QString head = QStringLiteral("Writing Record ");
    static const QString middle = QStringLiteral(".   Completed:  ");
    // Filled in place: a book's worth of lines costs no allocation after the first.
    const auto digits = [&line](int v) {
        char16_t buf[12];
        int len = 0;
        do {
            buf[len++] = static_cast<char16_t>(u'0' + v % 10);
            v /= 10;
        } while (v > 0);
        while (len > 0)
            line.append(QChar(buf[--len]));
    };
    line.resize(0);
    line.append(head);
    digits(i);
    line.append(middle);
    digits(percent);
    line.append(QLatin1Char('%'));
}

QString textProgressLine(int i, int n) {
    QString line;
    writeTextProgressLine(line, i, n);
    return line;
}

} // namespace pb
