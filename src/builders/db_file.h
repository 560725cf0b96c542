#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <vector>

class QSqlDatabase;
class QSqlError;

// The book copied into an SQLite database file: one table of seven text columns
// named from the field captions, one row per record in file order, values padded
// as stored. No widgets here.
namespace pb {
class VbError;
}

namespace pb::dbfile {

inline const QString kTable = QStringLiteral("PhoneTable");
// Declared sizes of the seven columns, in field order (first name .. comments).
inline constexpr std::array<int, 7> kColumnSizes = {20, 20, 27, 33, 60, 120, 160};

// An SQL identifier in double quotes, inner quotes doubled: any caption is safe.
QString quoteIdentifier(const QString& name);
// "> " and the caption.
QString columnName(const QString& label);
// The index of the first column whose name an earlier one already has (the engine
// compares names without regard to ASCII case), or -1.
int duplicateColumn(const std::array<QString, 7>& labels);
QString createTableSql(const std::array<QString, 7>& labels);
// An insert of `rows` rows, every value a parameter.
QString insertSql(int rows = 1);
// Rows one insert statement carries (seven values each, well within the engine's limit on parameters).
inline constexpr int kRowsPerInsert = 64;

// Called with the record number before each row (1 .. count).
using Progress = std::function<void(int)>;

// Records `first` .. `first + count - 1` (1-based) of a book, 440 bytes each.
using ReadRecords = std::function<QByteArray(int first, int count)>;

// Builds a fresh file holding `count` records of a book beside `target` and renames
// it over `target` only when it is complete; a failure leaves `target` as it was and
// no file behind. The book is read a slice at a time, so the largest one is never
// held whole. Raises VbError.
void buildBySlices(const QString& target, const std::array<QString, 7>& labels, const ReadRecords& read,
                   int count, const Progress& progress = {});
// The same from a book held in `book`, which must hold `count` records.
void build(const QString& target, const std::array<QString, 7>& labels, const QByteArray& book, int count,
           const Progress& progress = {});

// Hands each row of the table, in order, as the values of the named columns; a
// name the table has no column for gives empty values. Raises VbError.
void readColumns(QSqlDatabase& db, const std::vector<QString>& columns,
                 const std::function<void(std::vector<QString>&)>& row);

// A database failure as the error a user is told (disk full, refused, ...).
VbError failure(const QSqlError& e);

} // namespace pb::dbfile
