#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace pbtest {

// A database file as a reader outside the program sees it.
struct Table {
    QStringList tables;
    QStringList columns; // of PhoneTable, in order
    std::vector<QStringList> rows;
};

inline Table readTable(const QString& file) {
    Table t;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-reader"));
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            t.tables = db.tables();
            // The driver drops quotes from the names it reports; the table's own list keeps them.
            QSqlQuery info(QStringLiteral("PRAGMA table_info(PhoneTable)"), db);
            while (info.next())
                t.columns << info.value(1).toString();
            QSqlQuery q(QStringLiteral("SELECT * FROM PhoneTable ORDER BY rowid"), db);
            const QSqlRecord header = q.record();
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < header.count(); ++i)
                    row << q.value(i).toString();
                t.rows.push_back(row);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-reader"));
    return t;
}

} // namespace pbtest
