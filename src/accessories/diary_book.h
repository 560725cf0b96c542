#pragma once

#include "platform/record_file.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace pb {

// The note pages' file: 1000-byte pages of a 40-byte date line and 960 bytes of
// text, page n at record n. The note pages window owns it from load to unload.
class DiaryBook {
public:
    static constexpr int kDateLength = 40;
    static constexpr int kTextLength = 960;
    static constexpr int kPageLength = kDateLength + kTextLength;
    // Page numbers are 16-bit.
    static constexpr int kLastPage = 32767;

    struct Page {
        QString date; // as stored, blanks kept
        QString text; // trimmed, line breaks as "\n"
    };

    explicit DiaryBook(QString path);
    // Opens the file (creating it when missing); raises the file's error.
    void open();
    void close();
    bool isOpen() const { return m_file != nullptr; }
    const QString& path() const { return m_path; }

    // A page never written reads as empty boxes. Reopens a closed file first.
    Page read(int page);
    // Writes the page and returns the date as stored (40 characters); an empty
    // date becomes the automatic date of `now`. Raises when the write fails.
    QString save(int page, const QString& date, const QString& text, const QDateTime& now);

    static QByteArray encode(const QString& date, const QString& text);
    static Page decode(const QByteArray& record);
    // "3:05 PM  Sunday, December 06, 2026", in English whatever the language.
    static QString automaticDate(const QDateTime& when);
    // How many bytes a text takes in the file (a line break is CR LF).
    static int storedLength(const QString& text);
    static QString caption(int page);

private:
    QString m_path;
    std::unique_ptr<RecordFile> m_file;
};

} // namespace pb
