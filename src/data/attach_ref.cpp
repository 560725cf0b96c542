#include "data/attach_ref.h"

#include "data/phone_record.h"
#include "platform/codepage.h"
#include "platform/vb_error.h"

#include <cstring>

namespace pb {

namespace {
bool isEnd(const char* rec) {
    // The end of the index: a status that, trimmed, is all three characters.
    return rec[0] != ' ' && rec[2] != ' ';
}
} // namespace

void PbAttachRefClass::openAttachFile(const QString& DBmainPath, const QString& shortNameDBmain) {
    close();
    m_file = std::make_unique<RecordFile>(
        DBmainPath + QLatin1Char('/') + shortNameDBmain + QStringLiteral("AttachmentsRef.att"), kLength);
}

void PbAttachRefClass::close() {
    m_file.reset();
    m_position = 0;
    m_found = false;
    m_current = QByteArray(kLength, '\0');
}

void PbAttachRefClass::reread() const {
    if (m_position == 0 || !m_file) return;
    try {
        m_current = m_file->read(m_position);
    } catch (const VbError&) {
        // A failed read keeps the record as last read.
    }
}

int PbAttachRefClass::countIn(const QByteArray& all) const {
    int n = 0;
    // A last record cut short by the end of the file (a torn append) counts as the end.
    while (static_cast<qsizetype>(n + 1) * kLength <= all.size() && !isEnd(all.constData() + n * kLength))
        ++n;
    return n;
}

int PbAttachRefClass::RecordsCount() {
    if (!m_file) return 0;
    try {
        m_count = countIn(m_file->readAll());
    } catch (const VbError&) {
        m_count = 0;
    }
    m_current = QByteArray(kLength, '\0');
    return m_count;
}

int PbAttachRefClass::find(int recordNumber) {
    // One read of the whole index; the entries are compared in memory.
    const QByteArray all = m_file->readAll();
    const int count = countIn(all);
    m_count = count;
    // The number is plain digits: its bytes are compared with the field's bytes less their
    // blanks, which is what comparing the decoded texts comes to, without a text per entry.
    const QByteArray key = QByteArray::number(recordNumber);
    m_found = false;
    for (int position = 1; position <= count; ++position) {
        const char* rec = all.constData() + static_cast<qsizetype>(position - 1) * kLength;
        const char* begin = rec + 3;
        const char* end = rec + 8;
        while (begin < end && *begin == ' ')
            ++begin;
        while (end > begin && end[-1] == ' ')
            --end;
        if (end - begin == key.size() && std::memcmp(begin, key.constData(), key.size()) == 0) {
            m_found = true;
            m_position = position;
            m_current = QByteArray(rec, kLength);
            return position;
        }
    }
    // Not found: the first free slot, whose record (past the data) reads as all NUL.
    m_position = count + 1;
    m_current = QByteArray(kLength, '\0');
    return m_position;
}

void PbAttachRefClass::AttachToRecord(int recordNumber, const QString& fileTitle, int attachFileType) {
    if (!m_file) throw VbError(err::BadFileName);
    const int position = find(recordNumber);
    const bool isNew = !m_found;
    setField(3, 5, QString::number(recordNumber));
    const int offsets[] = {8, 68, 128};
    if (attachFileType >= 1 && attachFileType <= 3) {
        for (int k = 1; k <= 3; ++k) {
            if (k == attachFileType)
                setField(offsets[k - 1], 60, fileTitle);
            else if (isNew)
                setField(offsets[k - 1], 60, QString());
        }
    }
    setField(0, 3, QStringLiteral("OK"));
    m_file->write(position, m_current);
    m_found = true;
}

bool PbAttachRefClass::getAttachedFiles(int recordNumber) {
    m_found = false;
    if (!m_file) return false;
    try {
        find(recordNumber);
    } catch (const VbError&) {
        m_found = false;
        m_position = 0;
    }
    return m_found;
}

QString PbAttachRefClass::field(int offset) const {
    reread();
    return trimBlanks(codepage::decode(m_current.constData() + offset, 60));
}

void PbAttachRefClass::setField(int offset, int width, const QString& text) {
    const QByteArray b = codepage::encode(QStringView(text).left(width));
    std::memcpy(m_current.data() + offset, b.constData(), static_cast<std::size_t>(b.size()));
    std::memset(m_current.data() + offset + b.size(), ' ', static_cast<std::size_t>(width - b.size()));
}

// After a miss the current record is the empty slot past the end: nothing exists there.
bool PbAttachRefClass::SoundExist() const {
    return m_found && !SoundAttachment().isEmpty();
}
bool PbAttachRefClass::MovieExist() const {
    return m_found && !MovieAttachment().isEmpty();
}
bool PbAttachRefClass::MiscExist() const {
    return m_found && !MiscAttachment().isEmpty();
}

int PbAttachRefClass::AttachedToRecord() const {
    reread();
    return trimBlanks(codepage::decode(m_current.constData() + 3, 5)).toInt();
}

} // namespace pb
