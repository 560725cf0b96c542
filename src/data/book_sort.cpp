#include "data/book_sort.h"

#include "data/database.h"
#include "data/name_collator.h"
#include "data/phone_record.h"

#include <algorithm>

namespace pb {

namespace {

// The trimmed field's bytes as a collation key.
std::string keyOf(const NameCollator& collator, const char* record, PhoneRecord::Field f) {
    const char* p = record + PhoneRecord::kLayout[f].offset;
    int begin = 0;
    int end = PhoneRecord::kLayout[f].width;
    while (begin < end && p[begin] == ' ')
        ++begin;
    while (end > begin && p[end - 1] == ' ')
        --end;
    return collator.sortKey(p + begin, end - begin);
}

struct Entry {
    std::string primary;
    std::string secondary;
    int index;
};

} // namespace

std::vector<int> sortedOrder(const QByteArray& book, int count, SortKey key) {
    const PhoneRecord::Field primary =
        key == SortKey::FirstName ? PhoneRecord::FirstName : PhoneRecord::LastName;
    const PhoneRecord::Field secondary =
        key == SortKey::FirstName ? PhoneRecord::LastName : PhoneRecord::FirstName;
    const NameCollator collator;
    std::vector<Entry> entries(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const char* rec = book.constData() + static_cast<qsizetype>(i) * PhoneRecord::kLength;
        entries[i] = {keyOf(collator, rec, primary), keyOf(collator, rec, secondary), i};
    }
    // Stable: records equal in both names keep their order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = a.primary.compare(b.primary);
        return c != 0 ? c < 0 : a.secondary < b.secondary;
    });
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        order[i] = entries[i].index;
    return order;
}

void replaceWithSorted(const QString& databaseFile, const QByteArray& book, const std::vector<int>& order,
                       const QByteArray& tail, const std::function<void()>& beforeCommit) {
    std::vector<files::Piece> pieces;
    pieces.reserve(order.size() + 1);
    for (int i : order)
        pieces.push_back(files::newBytes(QByteArrayView(
            book.constData() + static_cast<qsizetype>(i) * PhoneRecord::kLength, PhoneRecord::kLength)));
    pieces.push_back(files::newBytes(tail));
    replaceBookFile(databaseFile, pieces, beforeCommit);
}

} // namespace pb
