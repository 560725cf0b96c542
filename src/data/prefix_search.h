#pragma once

#include "data/phone_record.h"
#include "platform/record_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace pb {

// The first record numbered `first` to `last` whose field begins with `text`, without
// regard to case, or 0. The field counts as stored: leading blanks are part of it, and a
// text longer than the field matches nothing. `book` holds records back to back from
// record 1; a record past its end reads as NUL bytes.
int findPrefix(QByteArrayView book, PhoneRecord::Field field, QStringView text, int first, int last);

// A record file's bytes held in memory, read again only when the file has changed since.
class BookImage {
public:
    const QByteArray& bytes(const RecordFile& file);

private:
    QByteArray m_bytes;
    quint64 m_serial = 0;
    quint64 m_writes = 0;
    qint64 m_size = -1;
    qint64 m_modified = 0;
};

} // namespace pb
