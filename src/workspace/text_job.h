#pragma once

#include <QByteArray>
#include <QString>

namespace pb {

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
