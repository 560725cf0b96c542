#include "data/record_moves.h"

#include "data/database.h"
#include "data/module_phonebook.h"
#include "platform/vb_error.h"

#include <algorithm>
#include <deque>

namespace pb {

namespace {

constexpr qsizetype kLen = PhoneRecord::kLength;

// The new file as pieces of the old one, without copying what stays the same.
class NewBook {
public:
    explicit NewBook(QByteArray old) : m_old(std::move(old)) {}

    // `length` bytes of the old file from `offset`, zeros where it has ended.
    void old(qsizetype offset, qsizetype length) {
        const qsizetype inside = std::clamp<qsizetype>(m_old.size() - offset, 0, length);
        if (inside > 0) m_pieces.emplace_back(m_old.constData() + offset, inside);
        if (inside < length) add(QByteArray(length - inside, '\0'));
    }
    // The old file from `offset` to its end.
    void oldRest(qsizetype offset) {
        if (offset < m_old.size()) m_pieces.emplace_back(m_old.constData() + offset, m_old.size() - offset);
    }
    void add(QByteArray bytes) {
        m_owned.push_back(std::move(bytes));
        m_pieces.emplace_back(m_owned.back());
    }
    void commit() { replaceOpenBook(m_pieces); }

private:
    QByteArray m_old;
    std::deque<QByteArray> m_owned; // a deque keeps its elements in place as it grows
    std::vector<QByteArrayView> m_pieces;
};

} // namespace

void insertRecord(int at, int count, const QByteArray& record) {
    if (at < 1 || at > count + 1) throw VbError(63, QStringLiteral("Bad record number"));
    NewBook book(pbm().database().readAll());
    QByteArray slot = record.left(kLen);
    slot.append(QByteArray(kLen - slot.size(), '\0'));
    const qsizetype from = (at - 1) * kLen;
    book.old(0, from);
    book.add(slot);
    book.old(from, (count - at + 1) * kLen);
    book.oldRest((count + 1) * kLen);
    book.commit();
}

void deleteRecord(int at, int count) {
    if (at < 1 || at > count) throw VbError(63, QStringLiteral("Bad record number"));
    NewBook book(pbm().database().readAll());
    book.old(0, (at - 1) * kLen);
    book.old(at * kLen, (count - at + 1) * kLen);
    book.oldRest(count * kLen);
    book.commit();
}

} // namespace pb
