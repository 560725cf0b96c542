#include "data/book_sort.h"

#include "data/name_collator.h"
#include "data/phone_record.h"
#include "platform/vb_error.h"

#include <QSaveFile>
#include <algorithm>
#include <cerrno>

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
                       const std::function<void()>& beforeCommit) {
    QByteArray sorted;
    sorted.reserve(static_cast<qsizetype>(order.size()) * PhoneRecord::kLength);
    for (int i : order)
        sorted.append(book.constData() + static_cast<qsizetype>(i) * PhoneRecord::kLength,
                      PhoneRecord::kLength);

    // QSaveFile writes beside the database and renames in one step on commit:
    // until then the book is untouched, and a failed or abandoned write is removed.
    QSaveFile out(databaseFile);
    out.setDirectWriteFallback(false);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly)) throw fileErrorFromErrno(databaseFile, errno ? errno : EACCES);
    errno = 0;
    if (out.write(sorted) != sorted.size() || !out.flush()) {
        const int e = errno ? errno : ENOSPC;
        out.cancelWriting();
        throw fileErrorFromErrno(databaseFile, e);
    }
    if (beforeCommit) {
        try {
            beforeCommit();
        } catch (...) {
            out.cancelWriting();
            throw;
        }
    }
    errno = 0;
    if (!out.commit()) throw fileErrorFromErrno(databaseFile, errno ? errno : EIO);
}

} // namespace pb
