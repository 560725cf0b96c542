#pragma once

#include <QByteArray>
#include <QString>

namespace pb::codepage {

// Files keep text in the Windows-1252 single-byte code page; a character it
// cannot hold is stored as '?'.
QByteArray encode(QStringView text);
QString decode(const char* bytes, qsizetype length);
inline QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

// True when every character of `text` survives a round trip through the code page.
bool representable(QStringView text);

} // namespace pb::codepage
