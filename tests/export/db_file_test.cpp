#include "builders/db_file.h"
#include "data/module_phonebook.h"

#include "error_of.h"
#include "file_size_limit.h"
#include "records.h"
#include "table_reader.h"
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;

namespace {

QString pad(const QString& s, int width) {
    return s.leftJustified(width, QLatin1Char(' '));
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(DbFileSql, CaptionsBecomeQuotedColumnsThatTheEngineCannotMistakeForSql) {
    QTemporaryDir dir;
    const std::array<QString, 7> odd = {QStringLiteral("x\" VARCHAR); DROP TABLE PhoneTable; --"),
                                        QStringLiteral("[Last]"),
                                        QStringLiteral("select"),
                                        QStringLiteral("`tick`"),
                                        QStringLiteral("'quote'"),
                                        QStringLiteral("Straße"),
                                        QStringLiteral("STRASSE")};
    const QString file = dir.filePath(QStringLiteral("odd.sqlite"));
    dbfile::build(file, odd, recordBytes({"Ann'; --", "Lee\""}), 1);
    const Table t = readTable(file);
    QStringList expected;
    for (const QString& l : odd)
        expected << QStringLiteral("> ") + l;
    EXPECT_EQ(t.columns, expected);
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0][0], pad(QStringLiteral("Ann'; --"), 20));
    EXPECT_EQ(t.rows[0][1], pad(QStringLiteral("Lee\""), 20));
}

TEST(DbFileSql, NamesTheEngineTakesForOneAreFoundBeforeTheBuild) {
    auto labels = kDefaultLabels;
    EXPECT_EQ(dbfile::duplicateColumn(labels), -1);
    labels[4] = QStringLiteral("phone"); // the engine folds ASCII case
    EXPECT_EQ(dbfile::duplicateColumn(labels), 4);
    labels = kDefaultLabels;
    labels[2] = labels[6] = QString(); // both emptied
    EXPECT_EQ(dbfile::duplicateColumn(labels), 6);
    // Letters beyond ASCII are not folded: the engine keeps these apart, and so must the check.
    labels = kDefaultLabels;
    labels[0] = QStringLiteral("Édith");
    labels[1] = QStringLiteral("édith");
    EXPECT_EQ(dbfile::duplicateColumn(labels), -1);

    // Had a duplicate got through, the engine refuses it and the target stays as it was.
    labels[3] = QStringLiteral("first NAME");
    labels[0] = QStringLiteral("First name");
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("b.sqlite"));
    writeFile(target, "old contents");
    EXPECT_NE(errorOf([&] { dbfile::build(target, labels, {}, 0); }), 0);
    EXPECT_EQ(readFile(target), QByteArray("old contents"));
    EXPECT_EQ(filesIn(dir.path()), QStringList{"b.sqlite"});
}

TEST(DbFileBuild, EveryRecordBecomesARowInFileOrderWithItsPaddedValuesNulsIncluded) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("book.sqlite"));
    const QString company = QStringLiteral("C").repeated(40);
    const QString address = QStringLiteral("Long Road 1, Town");
    QByteArray withNul = recordBytes({"Bob", "Ray"});
    withNul[25] = '\0';
    const QByteArray book =
        bookBytes({{"Ann", "Lee", "555", "ann@x.org", company, address, "pic.jpg", "note"}}) + withNul +
        nulRecord();
    std::vector<int> progress;
    dbfile::build(file, kDefaultLabels, book + recordBytes({"Not", "Counted"}), 3,
                  [&](int i) { progress.push_back(i); });
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));

    const Table t = readTable(file);
    EXPECT_EQ(t.tables, QStringList{"PhoneTable"});
    EXPECT_EQ(t.columns, (QStringList{"> First name", "> Last name", "> Phone", "> E-mail", "> Company",
                                      "> Address", "> Comments"}));
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0], (QStringList{pad("Ann", 20), pad("Lee", 20), pad("555", 27), pad("ann@x.org", 33),
                                      company, pad(address, 80), pad("note", 160)}));
    EXPECT_EQ(t.rows[1][0], pad("Bob", 20));
    EXPECT_EQ(t.rows[1][1], QStringLiteral("Ray  ") + QChar(0) + QString(14, QLatin1Char(' ')));
    EXPECT_EQ(t.rows[2][6], QString(160, QChar(0)));

    // Built again over it, the file holds the book once, never appended to.
    dbfile::build(file, kDefaultLabels, book, 2);
    EXPECT_EQ(readTable(file).rows.size(), 2u);
    dbfile::build(file, kDefaultLabels, {}, 0);
    EXPECT_EQ(readTable(file).columns.size(), 7);
    EXPECT_TRUE(readTable(file).rows.empty());
    EXPECT_EQ(filesIn(dir.path()), QStringList{"book.sqlite"});
}

TEST(DbFileBuild, ThePlainSqliteShellReadsTheFile) {
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) GTEST_SKIP() << "sqlite3 is not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("book.sqlite"));
    dbfile::build(file, kDefaultLabels, bookBytes({{"Ann", "Lee"}, {"Bob", "Ray"}}), 2);
    QProcess p;
    p.start(shell,
            {file, QStringLiteral(
                       "SELECT \"> Last name\" FROM PhoneTable ORDER BY rowid; PRAGMA integrity_check;")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              pad("Lee", 20) + QStringLiteral("\n") + pad("Ray", 20) + QStringLiteral("\nok\n"));
}

TEST(DbFileBuild, AFailedBuildLeavesTheOldFileAndNothingBeside) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("book.sqlite"));
    const QByteArray book = bookBytes(
        std::vector<Rec>(3000, Rec{"Name", "Family", "555 0100", "a@b.c", "Firm", "Street", "", "Words"}));
    dbfile::build(file, kDefaultLabels, book, 1);
    const QByteArray before = readFile(file);
    {
        FileSizeLimit limit(64 * 1024); // the full book needs more than a megabyte
        EXPECT_EQ(errorOf([&] { dbfile::build(file, kDefaultLabels, book, 3000); }), err::DeviceIO);
    }
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(filesIn(dir.path()), QStringList{"book.sqlite"});
    // A book shorter than its count is refused before anything is written.
    EXPECT_EQ(errorOf([&] { dbfile::build(file, kDefaultLabels, book.left(440), 2); }), err::PathFileAccess);
    EXPECT_EQ(readFile(file), before);
}
