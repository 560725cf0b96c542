// Times the book operations on the largest book against a raw read of its file.
// Run: build/bench/dorvane_bench   (prints Markdown tables; --fresh: only those of a fresh process)
#include "bench/text_bench.h"
#include "data/attach_ref.h"
#include "data/database.h"
#include "data/file_sets.h"
#include "data/module_phonebook.h"
#include "data/record_moves.h"
#include "db_bench.h"
#include "export/web_export.h"
#include "fresh_bench.h"
#include "phonebook/data.h"
#include "platform/app_path.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "platform/vb_convert.h"
#include "silent_prompts.h"
#include "workspace/forms.h"
#include "workspace/frm_save.h"
#include "workspace/frm_splash.h"
#include "workspace/module_sort.h"
#include "workspace/vantrel_mdi.h"

#include "timing.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace pb;
using pbbench::best;
using pbbench::SilentPrompts;

namespace {

QByteArray makeBook(int records) {
    QByteArray book;
    book.reserve(static_cast<qsizetype>(records) * PhoneRecord::kLength);
    for (int i = 0; i < records; ++i) {
        PhoneRecord r;
        r.set(PhoneRecord::FirstName, QStringLiteral("Name%1").arg(i % 9973));
        r.set(PhoneRecord::LastName, QStringLiteral("Family%1").arg((i * 7919) % 32749));
        r.set(PhoneRecord::Phone, QStringLiteral("+1 555 %1").arg(i, 7, 10, QLatin1Char('0')));
        r.set(PhoneRecord::EMail, QStringLiteral("person%1@example.org").arg(i));
        r.set(PhoneRecord::Company, QStringLiteral("Company %1").arg(i % 500));
        r.set(PhoneRecord::Address, QStringLiteral("%1 Long Street, Town").arg(i));
        r.set(PhoneRecord::PictureFile, QString());
        r.set(PhoneRecord::Comments, QStringLiteral("Comment for record %1").arg(i));
        book += r.toBytes();
    }
    return book;
}

QByteArray readFileBytes(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBook(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

using bench::Row;

// Prints one table of rows against a baseline; false when a row misses its target.
bool printRows(const std::vector<Row>& rows, double base, const char* against) {
    std::printf("| Operation | Time (ms) | Ratio to %s | Target |\n|---|---:|---:|---:|\n", against);
    bool ok = true;
    for (const Row& r : rows) {
        const double ratio = r.ms / base;
        const QString target = r.target > 0    ? QStringLiteral("≤ %1×").arg(r.target)
                               : r.limitMs > 0 ? QStringLiteral("≤ %1 ms").arg(r.limitMs)
                                               : QString();
        std::printf("| %s | %.2f | %.2f | %s |\n", qPrintable(r.what), r.ms, ratio, qPrintable(target));
        if (r.target > 0 && ratio > r.target) ok = false;
        if (r.limitMs > 0 && r.ms > r.limitMs) ok = false;
    }
    return ok;
}

// A thousand attachments of 4 to 64 KB beside the book, each in the index.
void makeAttachments(const QString& folder, ModulePhoneBook& m) {
    QDir().mkpath(folder);
    for (int i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("attachment%1.%2")
                                 .arg(i, 4, 10, QLatin1Char('0'))
                                 .arg(i % 3 == 0   ? QStringLiteral("wav")
                                      : i % 3 == 1 ? QStringLiteral("avi")
                                                   : QStringLiteral("doc"));
        writeBook(folder + QLatin1Char('/') + name,
                  QByteArray(4096 * (1 + i % 16), static_cast<char>('a' + i % 26)));
        m.AttachRef->AttachToRecord(1 + i * 32, name, 1 + i % 3);
    }
}

void removeFolder(const QString& path) {
    QDir(path).removeRecursively();
}

} // namespace

// Writes `bytes` as `path` the least a durable whole-file write costs: a new file beside it,
// synced, renamed over it.
void durableWrite(const QString& path, const QByteArray& bytes) {
    const QByteArray tmp = QFile::encodeName(path + QStringLiteral(".tmp"));
    const int out = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || ::write(out, bytes.constData(), bytes.size()) != bytes.size() || ::fdatasync(out) != 0)
        std::exit(8);
    ::close(out);
    if (::rename(tmp.constData(), QFile::encodeName(path).constData()) != 0) std::exit(8);
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0 || ::fsync(fd) != 0) std::exit(8);
    ::close(fd);
}

// The web export's job (the read, the six texts with every progress line) and the writing
// of its set of files, against writing the same six texts durably, each file on its own.
std::vector<Row> webRows(const QString& folder, double* wholeWriteMs) {
    QDir().mkpath(folder);
    WebFolder() = folder + QLatin1Char('/');
    Forms::get<frmSave>();
    BuildHtmlPages();
    if (WebPages()[web::Records].size() < 10'000'000) std::exit(8);
    const QString frameset = folder + QStringLiteral(".htm");
    // As the export writes them: the frameset, the folder's pages and the applet's files, one set.
    const auto writeSet = [&] {
        std::vector<files::NamedBytes> pages;
        for (int p = web::Title; p < web::PageCount; ++p)
            pages.push_back({web::kPageFiles[p], WebPages()[p]});
        files::replacePageSet(frameset, WebPages()[web::Frameset], folder, pages, appletFolder());
    };
    const auto writeSix = [&] {
        for (int p = web::Title; p < web::PageCount; ++p)
            durableWrite(folder + QLatin1Char('/') + web::kPageFiles[p], WebPages()[p]);
        durableWrite(frameset, WebPages()[web::Frameset]);
        syncFolder(folder);
        syncFolder(QFileInfo(folder).absolutePath());
    };
    *wholeWriteMs = best(writeSix);
    std::vector<Row> rows;
    rows.push_back({QStringLiteral("The same bytes written plainly (no temporary file, not synced)"),
                    best([&] {
                        for (int p = web::Frameset; p < web::PageCount; ++p) {
                            QFile out(folder + QStringLiteral("/plain%1.htm").arg(p));
                            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::exit(8);
                            out.write(WebPages()[p]);
                        }
                    }),
                    0});
    rows.push_back(
        {QStringLiteral("Build the six pages (every progress line set)"), best(BuildHtmlPages), 0});
    rows.push_back({QStringLiteral("Build and write the six pages (one set, with the applet's files)"),
                    best([&] {
                        BuildHtmlPages();
                        writeSet();
                    }),
                    3, 40});
    Forms::unload<frmSave>();
    Forms::flushDeleted();
    return rows;
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const int child = runFreshChild(argc, argv); child >= 0) return child;
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    SettingsStore::setFolder(dir.path() + QStringLiteral("/config"));
    SilentPrompts silent;
    setPrompts(&silent);

    const QString path = dir.path() + QStringLiteral("/Dorvane2DataBase.q7B");
    const QByteArray book = makeBook(kMaxRecords);
    writeBook(path, book);
    // The processes of their own get a folder of their own, so nothing of theirs is left here.
    const QString freshFolder = dir.path() + QStringLiteral("/fresh");
    QDir().mkpath(freshFolder);
    writeBook(freshFolder + QStringLiteral("/Dorvane2DataBase.q7B"), book);
    const FreshBench fresh = freshBench(freshFolder);
    if (argc > 1 && QByteArray(argv[1]) == "--fresh") return printFreshBench(fresh) ? 0 : 1;

    const double raw = best([&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray all = f.readAll();
        if (all.size() != book.size()) std::exit(2);
    });

    std::vector<Row> rows;
    ModulePhoneBook& m = pbm();
    m.DataBasePath = dir.path() + QLatin1Char('/');
    m.DataBaseName = QStringLiteral("Dorvane2DataBase.q7B");
    rows.push_back({QStringLiteral("Open and count the book (every \"Checking Record\" line set)"), best([&] {
                        openDatabase();
                        frmSplash* splash = Forms::get<frmSplash>();
                        const QString checking = QStringLiteral("Checking Record");
                        countDatabase([&](int n) { splash->setNumberedStatusLine(checking, n); });
                        splash->showStatusNow();
                        if (m.RecordCount != kMaxRecords) std::exit(3);
                    }),
                    3});
    m.DatabaseFile.reset();

    // The whole window: settings, open, count, bag, list, display.
    rows.push_back({QStringLiteral("Load the phone book window (whole load)"),
                    best([&] { Forms::get<Data>(); },
                         [&] {
                             Forms::unload<Data>();
                             Forms::flushDeleted();
                         }),
                    0});

    Data* d = Forms::get<Data>();
    rows.push_back({QStringLiteral("Refill the record list"), best([&] { d->FillRecordList(); }), 5});
    double deleteMs = 1e300;
    double insertMs = 1e300;
    for (int i = 0; i < 7; ++i) {
        m.current = 1;
        m.readRecord(1);
        d->ToDisplay();
        deleteMs = std::min(deleteMs, best(
                                          [&] {
                                              d->Delete();
                                              d->FillRecordList();
                                          },
                                          {}, 1));
        insertMs = std::min(insertMs, best([&] { d->mnuInsertBegining_Click(); }, {}, 1));
        d->txtInfo[0]->setText(QStringLiteral("Name0")); // what the book held, so nothing is left to ask
        d->AddIt();
    }
    if (m.RecordCount != kMaxRecords) std::exit(4);

    // Moving records writes the book anew beside the old one: against the least a durable
    // copy of the file costs (read, write to a new file in the same folder, sync, rename,
    // sync the folder), timed by turns with the moves so that both meet the same state of the disk.
    const QString plainCopy = dir.path() + QStringLiteral("/synced-copy.q7b");
    const QString copyTmp = plainCopy + QStringLiteral(".tmp");
    const auto copyOnce = [&] {
        return best(
            [&] {
                QFile in(path);
                in.open(QIODevice::ReadOnly);
                const QByteArray all = in.readAll();
                const int out =
                    ::open(QFile::encodeName(copyTmp).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (out < 0 || ::write(out, all.constData(), all.size()) != all.size() ||
                    ::fdatasync(out) != 0)
                    std::exit(8);
                ::close(out);
                if (::rename(QFile::encodeName(copyTmp).constData(),
                             QFile::encodeName(plainCopy).constData()) != 0)
                    std::exit(8);
                const int folder = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY);
                if (folder < 0 || ::fsync(folder) != 0) std::exit(8);
                ::close(folder);
            },
            {}, 1);
    };
    std::vector<Row> moveRows;
    double copyMs = 1e300;
    double layerInsertMs = 1e300;
    double layerDeleteMs = 1e300;
    const QByteArray beforeMoves = readFileBytes(path);
    const QByteArray first = beforeMoves.left(PhoneRecord::kLength);
    for (int i = 0; i < 7; ++i) {
        copyMs = std::min(copyMs, copyOnce());
        layerDeleteMs = std::min(layerDeleteMs, best([&] { deleteRecord(1, kMaxRecords); }, {}, 1));
        copyMs = std::min(copyMs, copyOnce());
        layerInsertMs =
            std::min(layerInsertMs, best([&] { insertRecord(1, kMaxRecords - 1, first); }, {}, 1));
    }
    QFile::remove(plainCopy);
    if (readFileBytes(path) != beforeMoves) std::exit(9);
    moveRows.push_back(
        {QStringLiteral("Insert at the beginning (the book written anew and renamed)"), layerInsertMs, 1.5});
    moveRows.push_back(
        {QStringLiteral("Delete the first record (the book written anew and renamed)"), layerDeleteMs, 1.5});
    moveRows.push_back(
        {QStringLiteral("Insert at the beginning (the command, with the list refill)"), insertMs, 2.5});
    moveRows.push_back(
        {QStringLiteral("Delete the first record (the command, with the list refill)"), deleteMs, 2.5});
    rows.push_back({QStringLiteral("Save one record (with the list refill)"),
                    best([&] { d->AddIt(); },
                         [&] {
                             m.current = 100;
                             m.readRecord(100);
                             d->ToDisplay();
                             d->txtInfo[2]->setText(QStringLiteral("+1 555 0100"));
                         }),
                    5});

    // The search, from the find box as the user types.
    rows.push_back({QStringLiteral("A search that misses, on the largest book"), best([&] {
                        d->LastFoundRecord = 0;
                        d->FindRecord(QStringLiteral("Nobody"));
                    }),
                    1});
    rows.push_back({QStringLiteral("The first search after a save (the book is read again)"),
                    best(
                        [&] {
                            d->LastFoundRecord = 0;
                            d->FindRecord(QStringLiteral("Nobody"));
                        },
                        [&] { d->AddIt(); }),
                    0});
    d->OptEmail->setChecked(true);
    rows.push_back({QStringLiteral("One keystroke's search, hit on the last record, with ToDisplay"),
                    best([&] { d->txtFind->setText(QStringLiteral("person32765")); },
                         [&] { d->txtFind->setText(QStringLiteral("person3276")); }),
                    0, 16});
    if (m.current != kMaxRecords) std::exit(5);

    // The look commands: each within one frame, its repaint included.
    Forms::show(d);
    const auto painted = [&](const std::function<void()>& command) {
        return [&, command] {
            command();
            QCoreApplication::processEvents();
            d->repaint();
        };
    };
    std::vector<Row> lookRows;
    lookRows.push_back({QStringLiteral("A fixed back colour (window and seven boxes)"),
                        best(painted([&] { d->mnuRed_Click(); }), [&] { d->mnuWhite_Click(); }), 0, 16});
    lookRows.push_back(
        {QStringLiteral("The field font into every box"), best(painted([&] { d->textFont(); })), 0, 16});
    lookRows.push_back({QStringLiteral("Default font and colour, at once"),
                        best(painted([&] { d->mnuRFandC_Click(); })), 0, 16});
    lookRows.push_back(
        {QStringLiteral("Default height and width"), best(painted([&] { d->RestoreDefaultSize(); })), 0, 16});

    // Opening the File menu looks the shown record up in the attachment index: a full
    // index (an entry for every record), the last record shown.
    const QString indexPath = dir.path() + QStringLiteral("/Dorvane2DataBaseAttachmentsRef.att");
    QByteArray index;
    index.reserve(static_cast<qsizetype>(kMaxRecords) * PbAttachRefClass::kLength);
    for (int i = 1; i <= kMaxRecords; ++i) {
        QByteArray entry = QByteArray("OK ") + QByteArray::number(i).leftJustified(5, ' ') +
                           QByteArray("sound.wav").leftJustified(60, ' ') + QByteArray(120, ' ');
        index += entry;
    }
    writeBook(indexPath, index);
    const double rawIndex = best([&] {
        if (readFileBytes(indexPath).size() != index.size()) std::exit(8);
    });
    m.current = kMaxRecords;
    lookRows.push_back({QStringLiteral("Open the File menu on the last record (full index)"),
                        best([&] { d->mnuFile_Click(); }), 5});
    if (!d->action(QStringLiteral("mnuSoundAtt"))->isVisible()) std::exit(9);
    writeBook(indexPath, QByteArray());
    m.current = 1;

    // Whole-book copies, synced, against a recursive copy of the same files followed by one sync
    // of the whole file system: the least a copy that survives a power cut costs.
    const QString folder = dir.path() + QStringLiteral("/Dorvane2DataBaseAttachments");
    makeAttachments(folder, m);
    const QString copies = dir.path() + QStringLiteral("/copies");
    const QStringList sources = {path, dir.path() + QStringLiteral("/Dorvane2DataBase.set"),
                                 dir.path() + QStringLiteral("/Dorvane2DataBaseAttachmentsRef.att"), folder};
    const double cp = best(
        [&] {
            if (QProcess::execute(QStringLiteral("cp"),
                                  QStringList{QStringLiteral("-r")} + sources + QStringList{copies}) != 0 ||
                QProcess::execute(QStringLiteral("sync"), {QStringLiteral("-f"), copies}) != 0)
                std::exit(5);
        },
        [&] {
            removeFolder(copies);
            QDir().mkpath(copies);
        });
    std::vector<Row> copyRows;
    silent.fileName = copies + QStringLiteral("/Copy.q7b");
    copyRows.push_back({QStringLiteral("Save database as (book, bag, index, 1,000 attachments)"),
                        best([&] { d->saveDataBaseAs(); },
                             [&] {
                                 removeFolder(copies);
                                 QDir().mkpath(copies);
                             }),
                        2});
    if (QDir(copies + QStringLiteral("/CopyAttachments")).entryList(QDir::Files).size() != 1000) std::exit(6);
    silent.fileName.clear();
    const QString backup = dir.path() + QStringLiteral("/Backup copy of Phonebook Database");
    copyRows.push_back({QStringLiteral("Back up the database (into an empty backup folder)"),
                        best([&] { d->mnuBackUp_Click(); }, [&] { removeFolder(backup); }), 2});
    copyRows.push_back({QStringLiteral("Back up the database (over the earlier backup)"),
                        best([&] { d->mnuBackUp_Click(); }), 2});
    if (QFile(backup + QStringLiteral("/Dorvane2DataBase.q7B")).size() != book.size()) std::exit(7);

    const DatabaseBench database = benchDatabaseFile(dir.path(), book, kMaxRecords, d);

    std::vector<Row> sortRows;
    // Sorting: the whole job (read, order, progress figures, write beside, rename over).
    Forms::unload<Data>();
    Forms::flushDeleted();
    const double rawReadWrite = best([&] {
        QFile in(path);
        in.open(QIODevice::ReadOnly);
        const QByteArray all = in.readAll();
        QFile out(dir.path() + QStringLiteral("/copy.q7b"));
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(all);
    });
    Forms::get<VantrelMDI>();
    const auto sortRow = [&](const QString& what, const QByteArray& bytes, void (*job)()) {
        const double ms = best(job, [&] {
            writeBook(path, bytes);
            openDatabase();
            countDatabase();
        });
        sortRows.push_back({what, ms, 8});
    };
    sortRow(QStringLiteral("Sort by last name, mixed order"), book, SortByLastName);
    sortRow(QStringLiteral("Sort by first name, mixed order"), book, SortByFirstName);
    writeBook(path, book);
    openDatabase();
    countDatabase();
    SortByFirstName();
    const QByteArray sortedBook = readFileBytes(path);
    sortRow(QStringLiteral("Sort by first name, already sorted"), sortedBook, SortByFirstName);
    QByteArray reversedSorted;
    for (int i = kMaxRecords - 1; i >= 0; --i)
        reversedSorted.append(sortedBook.constData() + static_cast<qsizetype>(i) * 440, 440);
    sortRow(QStringLiteral("Sort by first name, reversed"), reversedSorted, SortByFirstName);
    sortRow(QStringLiteral("Sort by first name, every record equal"), makeBook(1).repeated(kMaxRecords),
            SortByFirstName);
    writeBook(path, book);
    openDatabase();
    countDatabase();
    double wholeWrite = 0;
    const std::vector<Row> pageRows = webRows(dir.path() + QStringLiteral("/Web Book"), &wholeWrite);
    Forms::unload<VantrelMDI>();
    Forms::flushDeleted();

    std::printf("Book: %d records, %.1f MB. Raw read of the file: %.2f ms (best of 7).\n\n", kMaxRecords,
                book.size() / 1e6, raw);
    bool ok = printRows(rows, raw, "raw read");
    std::printf(
        "\nSorting the same book (the whole job). Read plus write of the file: %.2f ms (best of 7).\n\n",
        rawReadWrite);
    ok = printRows(sortRows, rawReadWrite, "read + write") && ok;
    std::printf(
        "\nMoving records on the same book. A synced copy of the file (read, write to a new file in the "
        "same folder, sync, rename, sync the folder): %.2f ms (best of 14, taken by turns with the "
        "moves).\n\n",
        copyMs);
    ok = printRows(moveRows, copyMs, "synced copy") && ok;
    std::printf(
        "\nThe same book with its bag, an index of 1,000 entries and 1,000 attachments (%.1f MB in all). "
        "`cp -r` of these files, then `sync -f`: %.2f ms (best of 7).\n\n",
        (book.size() + 1000 * 4096 * 8.5) / 1e6, cp);
    ok = printRows(copyRows, cp, "`cp -r` + `sync -f`") && ok;
    std::printf("\nThe look commands and the File menu on the largest book. Raw read of a full attachment "
                "index (%d entries): %.2f ms (best of 7).\n\n",
                kMaxRecords, rawIndex);
    ok = printRows(lookRows, rawIndex, "index read") && ok;
    ok = printDatabaseBench(database) && ok;
    std::printf(
        "\nThe same book as web pages (%.1f MB in six files). Writing the same bytes, each "
        "file whole (a new file beside it, synced, renamed; the folders synced): %.2f ms (best of 7).\n\n",
        [] {
            qsizetype n = 0;
            for (const QByteArray& p : WebPages())
                n += p.size();
            return n / 1e6;
        }(),
        wholeWrite);
    ok = printRows(pageRows, wholeWrite, "durable writes") && ok;
    Forms::unload<Data>();
    Forms::flushDeleted();
    writeBook(path, book);
    ok = bench::textRows(
             dir.path(), path, kMaxRecords,
             [](const std::function<void()>& work, const std::function<void()>& prepare, int runs) {
                 return best(work, prepare, runs);
             },
             printRows) &&
         ok;
    ok = printFreshBench(fresh) && ok;
    setPrompts(nullptr);
    return ok ? 0 : 1;
}
