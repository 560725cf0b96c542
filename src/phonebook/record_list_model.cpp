#include "phonebook/record_list_model.h"

#include "data/phone_record.h"
#include "platform/vb_convert.h"

namespace pb {

void RecordListModel::setBook(QByteArray book, int count, bool sortedByLastName) {
    beginResetModel();
    m_book = std::move(book);
    m_count = static_cast<int>(std::min<qsizetype>(count, m_book.size() / PhoneRecord::kLength));
    m_byLast = sortedByLastName;
    endResetModel();
}

QString RecordListModel::line(int row) const {
    const PhoneRecord r = PhoneRecord::fromBytes(
        m_book.constData() + static_cast<qsizetype>(row) * PhoneRecord::kLength, PhoneRecord::kLength);
    const QString number = QStringLiteral("  (") + convert::signPlace(row + 1) + QLatin1Char(')');
    if (m_byLast)
        return r.trimmed(PhoneRecord::LastName) + QStringLiteral(",  ") + r.trimmed(PhoneRecord::FirstName) +
               number;
    return r.trimmed(PhoneRecord::FirstName) + QStringLiteral("  ") + r.trimmed(PhoneRecord::LastName) +
           number;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_count) return {};
    return line(index.row());
}

QStringList RecordListModel::lines() const {
    QStringList out;
    out.reserve(m_count);
    for (int i = 0; i < m_count; ++i)
        out << line(i);
    return out;
}

} // namespace pb
