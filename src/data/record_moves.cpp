#include "data/record_moves.h"

#include "data/database.h"
#include "data/module_phonebook.h"
#include "platform/vb_error.h"

#include <algorithm>
#include <deque>

namespace pb {

namespace {

constexpr qint64 kLen = PhoneRecord::kLength;

// The new file as pieces of the old one: what stays the same is copied from file to file.
class NewBook {
public:
    NewBook() : m_size(pbm().database().size()) {}

    // `length` bytes of the old file from `offset`, zeros where it has ended.
    void old(qint64 offset, qint64 length) {
        const qint64 inside = std::clamp<qint64>(m_size - offset, 0, length);
        if (inside > 0) m_pieces.push_back(files::oldBytes(offset, inside));
        if (inside < length) add(QByteArray(length - inside, '\0'));
    }
    // The old file from `offset` to its end.
    void oldRest(qint64 offset) {
        if (offset < m_size) m_pieces.push_back(files::oldBytes(offset, m_size - offset));
    }
    void add(QByteArray bytes) {
        m_owned.push_back(std::move(bytes));
        m_pieces.push_back(files::newBytes(m_owned.back()));
    }
    void commit() { replaceOpenBook(m_pieces); }

private:
    qint64 m_size;
    std::deque<QByteArray> m_owned; // a deque keeps its elements in place as it grows
    std::vector<files::Piece> m_pieces;
};

} // namespace

void insertRecord(int at, int count, const QByteArray& record) {
    if (at < 1 || at > count + 1) throw VbError(63, QStringLiteral("Bad record number"));
    NewBook book;
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
    NewBook book;
    book.old(0, (at - 1) * kLen);
    book.old(at * kLen, (count - at + 1) * kLen);
    book.oldRest(count * kLen);
    book.commit();
}

} // namespace pb
