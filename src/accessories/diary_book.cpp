#include "accessories/diary_book.h"

#include "platform/codepage.h"
#include "platform/vb_convert.h"

#include <QLocale>

namespace pb {

namespace {

QByteArray fitted(const QString& text, int width) {
    QByteArray bytes = codepage::encode(text).left(width);
    if (bytes.size() < width) bytes.append(width - bytes.size(), ' ');
    return bytes;
}

bool allZero(const char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

} // namespace

DiaryBook::DiaryBook(QString path) : m_path(std::move(path)) {}

void DiaryBook::open() {
    if (!m_file) m_file = std::make_unique<RecordFile>(m_path, kPageLength);
}

void DiaryBook::close() {
    m_file.reset();
}

DiaryBook::Page DiaryBook::read(int page) {
    open();
    return decode(m_file->read(page));
}

QString DiaryBook::save(int page, const QString& date, const QString& text, const QDateTime& now) {
    open();
    const QString dateLine = date.isEmpty() ? automaticDate(now) : date;
    const QByteArray record = encode(dateLine, text);
    m_file->write(page, record);
    return codepage::decode(record.left(kDateLength));
}

QByteArray DiaryBook::encode(const QString& date, const QString& text) {
    QString crlf = text;
    crlf.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return fitted(date, kDateLength) + fitted(crlf, kTextLength);
}

DiaryBook::Page DiaryBook::decode(const QByteArray& record) {
    Page page;
    const QByteArray full = record.leftJustified(kPageLength, '\0', true);
    const char* p = full.constData();
    // Bytes never written are zero: they show as nothing at all.
    if (!allZero(p, kDateLength)) page.date = codepage::decode(p, kDateLength).remove(QChar(0));
    if (!allZero(p + kDateLength, kTextLength)) {
        QString text = codepage::decode(p + kDateLength, kTextLength).remove(QChar(0));
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        qsizetype b = 0;
        qsizetype e = text.size();
        while (b < e && text[b] == QLatin1Char(' '))
            ++b;
        while (e > b && text[e - 1] == QLatin1Char(' '))
            --e;
        page.text = text.mid(b, e - b);
    }
    return page;
}

QString DiaryBook::automaticDate(const QDateTime& when) {
    const QLocale english = QLocale::c();
    return english.toString(when.time(), QStringLiteral("h:mm AP")) + QLatin1Char(' ') +
           english.toString(when.date(), QStringLiteral(" dddd, MMMM dd, yyyy"));
}

int DiaryBook::storedLength(const QString& text) {
    return static_cast<int>(text.size() + text.count(QLatin1Char('\n')) - text.count(QLatin1String("\r\n")));
}

QString DiaryBook::caption(int page) {
    return QStringLiteral("NotePapers            Note ") + convert::signPlace(page);
}

} // namespace pb
