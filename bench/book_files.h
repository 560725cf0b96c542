#pragma once

#include <QByteArray>
#include <QString>

namespace pbbench {

// A book of `records` records, every field filled, as the file holds it.
QByteArray makeBook(int records);
// The file's bytes; none when it cannot be read.
QByteArray readFileBytes(const QString& path);
// Writes the file plainly; the bench ends when it cannot.
void writeBook(const QString& path, const QByteArray& bytes);
// Writes `bytes` as `path` the least a durable whole-file write costs: a new file beside it,
// synced, renamed over it.
void durableWrite(const QString& path, const QByteArray& bytes);
void syncFolder(const QString& folder);

} // namespace pbbench
