#include "builders/db_file.h"

#include "data/file_copy.h"
#include "data/phone_record.h"
#include "platform/vb_error.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>
#include <atomic>

namespace pb::dbfile {

// The engine's own result codes, as the user's error numbers.
VbError failure(const QSqlError& e) {
    const int code = e.nativeErrorCode().toInt() & 0xff; // primary code of an extended one
    const QString text = e.text();
    switch (code) {
    case 13: // full
        return VbError(err::DiskFull, text);
    case 3: // no permission
    case 5: // busy
    case 6: // locked
    case 8: // read-only
        return VbError(err::PermissionDenied, text);
    case 10: // disk I/O
        return VbError(err::DeviceIO, text);
    default:
        return VbError(err::PathFileAccess, text);
    }
}

namespace {

void exec(QSqlQuery& q, const QString& sql) {
    if (!q.exec(sql)) throw failure(q.lastError());
}

// One connection of its own, removed again on every way out.
class Connection {
public:
    explicit Connection(const QString& file) {
        static std::atomic<int> serial{0};
        m_name = QStringLiteral("dorvane-build-%1").arg(++serial);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        if (!db.open()) throw failure(db.lastError());
    }
    ~Connection() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

// Records read at a time: big enough for few reads, small enough to leave no trace in memory.
constexpr int kRecordsPerRead = 16 * kRowsPerInsert;

void fill(const QString& file, const std::array<QString, 7>& labels, const ReadRecords& read, int count,
          const Progress& progress) {
    Connection c(file);
    QSqlDatabase db = c.db();
    QSqlQuery q(db);
    // A file nobody sees until it is whole needs no journal of its own.
    exec(q, QStringLiteral("PRAGMA journal_mode=OFF"));
    exec(q, QStringLiteral("PRAGMA synchronous=OFF"));
    exec(q, createTableSql(labels));
    // BEGIN and COMMIT as statements of our own: the driver's transaction calls drop the engine's error code.
    exec(q, QStringLiteral("BEGIN"));
    static constexpr std::array<PhoneRecord::Field, 7> fields = {
        PhoneRecord::FirstName, PhoneRecord::LastName, PhoneRecord::Phone,   PhoneRecord::EMail,
        PhoneRecord::Company,   PhoneRecord::Address,  PhoneRecord::Comments};
    // Many rows to one statement: the driver's cost per statement is larger than the engine's per row.
    const int batch = std::min(kRowsPerInsert, std::max(count, 1));
    QSqlQuery insert(db);
    if (!insert.prepare(insertSql(batch))) throw failure(insert.lastError());
    QByteArray slice;
    int sliceFirst = 1;
    for (int first = 1; first <= count; first += batch) {
        const int rows = std::min(batch, count - first + 1);
        if (rows < batch && !insert.prepare(insertSql(rows))) throw failure(insert.lastError());
        if (first == 1 || first - sliceFirst >= kRecordsPerRead) {
            sliceFirst = first;
            const int n = std::min(kRecordsPerRead, count - first + 1);
            slice = read(first, n);
            if (slice.size() < static_cast<qsizetype>(n) * PhoneRecord::kLength)
                throw VbError(err::PathFileAccess,
                              QStringLiteral("The book is shorter than its record count"));
        }
        for (int k = 0; k < rows; ++k) {
            const int i = first + k;
            if (progress) progress(i);
            const qsizetype at = static_cast<qsizetype>(i - sliceFirst) * PhoneRecord::kLength;
            const PhoneRecord r = PhoneRecord::fromBytes(slice.constData() + at, PhoneRecord::kLength);
            for (int f = 0; f < 7; ++f)
                insert.bindValue(k * 7 + f, r.raw(fields[static_cast<std::size_t>(f)]));
        }
        if (!insert.exec()) throw failure(insert.lastError());
    }
    insert.finish();
    exec(q, QStringLiteral("COMMIT"));
}

} // namespace

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString columnName(const QString& label) {
    return QStringLiteral("> ") + label;
}

int duplicateColumn(const std::array<QString, 7>& labels) {
    // The engine folds ASCII letters only when it compares column names.
    const auto folded = [](const QString& s) {
        QString out = s;
        for (QChar& ch : out)
            if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) ch = QChar(ch.unicode() + 32);
        return out;
    };
    for (std::size_t i = 1; i < labels.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (folded(labels[i]) == folded(labels[j])) return static_cast<int>(i);
    return -1;
}

QString createTableSql(const std::array<QString, 7>& labels) {
    QStringList columns;
    for (std::size_t i = 0; i < labels.size(); ++i)
        columns << quoteIdentifier(columnName(labels[i])) +
                       QStringLiteral(" VARCHAR(%1)").arg(kColumnSizes[i]);
    return QStringLiteral("CREATE TABLE ") + quoteIdentifier(kTable) + QStringLiteral(" (") +
           columns.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString insertSql(int rows) {
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << QStringLiteral("(?, ?, ?, ?, ?, ?, ?)");
    return QStringLiteral("INSERT INTO ") + quoteIdentifier(kTable) + QStringLiteral(" VALUES ") +
           values.join(QStringLiteral(", "));
}

void build(const QString& target, const std::array<QString, 7>& labels, const QByteArray& book, int count,
           const Progress& progress) {
    if (book.size() < static_cast<qsizetype>(count) * PhoneRecord::kLength)
        throw VbError(err::PathFileAccess, QStringLiteral("The book is shorter than its record count"));
    const auto read = [&](int first, int n) {
        return QByteArray::fromRawData(book.constData() +
                                           static_cast<qsizetype>(first - 1) * PhoneRecord::kLength,
                                       static_cast<qsizetype>(n) * PhoneRecord::kLength);
    };
    buildBySlices(target, labels, read, count, progress);
}

void buildBySlices(const QString& target, const std::array<QString, 7>& labels, const ReadRecords& read,
                   int count, const Progress& progress) {
    // An empty file under a fresh name beside the target: the engine takes it as a new database.
    files::writeThrough(target, [&](const QString& staged) { fill(staged, labels, read, count, progress); });
}

void readColumns(QSqlDatabase& db, const std::vector<QString>& columns,
                 const std::function<void(std::vector<QString>&)>& row) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM ") + quoteIdentifier(kTable))) throw failure(q.lastError());
    std::vector<int> at;
    const QSqlRecord header = q.record();
    for (const QString& name : columns)
        at.push_back(header.indexOf(name));
    std::vector<QString> values(columns.size());
    while (q.next()) {
        for (std::size_t i = 0; i < at.size(); ++i)
            values[i] = at[i] >= 0 ? q.value(at[i]).toString() : QString();
        row(values);
    }
    if (q.lastError().isValid()) throw failure(q.lastError());
}

} // namespace pb::dbfile
