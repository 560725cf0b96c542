#pragma once

#include <QByteArray>
#include <QString>

namespace pb {
class Data;
}

// Times the database file copy and the report of a loaded book of `count`
// records; prints its table and returns false when a row misses its target.
bool benchDatabaseFile(const QString& dir, const QByteArray& book, int count, pb::Data* data);
