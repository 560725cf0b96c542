#pragma once

#include "platform/record_file.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace pb {

// The attachment index beside a book: 188-byte records of a status, a phone
// book record number and three file names (sound, movie, other file).
class PbAttachRefClass {
public:
    static constexpr int kLength = 188;
    enum Kind { Sound = 1, Movie = 2, Misc = 3 };

    void openAttachFile(const QString& DBmainPath, const QString& shortNameDBmain);
    void close();
    bool isOpen() const { return m_file != nullptr; }

    // Throws a VbError when the entry cannot be written (or the index is not
    // open), so that a failed attach is reported instead of taken for done.
    void AttachToRecord(int recordNumber, const QString& fileTitle, int attachFileType);
    // False on a miss and on any error.
    bool getAttachedFiles(int recordNumber);
    bool SoundExist() const;
    bool MovieExist() const;
    bool MiscExist() const;
    int RecordsCount();
    QString SoundAttachment() const { return field(8); }
    QString MovieAttachment() const { return field(68); }
    QString MiscAttachment() const { return field(128); }
    void setSoundAttachment(const QString& name) { setField(8, 60, name); }
    void setMovieAttachment(const QString& name) { setField(68, 60, name); }
    void setMiscAttachment(const QString& name) { setField(128, 60, name); }
    int AttachedToRecord() const;

private:
    // Finds the entry of record r: its position, or count + 1 when there is none.
    int find(int recordNumber);
    int countIn(const QByteArray& all) const;
    QString field(int offset) const;
    void setField(int offset, int width, const QString& text);
    void reread() const;

    std::unique_ptr<RecordFile> m_file;
    mutable QByteArray m_current = QByteArray(kLength, '\0');
    int m_position = 0;
    int m_count = 0;
    bool m_found = false;
};

} // namespace pb
