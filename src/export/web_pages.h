#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstring>

namespace pb::web {

// The six texts of a web export, in this order.
enum Page { Frameset, Title, Contents, Records, InlineFrame, StyleSheet, PageCount };

// The names the pages are written under in the export folder; the pages link to
// each other by exactly these names (the frameset's own file is the chosen one).
inline const std::array<QString, PageCount> kPageFiles = {QString(),
                                                          QStringLiteral("Title.htm"),
                                                          QStringLiteral("Contents.htm"),
                                                          QStringLiteral("Records.htm"),
                                                          QStringLiteral("InlineFrameRecords.htm"),
                                                          QStringLiteral("Dorvane2StyleSheet.css")};

// Bytes made safe as mark-up text and as a quoted attribute value: & < > " '.
QByteArray escape(QByteArrayView text);
// A single-byte text (a field) as the target of a "mailto:" link: percent-encoded,
// so that it can add no second recipient, header or query.
QByteArray mailTarget(QByteArrayView address);
// A folder as the absolute file address the frames load pages from: percent-encoded,
// ending in "/", escaped for a quoted attribute.
QByteArray folderLink(const QString& folder);

// The folder that holds the pages of an export whose frameset is `chosenFile`: the
// chosen path less a final ".htm" or ".html" (any case); a name without it, or with
// nothing before it, gets "_files" after it, so the folder is never the chosen file.
QString exportFolderFor(const QString& chosenFile);

// The caption line of record `i` of `n` while a page is built: `what` ("Constructing
// Contents Page. Writing Name"), then the number and the percentage, each after its sign blank.
QString progressLine(const char* what, int i, int n);

// What the pages are built from besides the book.
struct PageSettings {
    std::array<QString, 7> labels;
    bool sortedByLastName = false;
    QString folder;     // where the pages are written (the frames load them from there)
    QString appletType; // "0" or "1", for buildPages
};

// An output buffer that appends with plain copies and grows by doubling: the records
// page of the largest book is some 16 MB, built from a million small pieces.
class ByteSink {
public:
    void reserve(qsizetype n) {
        if (n > m_cap) grow(n - m_len);
    }
    ByteSink& operator<<(QByteArrayView v) {
        if (m_len + v.size() > m_cap) grow(v.size());
        std::memcpy(m_data + m_len, v.data(), static_cast<std::size_t>(v.size()));
        m_len += v.size();
        return *this;
    }
    ByteSink& operator<<(char c) {
        if (m_len + 1 > m_cap) grow(1);
        m_data[m_len++] = c;
        return *this;
    }
    // The bytes written; the sink starts empty again.
    QByteArray take();
    // Makes the system give the reserved room past `from` its memory now (it is written
    // later, on another thread: writes below `from` may go on meanwhile).
    void touch(qsizetype from);

private:
    void grow(qsizetype more);
    QByteArray m_buf;
    char* m_data = nullptr;
    qsizetype m_len = 0;
    qsizetype m_cap = 0;
};

// Builds the six texts of an export one record at a time, in the single-byte code
// page of the book. Lines end in CR LF; pages 0 to 4 have none after their last line.
class PageBuilder {
public:
    PageBuilder(const PageSettings& settings, int recordCount);
    // Record i (1-based) of the book, 440 bytes at `record`.
    void addName(int i, const char* record);
    // The records page starts once the names are in: it carries the applet type of this build.
    void beginRecords(const QString& appletType);
    void addRecord(int i, const char* record);

    // The same lines for records first..last of `book` (record 1 at its start), made apart
    // from the builder (on any thread) and then added in order.
    QByteArray nameLines(const char* book, int first, int last) const;
    QByteArray recordBlocks(const char* book, int first, int last) const;
    void addNames(QByteArrayView lines) { m_contents << lines; }
    // Readies the records page's room for addRecords; may run on another thread until then.
    void touchRecordsPage() { m_records.touch(64 * 1024); }
    void addRecords(QByteArrayView blocks) { m_records << blocks; }
    // The six texts; the builder is spent.
    std::array<QByteArray, PageCount> finish();

private:
    void writeName(ByteSink& out, int i, const char* record) const;
    void writeRecord(ByteSink& out, int i, const char* record) const;
    PageSettings m_settings;
    std::array<QByteArray, 7> m_labels; // encoded and escaped
    ByteSink m_contents;
    ByteSink m_records;
};

// All six texts of a book of `count` records held in `book`.
std::array<QByteArray, PageCount> buildPages(const QByteArray& book, int count, const PageSettings& settings);

} // namespace pb::web
