#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <ostream>
#include <vector>

// Test failures show a text as text, not as its code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace pbtest {

// Builds records byte by byte, independent of the program's own record code:
// eight blank-padded Windows-1252 fields of 20, 20, 27, 33, 40, 80, 60 and 160 bytes.
struct Rec {
    QString first, last, phone, email, company, address, picture, comments;
};
QByteArray recordBytes(const Rec& r);
QByteArray nulRecord();
QByteArray bookBytes(const std::vector<Rec>& records);

void writeFile(const QString& path, const QByteArray& bytes);
// A picture of one colour, encoded in `format` ("PNG", "JPEG", ...).
QByteArray pictureBytes(int width, int height, const QColor& colour, const char* format);
QByteArray readFile(const QString& path);
// Record n (1-based) of a file's bytes, zero-filled past the end.
QByteArray recordAt(const QByteArray& file, int n);
QString firstNameAt(const QByteArray& file, int n);

} // namespace pbtest
