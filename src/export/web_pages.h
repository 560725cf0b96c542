#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

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
    // The six texts; the builder is spent.
    std::array<QByteArray, PageCount> finish();

private:
    PageSettings m_settings;
    std::array<QByteArray, 7> m_labels; // encoded and escaped
    QByteArray m_contents;
    QByteArray m_records;
};

// All six texts of a book of `count` records held in `book`.
std::array<QByteArray, PageCount> buildPages(const QByteArray& book, int count, const PageSettings& settings);

} // namespace pb::web
