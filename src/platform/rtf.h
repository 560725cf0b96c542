#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Rich text in the RTF form that word processors exchange, on a QTextDocument:
// fonts, sizes, bold, italic, underline, strike-through, colours, alignment,
// paragraphs, tabs, line breaks and PNG or JPEG pictures.
namespace pb::rtf {

// True when the bytes are rich text (they start with "{\rtf").
bool isRtf(const QByteArray& bytes);

// Replaces the document's content with the rich text in `bytes`. Damaged input
// never fails: what can be read is shown, unknown parts are skipped, and a
// picture that cannot be shown becomes a visible placeholder.
void read(const QByteArray& bytes, QTextDocument& doc);

// The document as rich text (7-bit ASCII; every other character escaped).
QByteArray write(const QTextDocument& doc);

// A file that is not rich text: UTF-8 when it is valid UTF-8 (or starts with
// its byte-order mark), else Windows-1252; CR LF, CR and LF all end a line.
QString decodePlainText(const QByteArray& bytes);

// What a picture that cannot be shown reads as.
inline const QString kPicturePlaceholder = QStringLiteral("[picture]");

} // namespace pb::rtf
