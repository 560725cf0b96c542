#include "data/prefix_search.h"

#include "platform/codepage.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace pb {

namespace {

// Each byte of the code page as a case-folded character, so that a byte and a
// typed character compare as the two characters would without regard to case.
const std::array<char32_t, 256>& foldedBytes() {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            t[b] = QChar::toCaseFolded(static_cast<char32_t>(codepage::decode(&c, 1).at(0).unicode()));
        }
        return t;
    }();
    return table;
}

} // namespace

int findPrefix(QByteArrayView book, PhoneRecord::Field field, QStringView text, int first, int last) {
    const PhoneRecord::Layout layout = PhoneRecord::kLayout[field];
    const qsizetype length = text.size();
    if (length > layout.width) return 0;
    first = std::max(first, 1);

    // accepts[i][b]: byte b stands for the i-th character of the text.
    const auto& folded = foldedBytes();
    std::vector<std::array<bool, 256>> accepts(static_cast<std::size_t>(length));
    for (qsizetype i = 0; i < length; ++i) {
        const char32_t want = QChar::toCaseFolded(static_cast<char32_t>(text[i].unicode()));
        for (int b = 0; b < 256; ++b)
            accepts[static_cast<std::size_t>(i)][static_cast<std::size_t>(b)] = folded[b] == want;
    }

    const char* data = book.data();
    const qsizetype size = book.size();
    char padded[PhoneRecord::kLength];
    for (int n = first; n <= last; ++n) {
        const qsizetype start = static_cast<qsizetype>(n - 1) * PhoneRecord::kLength + layout.offset;
        const char* p = data + start;
        if (start + length > size) {
            // A record cut short by the end of the book reads as NUL bytes past it.
            std::memset(padded, 0, sizeof padded);
            if (start < size) std::memcpy(padded, p, static_cast<std::size_t>(size - start));
            p = padded;
        }
        qsizetype i = 0;
        while (i < length && accepts[static_cast<std::size_t>(i)][static_cast<unsigned char>(p[i])])
            ++i;
        if (i == length) return n;
    }
    return 0;
}

const QByteArray& BookImage::bytes(const RecordFile& file) {
    // Writes through the file are counted; size and time also catch another program's writes.
    const QFileInfo info(file.path());
    const qint64 size = info.size();
    const qint64 modified = info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
    if (file.serial() != m_serial || file.writeCount() != m_writes || size != m_size ||
        modified != m_modified) {
        m_bytes = file.readAll();
        m_serial = file.serial();
        m_writes = file.writeCount();
        m_size = size;
        m_modified = modified;
    }
    return m_bytes;
}

} // namespace pb
