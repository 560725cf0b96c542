// Times the book operations on the largest book against plain work on the same files, each table's
// baseline timed by turns with its operations.
// Run: build/bench/dorvane_bench   (prints Markdown tables; --fresh: only those of a fresh process;
//      --settings: only File > Open with its settings-file syncs; --pictures: only the pictures)
#include "bench/text_bench.h"
#include "book_files.h"
#include "data/database.h"
#include "data/module_phonebook.h"
#include "data/record_moves.h"
#include "db_bench.h"
#include "fresh_bench.h"
#include "phonebook/data.h"
#include "picture_bench.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "settings_bench.h"
#include "silent_prompts.h"
#include "table.h"
#include "web_bench.h"
#include "window_bench.h"
#include "workspace/forms.h"
#include "workspace/frm_splash.h"
#include "workspace/module_sort.h"
#include "workspace/vantrel_mdi.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <malloc.h>

using namespace pb;
using namespace pbbench;

namespace {

// The book's own commands on the whole book, against a raw read of its file.
Table bookTable(const QString& path, qsizetype size, Data*& d) {
    ModulePhoneBook& m = pbm();
    const auto unloadData = [] {
        Forms::unload<Data>();
        Forms::flushDeleted();
    };
    QRadioButton* searchedBefore = nullptr;
    const Work rawRead{[&] {
        if (readFileBytes(path).size() != size) std::exit(2);
    }};
    const std::vector<Case> cases{
        {QStringLiteral("Open and count the book (every \"Checking Record\" line set)"),
         {[&] {
              openDatabase();
              frmSplash* splash = Forms::get<frmSplash>();
              const QString checking = QStringLiteral("Checking Record");
              countDatabase([&](int n) { splash->setNumberedStatusLine(checking, n); });
              splash->showStatusNow();
              if (m.RecordCount != kMaxRecords) std::exit(3);
          },
          unloadData, [&] { m.DatabaseFile.reset(); }},
         3},
        // The whole window: settings, open, count, bag, list, display.
        {QStringLiteral("Load the phone book window (whole load)"),
         {[&] { d = Forms::get<Data>(); }, unloadData}},
        {QStringLiteral("Refill the record list"), {[&] { d->FillRecordList(); }}, 5},
        {QStringLiteral("Save one record (with the list refill)"),
         {[&] { d->AddIt(); },
          [&] {
              m.current = 100;
              m.readRecord(100);
              d->ToDisplay();
              d->txtInfo[2]->setText(QStringLiteral("+1 555 0100"));
          }},
         5},
        // The search, from the find box as the user types: the book stays in memory from one
        // search to the next, until a save.
        {QStringLiteral("A search that misses, on the largest book"),
         {[&] {
              d->LastFoundRecord = 0;
              d->FindRecord(QStringLiteral("Nobody"));
          },
          [&] { d->FindRecord(QStringLiteral("Nobody")); }},
         1},
        {QStringLiteral("The first search after a save (the book is read again)"),
         {[&] {
              d->LastFoundRecord = 0;
              d->FindRecord(QStringLiteral("Nobody"));
          },
          [&] { d->AddIt(); }}},
        // Within one frame on a quiet machine, well under a raw read of the book.
        {QStringLiteral("One keystroke's search, hit on the last record, with ToDisplay"),
         {[&] { d->txtFind->setText(QStringLiteral("person32765")); },
          [&] {
              for (QRadioButton* b : {d->OptFirst, d->OptLast, d->OptEmail})
                  if (b->isChecked()) searchedBefore = b;
              d->OptEmail->setChecked(true);
              d->txtFind->setText(QStringLiteral("person3276"));
          },
          [&] {
              if (m.current != kMaxRecords) std::exit(5);
              d->txtFind->clear();
              if (searchedBefore) searchedBefore->setChecked(true);
          }},
         2},
    };
    // Each takes a few milliseconds: more turns keep a busy moment from deciding the best.
    return timeTable(rawRead, cases, 21);
}

// The least a durable rewrite of the book costs: a read, a write to a new file in the same folder,
// a sync, a rename and a sync of the folder.
const QString kSyncedCopyRow = QStringLiteral("A synced copy of the file (read, write to a new file in the "
                                              "same folder, sync, rename, sync the folder)");

Work syncedCopyOf(const QString& path) {
    return {[path] {
        const QString folder = QFileInfo(path).absolutePath();
        durableWrite(folder + QStringLiteral("/synced-copy.q7b"), readFileBytes(path));
        syncFolder(folder);
    }};
}

// Moving records writes the book anew beside the old one: against a synced copy.
Table moveTable(const QString& path, Data* d) {
    ModulePhoneBook& m = pbm();
    const QString plainCopy = QFileInfo(path).absolutePath() + QStringLiteral("/synced-copy.q7b");
    QByteArray before;
    const Work syncedCopy = syncedCopyOf(path);
    const std::vector<Case> cases{
        {QStringLiteral("Delete the first record (the book written anew and renamed)"),
         {[&] { deleteRecord(1, kMaxRecords); }, [&] { before = readFileBytes(path); }},
         1.5},
        {QStringLiteral("Insert at the beginning (the book written anew and renamed)"),
         {[&] { insertRecord(1, kMaxRecords - 1, before.left(PhoneRecord::kLength)); },
          {},
          [&] {
              if (readFileBytes(path) != before) std::exit(9);
          }},
         1.5},
        {QStringLiteral("Delete the first record (the command, with the list refill)"),
         {[&] {
              d->Delete();
              d->FillRecordList();
          },
          [&] {
              m.current = 1;
              m.readRecord(1);
              d->ToDisplay();
          }},
         2.5},
        {QStringLiteral("Insert at the beginning (the command, with the list refill)"),
         {[&] { d->mnuInsertBegining_Click(); },
          {},
          [&] {
              // What the book held, so nothing is left to ask.
              d->txtInfo[0]->setText(QStringLiteral("Name0"));
              d->AddIt();
              if (m.RecordCount != kMaxRecords) std::exit(4);
          }},
         2.5},
    };
    Table table = timeTable(syncedCopy, cases);
    QFile::remove(plainCopy);
    return table;
}

// The whole sorting job (read, order, progress figures, write beside, sync, rename over) on the book
// in several orders, against a synced copy of the file.
Table sortTable(const QString& path, const QByteArray& book) {
    const auto put = [&](const QByteArray& bytes) {
        writeBook(path, bytes);
        openDatabase();
        countDatabase();
    };
    put(book);
    SortByFirstName();
    const QByteArray sorted = readFileBytes(path);
    QByteArray reversed;
    for (int i = kMaxRecords - 1; i >= 0; --i)
        reversed.append(sorted.constData() + static_cast<qsizetype>(i) * PhoneRecord::kLength,
                        PhoneRecord::kLength);
    const QByteArray equal = makeBook(1).repeated(kMaxRecords);
    const auto sort = [&](const char* what, const QByteArray& bytes, void (*job)()) {
        return Case{QString::fromUtf8(what), {job, [&put, &bytes] { put(bytes); }}, 4};
    };
    Table table = timeTable(syncedCopyOf(path),
                            {
                                sort("Sort by last name, mixed order", book, SortByLastName),
                                sort("Sort by first name, mixed order", book, SortByFirstName),
                                sort("Sort by first name, already sorted", sorted, SortByFirstName),
                                sort("Sort by first name, reversed", reversed, SortByFirstName),
                                sort("Sort by first name, every record equal", equal, SortByFirstName),
                            });
    put(book);
    QFile::remove(QFileInfo(path).absolutePath() + QStringLiteral("/synced-copy.q7b"));
    return table;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const int child = runFreshChild(argc, argv); child >= 0) return child;
    if (const int child = runPictureChild(argc, argv); child >= 0) return child;
    // Freed memory stays in the process and large blocks come from its heap: otherwise whether an
    // operation meets fresh pages (a fault every 4 KB) depends on what ran before it, not on its work.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    SettingsStore::setFolder(dir.path() + QStringLiteral("/config"));
    SilentPrompts silent;
    setPrompts(&silent);

    const QString path = dir.path() + QStringLiteral("/Dorvane2DataBase.q7B");
    const QByteArray book = makeBook(kMaxRecords);
    writeBook(path, book);
    ModulePhoneBook& m = pbm();
    m.DataBasePath = dir.path() + QLatin1Char('/');
    m.DataBaseName = QStringLiteral("Dorvane2DataBase.q7B");
    if (argc > 1 && QByteArray(argv[1]) == "--settings") {
        Forms::get<VantrelMDI>();
        const SettingsBench settings = benchSettings(path, silent);
        Forms::unload<VantrelMDI>();
        Forms::flushDeleted();
        const bool ok = printSettingsBench(settings);
        setPrompts(nullptr);
        return ok ? 0 : 1;
    }
    // The processes of their own get a folder of their own, so nothing of theirs is left here.
    const QString freshFolder = dir.path() + QStringLiteral("/fresh");
    QDir().mkpath(freshFolder);
    writeBook(freshFolder + QStringLiteral("/Dorvane2DataBase.q7B"), book);
    if (argc > 1 && QByteArray(argv[1]) == "--pictures") {
        const PictureBench pictures = benchPictures(freshFolder, Forms::get<Data>());
        Forms::unload<Data>();
        Forms::flushDeleted();
        setPrompts(nullptr);
        return printPictureBench(pictures) ? 0 : 1;
    }
    const FreshBench fresh = freshBench(freshFolder);
    if (argc > 1 && QByteArray(argv[1]) == "--fresh") return printFreshBench(fresh) ? 0 : 1;

    Data* d = nullptr;
    const Table bookRows = bookTable(path, book.size(), d);
    const Table moveRows = moveTable(path, d);
    const PictureBench pictures = benchPictures(freshFolder, d);
    const WindowBench window = benchWindow(dir.path(), path, book.size(), d, silent);
    const DatabaseBench database = benchDatabaseFile(dir.path(), book, kMaxRecords, d);
    Forms::unload<Data>();
    Forms::flushDeleted();

    Forms::get<VantrelMDI>();
    const Table sortRows = sortTable(path, book);
    const WebBench web = benchWeb(dir.path() + QStringLiteral("/Web Book"));
    const SettingsBench settings = benchSettings(path, silent);
    Forms::unload<VantrelMDI>();
    Forms::flushDeleted();

    std::printf("Book: %d records, %.1f MB. Each table's baseline (its first row) is timed by turns with its "
                "operations (baseline, operation, baseline, ...), best of 7 of each unless the table says "
                "otherwise; the targets are ratios to it.\n\n",
                kMaxRecords, book.size() / 1e6);
    std::printf("The book's own commands, best of %d of each.\n\n", bookRows.rounds);
    bool ok = printTable(bookRows, QStringLiteral("Raw read of the file"), QStringLiteral("raw read"));
    std::printf("\nSorting the same book (the whole job).\n\n");
    ok = printTable(sortRows, kSyncedCopyRow, QStringLiteral("synced copy")) && ok;
    std::printf("\nMoving records on the same book.\n\n");
    ok = printTable(moveRows, kSyncedCopyRow, QStringLiteral("synced copy")) && ok;
    ok = printSettingsBench(settings) && ok;
    ok = printWindowBench(window) && ok;
    ok = printDatabaseBench(database) && ok;
    ok = printWebBench(web) && ok;
    writeBook(path, book);
    ok = bench::textRows(dir.path(), path, kMaxRecords) && ok;
    ok = printFreshBench(fresh) && ok;
    ok = printPictureBench(pictures) && ok;
    setPrompts(nullptr);
    return ok ? 0 : 1;
}
