#pragma once

#include <QAbstractListModel>
#include <QByteArray>

namespace pb {

// The record list: one line per record, made when the view asks for it, so a
// refill of the largest book costs one read of the file and nothing more.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Takes the first `count` records of `book` (back-to-back 440-byte records).
    void setBook(QByteArray book, int count, bool sortedByLastName);
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_count; }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Line k (0-based) stands for record k + 1.
    QString line(int row) const;
    QStringList lines() const;

private:
    QByteArray m_book;
    int m_count = 0;
    bool m_byLast = false;
};

} // namespace pb
