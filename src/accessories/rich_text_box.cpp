#include "accessories/rich_text_box.h"

#include "data/file_copy.h"
#include "platform/codepage.h"
#include "platform/native_name.h"
#include "platform/rtf.h"
#include "platform/vb_error.h"

#include <QFile>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <cerrno>

namespace pb {

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("Rtf"));
    setAcceptRichText(false);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        m_rawValid = false;
        m_raw.clear();
    });
}

int RichTextBox::findText(const QString& text, int from) const {
    if (text.isEmpty()) return -1;
    if (!m_rawValid) {
        m_raw = document()->toRawText();
        m_rawValid = true;
    }
    return static_cast<int>(m_raw.indexOf(text, std::max(0, from), Qt::CaseInsensitive));
}

QByteArray RichTextBox::readWhole(const QString& path) {
    const native::FileStat info = native::stat(path);
    if (!info.exists) throw VbError(err::FileNotFound);
    if (info.isFolder) throw VbError(err::PathFileAccess);
    // A name that merely looks like a text's could be any file: refuse the huge ones before reading.
    if (info.size > kMaxFileBytes)
        throw VbError(err::OutOfMemory,
                      QStringLiteral("The file is too large to open in the text editor (over 64 MB)."));
    QFile file;
    errno = 0;
    if (!native::openForReading(file, path)) throw fileErrorFromErrno(path, errno ? errno : EACCES);
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) throw VbError(err::DeviceIO);
    if (bytes.size() > kMaxFileBytes) throw VbError(err::OutOfMemory);
    return bytes;
}

void RichTextBox::LoadFile(const QString& path) {
    const QByteArray bytes = readWhole(path);
    if (rtf::isRtf(bytes)) {
        document()->setUndoRedoEnabled(false);
        rtf::read(bytes, *document());
        document()->setUndoRedoEnabled(true);
    } else {
        setPlainText(rtf::decodePlainText(bytes));
    }
}

void RichTextBox::LoadCodePageText(const QString& path) {
    QString text = codepage::decode(readWhole(path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(text);
}

void RichTextBox::SaveFile(const QString& path) const {
    files::writeFile(path, rtf::write(*document()));
}

int RichTextBox::selStart() const {
    return textCursor().selectionStart();
}

int RichTextBox::selLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichTextBox::setSelection(int start, int length) {
    QTextCursor c(document());
    const int end = std::max(0, document()->characterCount() - 1);
    c.setPosition(std::clamp(start, 0, end));
    c.setPosition(std::clamp(start + length, 0, end), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::selectedPlainText() const {
    QString text = textCursor().selection().toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

void RichTextBox::replaceAll(const QString& text) {
    QTextCursor c(document());
    c.select(QTextCursor::Document);
    c.insertText(text);
    setTextCursor(c);
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(selectedPlainText());
    return data;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void RichTextBox::insertFromMimeData(const QMimeData* source) {
    // Only text is taken; with none, the selection stays as it is.
    if (!source->hasText()) return;
    textCursor().insertText(source->text());
}

} // namespace pb
