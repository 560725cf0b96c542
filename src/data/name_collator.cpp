#include "data/name_collator.h"

#include "platform/codepage.h"

#include <QList>
#include <algorithm>
#include <array>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <vector>

namespace pb {

namespace {

// The C library's wide strings hold whole code points, and a NUL would end them early.
wchar_t wide(char32_t c) {
    return c == 0 ? L'\x1' : static_cast<wchar_t>(c);
}

std::wstring folded(const QString& name) {
    std::wstring w;
    for (const char32_t c : name.toCaseFolded().toUcs4())
        w.push_back(wide(c));
    return w;
}

struct ByteTables {
    std::array<wchar_t, 256> folded{}; // each stored byte, case folded
    std::array<char, 256> rank{};      // a byte whose order is that of the folded code point
};

// Built once: names in records are single bytes of the code page.
const ByteTables& tables() {
    static const ByteTables t = [] {
        ByteTables t;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            t.folded[b] = wide(codepage::decode(&byte, 1).toCaseFolded().at(0).unicode());
        }
        std::vector<wchar_t> distinct(t.folded.begin(), t.folded.end());
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        for (int b = 0; b < 256; ++b)
            t.rank[b] = static_cast<char>(std::lower_bound(distinct.begin(), distinct.end(), t.folded[b]) -
                                          distinct.begin());
        return t;
    }();
    return t;
}

} // namespace

NameCollator::NameCollator() {
    const char* c = std::setlocale(LC_COLLATE, nullptr);
    m_plain = !c || std::strcmp(c, "C") == 0 || std::strcmp(c, "POSIX") == 0;
}

int NameCollator::compare(const QString& a, const QString& b) const {
    const int c = std::wcscoll(folded(a).c_str(), folded(b).c_str());
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string NameCollator::sortKey(const char* storedName, int length) const {
    const ByteTables& t = tables();
    std::string key(static_cast<std::size_t>(length), '\0');
    if (m_plain) {
        for (int i = 0; i < length; ++i)
            key[i] = t.rank[static_cast<unsigned char>(storedName[i])];
        return key;
    }
    std::wstring w(static_cast<std::size_t>(length), L'\0');
    for (int i = 0; i < length; ++i)
        w[i] = t.folded[static_cast<unsigned char>(storedName[i])];
    const std::size_t n = std::wcsxfrm(nullptr, w.c_str(), 0);
    std::vector<wchar_t> x(n + 1);
    std::wcsxfrm(x.data(), w.c_str(), n + 1);
    // Big-endian bytes of each transformed unit compare as the units do.
    key.assign(n * 4, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        const auto u = static_cast<uint32_t>(x[i]);
        key[4 * i] = static_cast<char>(u >> 24);
        key[4 * i + 1] = static_cast<char>(u >> 16);
        key[4 * i + 2] = static_cast<char>(u >> 8);
        key[4 * i + 3] = static_cast<char>(u);
    }
    return key;
}

} // namespace pb
