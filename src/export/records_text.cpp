#include "export/records_text.h"

#include "data/module_phonebook.h"
#include "data/phone_record.h"
#include "platform/codepage.h"
#include "platform/vb_convert.h"

#include <algorithm>
#include <cmath>

namespace pb {

namespace {

// A field's bytes without the blanks at either end (NULs stay: they are not blanks).
void appendTrimmed(QByteArray& out, const char* field, int width) {
    int start = 0;
    int end = width;
    while (start < end && field[start] == ' ')
        ++start;
    while (end > start && field[end - 1] == ' ')
        --end;
    out.append(field + start, end - start);
}

void appendNumber(QByteArray& out, int n) {
    char digits[16];
    int len = 0;
    do {
        digits[len++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    out.append(' ');
    while (len > 0)
        out.append(digits[--len]);
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
    QByteArray out;
    // One allocation: no record's text is longer than its caption lines, its fields and its number.
    out.reserve(static_cast<qsizetype>(n) * (headBytes + PhoneRecord::kLength + 12));
    for (int i = 0; i < n; ++i) {
        const char* rec = book.constData() + static_cast<qsizetype>(i) * PhoneRecord::kLength;
        appendNumber(out, i + 1);
        out.append("\r\n", 2);
        for (std::size_t k = 0; k < kCaptioned.size(); ++k) {
            const PhoneRecord::Layout where = PhoneRecord::kLayout[kCaptioned[k]];
            out.append(heads[k]);
            appendTrimmed(out, rec + where.offset, where.width);
            out.append("\r\n", 2);
        }
        out.append("\r\n", 2);
    }
    return out;
}

QString textProgressLine(int i, int n) {
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const auto percent = static_cast<long long>(std::nearbyint(static_cast<double>(i) / n * 100.0));
    return QStringLiteral("Writing Record") + convert::signPlace(i) + QStringLiteral(".   Completed: ") +
           convert::signPlace(percent) + QLatin1Char('%');
}

QByteArray& TextBuffer() {
    static QByteArray buffer;
    return buffer;
}

} // namespace pb
