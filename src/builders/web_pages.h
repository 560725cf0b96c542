#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstring>
#include <exception>
#include <vector>

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
    qsizetype size() const { return m_len; }
    // Room for `n` bytes after what is written, counted as written: the caller fills it.
    char* extend(qsizetype n);
    // The bytes written; the sink starts empty again.
    QByteArray take();

private:
    void grow(qsizetype more);
    QByteArray m_buf;
    char* m_data = nullptr;
    qsizetype m_len = 0;
    qsizetype m_cap = 0;
};

// Raised when records read again for their lines are not the ones that were measured.
struct PartChanged : std::exception {};

// The size of the contents page's lines and of the records page's blocks of some records.
struct PartSize {
    qsizetype names = 0;
    qsizetype records = 0;
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

    // The book in parts, made on several threads: each part's records first..last, held at
    // `records` (record `first` at its start), are measured, room is made for all parts in
    // order, and each part writes its lines into its room. Only makeRoom touches the builder.
    PartSize measure(const char* records, int first, int last) const;
    struct Room {
        char* names;
        char* namesEnd;
        char* records;
        char* recordsEnd;
        bool full() const { return names == namesEnd && records == recordsEnd; }
    };
    // Where each of `parts` goes, in order.
    std::vector<Room> makeRoom(const std::vector<PartSize>& parts);
    // Writes the lines into `room`, which then starts after them. Records that no longer
    // give the lines they were measured by raise PartChanged, and nothing is written past the room.
    void writeInto(Room& room, const char* records, int first, int last) const;

    // The six texts; the builder is spent.
    std::array<QByteArray, PageCount> finish();

private:
    template <typename Out> void writeName(Out& out, int i, const char* record) const;
    template <typename Out> void writeRecord(Out& out, int i, const char* record) const;
    PageSettings m_settings;
    std::array<QByteArray, 7> m_labels; // encoded and escaped
    ByteSink m_contents;
    ByteSink m_records;
};

// All six texts of a book of `count` records held in `book`.
std::array<QByteArray, PageCount> buildPages(const QByteArray& book, int count, const PageSettings& settings);

} // namespace pb::web
