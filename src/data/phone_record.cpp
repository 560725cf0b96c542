#include "data/phone_record.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace pb {

PhoneRecord PhoneRecord::fromBytes(const char* data, qsizetype length) {
    PhoneRecord r;
    std::memcpy(r.m_bytes.data(), data, static_cast<std::size_t>(std::min<qsizetype>(length, kLength)));
    return r;
}

QString PhoneRecord::raw(Field f) const {
    return codepage::decode(m_bytes.data() + kLayout[f].offset, kLayout[f].width);
}

QString PhoneRecord::trimmed(Field f) const {
    const char* p = m_bytes.data() + kLayout[f].offset;
    int begin = 0;
    int end = kLayout[f].width;
    while (begin < end && p[begin] == ' ')
        ++begin;
    while (end > begin && p[end - 1] == ' ')
        --end;
    return codepage::decode(p + begin, end - begin);
}

void PhoneRecord::set(Field f, QStringView text) {
    const int w = kLayout[f].width;
    const QByteArray bytes = codepage::encode(text.left(w));
    char* p = m_bytes.data() + kLayout[f].offset;
    std::memcpy(p, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    std::memset(p + bytes.size(), ' ', static_cast<std::size_t>(w - bytes.size()));
}

bool PhoneRecord::isAllNul() const {
    return std::all_of(m_bytes.begin(), m_bytes.end(), [](char c) { return c == '\0'; });
}

bool PhoneRecord::isEndMark(const char* record) {
    // Trimmed length 20 of a 20-character field: neither end is a blank.
    return record[0] != ' ' && record[19] != ' ';
}

QString trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin).toString();
}

} // namespace pb
