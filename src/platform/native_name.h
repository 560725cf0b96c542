#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QFile;

// File names are bytes on this platform, and not every name is valid UTF-8. A path
// read from the file system is carried in a QString that keeps every byte: valid
// UTF-8 as its characters, any other byte as a stand-in character (U+DC80 to U+DCFF,
// which no valid name decodes to), so the path names the same file when handed back.
// Qt's own file classes would turn such a byte into U+FFFD for good: a carried path
// is opened with the functions below.
namespace pb::native {

QString fromBytes(QByteArrayView bytes);
QByteArray toBytes(QStringView path);
// True when the path holds a byte that is not UTF-8.
bool hasStandIns(QStringView path);
// The path for people to read: each stand-in shows as its byte in the code page.
QString shown(const QString& path);

struct FileStat {
    bool exists = false;
    bool isFolder = false;
    bool isFile = false; // a regular file (links followed)
    qint64 size = 0;
};
FileStat stat(const QString& path);

// Opens the file for reading by the path's own bytes; false (errno set) when it cannot.
bool openForReading(QFile& file, const QString& path);

// The path as an address a browser or a player takes: the usual file address, with
// the name's own bytes percent-encoded when it is not UTF-8.
QUrl fileUrl(const QString& path);

} // namespace pb::native
