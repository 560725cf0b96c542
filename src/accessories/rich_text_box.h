#pragma once

#include <QTextEdit>

namespace pb {

// The editor's rich-text box. Files load as rich text when they are RTF and as
// plain text otherwise; documents are saved as RTF. Copy, cut, paste and drag
// and drop carry plain text only.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // No file larger than this is loaded: far beyond anything the program writes.
    static constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;

    // Replaces the document with the file; raises a VbError (7 for a file over
    // the size cap) and keeps the document as it was when the file cannot be read.
    void LoadFile(const QString& path);
    // The program's own text files (the print file) hold code-page text and nothing else: they
    // load as that text unchanged, whatever else their bytes could be read as.
    void LoadCodePageText(const QString& path);
    // Writes the document as RTF through a temporary file; the old file stays whole on failure.
    void SaveFile(const QString& path) const;
    void refresh() { viewport()->update(); }

    // The selection as the rich-edit control numbers it.
    int selStart() const;
    int selLength() const;
    void setSelection(int start, int length);
    // Text of the selection with paragraph ends as line ends and no picture marks.
    QString selectedPlainText() const;
    // Replaces the document's content as one edit that Undo can take back.
    void replaceAll(const QString& text);
    // Where `text` first stands at or after `from`, letters compared without
    // regard to case and the text taken literally; -1 when nowhere (or empty).
    int findText(const QString& text, int from) const;

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // The whole file, refused as LoadFile documents.
    static QByteArray readWhole(const QString& path);
    // The document's characters by position, kept until the next change.
    mutable QString m_raw;
    mutable bool m_rawValid = false;
};

} // namespace pb
