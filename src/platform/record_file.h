#pragma once

#include <QByteArray>
#include <QString>

namespace pb {

// A file of fixed-length records addressed by 1-based number, kept open between
// calls. Reading past the end yields zero bytes; writing past the end extends.
// Every failure raises a VbError with the matching file error number.
class RecordFile {
public:
    // Opens (creating when missing) `path` for reading and writing.
    RecordFile(const QString& path, int recordLength);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const QString& path() const { return m_path; }
    int recordLength() const { return m_length; }

    QByteArray read(qint64 n) const;
    void write(qint64 n, const QByteArray& record);
    // Reads `count` records from record `first` on into one buffer, zero-filled past the end.
    QByteArray readRange(qint64 first, qint64 count) const;
    // Writes consecutive records starting at `first` in one call.
    void writeRange(qint64 first, const QByteArray& records);
    // The whole file's bytes.
    QByteArray readAll() const;
    qint64 size() const;
    void flush();
    // Bytes read earlier are still what this object holds while serial() and
    // writeCount() are unchanged: every write through it counts.
    quint64 serial() const { return m_serial; }
    quint64 writeCount() const { return m_writes; }

private:
    void readAt(qint64 offset, char* buffer, qint64 length) const;
    void writeAt(qint64 offset, const char* buffer, qint64 length);

    QString m_path;
    int m_length;
    int m_fd = -1;
    quint64 m_serial;
    quint64 m_writes = 0;
};

} // namespace pb
