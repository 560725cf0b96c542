#include "platform/native_name.h"

#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pb::native {

namespace {

constexpr char16_t kFirstStandIn = 0xDC80;
constexpr char16_t kLastStandIn = 0xDCFF;

bool isStandIn(char16_t u) {
    return u >= kFirstStandIn && u <= kLastStandIn;
}

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none
// (overlong forms, surrogates and values past U+10FFFF are not valid).
int validSequence(QByteArrayView b, qsizetype at, char32_t& cp) {
    const auto c = static_cast<unsigned char>(b[at]);
    int len = 0;
    char32_t min = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (at + len > b.size()) return 0;
    for (int k = 1; k < len; ++k) {
        const auto n = static_cast<unsigned char>(b[at + k]);
        if ((n & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (n & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// UTF-8 as its characters; each byte that is not part of a valid sequence as `invalid` makes it.
template <class Invalid> QString decodeBytes(QByteArrayView bytes, Invalid invalid) {
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        char32_t cp = 0;
        if (c < 0x80) {
            text += QChar(c);
            ++i;
        } else if (const int len = validSequence(bytes, i, cp)) {
            text += QString::fromUcs4(&cp, 1);
            i += len;
        } else {
            text += invalid(bytes.data() + i);
            ++i;
        }
    }
    return text;
}

} // namespace

QString fromBytes(QByteArrayView bytes) {
    if (bytes.isValidUtf8()) return QString::fromUtf8(bytes);
    return decodeBytes(bytes, [](const char* c) {
        return QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(*c)));
    });
}

QByteArray toBytes(QStringView path) {
    if (!hasStandIns(path)) return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() * 3);
    qsizetype from = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path[i].unicode();
        // A low surrogate right after a high one is half of a character, never a stand-in.
        if (!isStandIn(u) || (i > 0 && QChar::isHighSurrogate(path[i - 1].unicode()))) continue;
        out += path.mid(from, i - from).toUtf8();
        out += static_cast<char>(u - 0xDC00);
        from = i + 1;
    }
    out += path.mid(from).toUtf8();
    return out;
}

bool hasStandIns(QStringView path) {
    for (qsizetype i = 0; i < path.size(); ++i)
        if (isStandIn(path[i].unicode()) && (i == 0 || !QChar::isHighSurrogate(path[i - 1].unicode())))
            return true;
    return false;
}

QString shown(const QString& path) {
    if (!hasStandIns(path)) return path;
    return decodeBytes(toBytes(path), [](const char* c) { return codepage::decode(c, 1); });
}

FileStat stat(const QString& path) {
    FileStat out;
    struct ::stat st {};
    if (path.isEmpty() || ::stat(toBytes(path).constData(), &st) != 0) return out;
    out.exists = true;
    out.isFolder = S_ISDIR(st.st_mode);
    out.isFile = S_ISREG(st.st_mode);
    out.size = st.st_size;
    return out;
}

bool openForReading(QFile& file, const QString& path) {
    const int fd = ::open(toBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        errno = EIO;
        return false;
    }
    return true;
}

QUrl fileUrl(const QString& path) {
    if (!hasStandIns(path)) return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    QByteArray bytes = toBytes(path);
    if (!bytes.startsWith('/')) {
        char here[4096];
        if (::getcwd(here, sizeof here)) bytes = QByteArray(here) + '/' + bytes;
    }
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

} // namespace pb::native
