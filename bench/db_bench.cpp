// The database file copy and the report on the largest book.
#include "db_bench.h"

#include "book_files.h"

#include "builders/db_file.h"
#include "data/module_phonebook.h"
#include "export/data_report.h"
#include "phonebook/data.h"
#include "platform/app_path.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <cstdio>

using namespace pb;
using namespace pbbench;

namespace {

std::vector<std::array<QString, 7>> rowsOf(const QByteArray& book, int count) {
    std::vector<std::array<QString, 7>> rows;
    constexpr std::array<PhoneRecord::Field, 7> fields = {
        PhoneRecord::FirstName, PhoneRecord::LastName, PhoneRecord::Phone,   PhoneRecord::EMail,
        PhoneRecord::Company,   PhoneRecord::Address,  PhoneRecord::Comments};
    for (int i = 0; i < count; ++i) {
        const PhoneRecord r = PhoneRecord::fromBytes(
            book.constData() + static_cast<qsizetype>(i) * PhoneRecord::kLength, PhoneRecord::kLength);
        std::array<QString, 7> row;
        for (std::size_t f = 0; f < 7; ++f)
            row[f] = r.raw(fields[f]);
        rows.push_back(row);
    }
    return rows;
}

QString csvField(const QString& s) {
    QString q = s;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The same rows through a prepared insert in one transaction, nothing else.
void insertBare(const QString& file, const std::array<QString, 7>& labels,
                const std::vector<std::array<QString, 7>>& rows) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        q.exec(dbfile::createTableSql(labels));
        q.exec(QStringLiteral("BEGIN"));
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO PhoneTable VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (const auto& row : rows) {
            for (int f = 0; f < 7; ++f)
                insert.bindValue(f, row[static_cast<std::size_t>(f)]);
            insert.exec();
        }
        insert.finish();
        q.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
}

} // namespace

DatabaseBench benchDatabaseFile(const QString& dir, const QByteArray& book, int count, Data* data) {
    const std::array<QString, 7> labels = kDefaultLabels;
    const auto rows = rowsOf(book, count);
    const QString bare = dir + QStringLiteral("/bare.sqlite");
    const auto removeBare = [&] { QFile::remove(bare); };
    const Work bareInsert{[&] { insertBare(bare, labels, rows); }, removeBare};

    std::vector<Case> cases;
    cases.push_back({QStringLiteral("Copy the book into the database file (progress figures, written beside, "
                                    "renamed over)"),
                     {[&] {
                         if (!data->MakeItProDB()) std::exit(20);
                     }},
                     2});
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    const QString csv = dir + QStringLiteral("/rows.csv");
    if (!shell.isEmpty()) {
        QByteArray text;
        for (const auto& row : rows) {
            QStringList fields;
            for (const QString& v : row)
                fields << csvField(v);
            text += fields.join(QLatin1Char(',')).toUtf8() + '\n';
        }
        pbbench::writeBook(csv, text);
        cases.push_back(
            {QStringLiteral("`sqlite3` shell importing the same rows from a CSV file"),
             {[&] {
                  if (QProcess::execute(
                          shell, {bare, dbfile::createTableSql(labels), QStringLiteral(".mode csv"),
                                  QStringLiteral(".import ") + csv + QStringLiteral(" PhoneTable")}) != 0)
                      std::exit(21);
              },
              removeBare}});
    }
    // The report: the build, the connection, every row read, the first page drawn; a few seconds at
    // most, within the time of ten bare inserts.
    cases.push_back({QStringLiteral("Open the report (build, connect, read every row, draw the first page)"),
                     {[&] {
                         data->mnuReport_Click();
                         DataReport* r = Forms::find<DataReport>();
                         if (!r || static_cast<int>(r->rows().size()) != count) std::exit(22);
                         r->repaint();
                     }},
                     10});
    // Every page of the report into a PDF file, as "Print to PDF" writes it.
    const int pdfPages = [&] {
        data->mnuReport_Click();
        return Forms::find<DataReport>()->pageCount();
    }();
    cases.push_back({QStringLiteral("Print the whole report to PDF (%1 pages)").arg(pdfPages),
                     {[&] { Forms::find<DataReport>()->printToPdf(dir + QStringLiteral("/report.pdf")); }}});
    DatabaseBench b{count, timeTable(bareInsert, cases, 5), !shell.isEmpty()};
    Forms::unload<DataReport>();
    report::closeConnection();
    return b;
}

bool printDatabaseBench(const DatabaseBench& b) {
    std::printf("\nThe database file of the same book (%d rows), best of %d of each.\n\n", b.rows,
                b.table.rounds);
    bool ok =
        printTable(b.table, QStringLiteral("A bare prepared insert of the same rows in one transaction"),
                   QStringLiteral("bare insert"));
    if (b.shell) {
        const double job = b.table.rows[0].ms;
        const double shell = b.table.rows[1].ms;
        std::printf("\nThe copy against the `sqlite3` shell's CSV import: %.2f× (target ≤ 2×).\n",
                    job / shell);
        ok = ok && job <= 2 * shell;
    }
    return ok;
}
