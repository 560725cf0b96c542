#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace pb {

// The whole book as text, in the single-byte code page of the book itself: for
// each record its number after a sign blank, the seven captioned fields as
// "Caption: value" with the value's blanks trimmed, and an empty line; every
// line ends in CR LF. `book` holds `count` records of 440 bytes.
QByteArray recordsText(const QByteArray& book, int count, const std::array<QString, 7>& labels);

// The progress line of record `i` of `n`: the number and the percentage, each
// with its sign blank, the percentage rounded to the nearest (halves to even).
QString textProgressLine(int i, int n);
// The same into `line`, reusing its storage.
void writeTextProgressLine(QString& line, int i, int n);

// The text built last (the program-wide text buffer), as it is written to files.
QByteArray& TextBuffer();

// Builds TextBuffer inside the progress window. False when the book could not
// be read: the failure has been reported, and no file may be written from the text.
bool StartWriteText();
// The job the progress window runs.
void WriteRecordsText();

// Builds the text and writes it to the print file in the program folder; false
// (reported) when either failed.
bool WritePrintFile();
// Writes the text to the print file in the program folder and loads it into the
// text editor; false (reported) when the text or the file could not be made, and
// then nothing is loaded.
bool MakePrintFile();
// The print file's path.
QString printFilePath();

} // namespace pb
