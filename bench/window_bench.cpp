// The phone book window's look commands, its File menu and its copies of the whole book.
#include "window_bench.h"

#include "book_files.h"
#include "data/attach_ref.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "silent_prompts.h"
#include "workspace/forms.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

using namespace pb;

namespace pbbench {

namespace {

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

// The look commands: each within one frame on a quiet machine, its repaint included.
Table lookTable(Data* d) {
    Forms::show(d);
    const auto paint = [d] {
        QCoreApplication::processEvents();
        d->repaint();
    };
    const auto painted = [paint](const std::function<void()>& command) {
        return [paint, command] {
            command();
            paint();
        };
    };
    return timeTable(
        {paint},
        {
            {QStringLiteral("A fixed back colour (window and seven boxes)"),
             {painted([d] { d->mnuRed_Click(); }),
              [d, paint] {
                  d->mnuWhite_Click();
                  paint();
              }},
             5},
            {QStringLiteral("The field font into every box"), {painted([d] { d->textFont(); })}, 5},
            {QStringLiteral("Default font and colour, at once"), {painted([d] { d->mnuRFandC_Click(); })}, 5},
            {QStringLiteral("Default height and width"), {painted([d] { d->RestoreDefaultSize(); })}, 5},
        });
}

// Opening the File menu looks the shown record up in the attachment index: a full index (an entry
// for every record), the last record shown.
Table fileMenuTable(const QString& folder, Data* d) {
    ModulePhoneBook& m = pbm();
    const QString indexPath = folder + QStringLiteral("/Dorvane2DataBaseAttachmentsRef.att");
    QByteArray index;
    index.reserve(static_cast<qsizetype>(kMaxRecords) * PbAttachRefClass::kLength);
    for (int i = 1; i <= kMaxRecords; ++i)
        index += QByteArray("OK ") + QByteArray::number(i).leftJustified(5, ' ') +
                 QByteArray("sound.wav").leftJustified(60, ' ') + QByteArray(120, ' ');
    writeBook(indexPath, index);
    m.current = kMaxRecords;
    Table table = timeTable({[&] {
                                if (readFileBytes(indexPath).size() != index.size()) std::exit(8);
                            }},
                            {{QStringLiteral("Open the File menu on the last record (full index)"),
                              {[d] { d->mnuFile_Click(); },
                               {},
                               [d] {
                                   if (!d->action(QStringLiteral("mnuSoundAtt"))->isVisible()) std::exit(9);
                               }},
                              5}});
    writeBook(indexPath, QByteArray());
    m.current = 1;
    return table;
}

// Whole-book copies, synced, against a recursive copy of the same files followed by a sync of each
// copied file and folder: the least a copy that survives a power cut costs.
Table copyTable(const QString& folder, const QString& path, qsizetype bookSize, Data* d,
                SilentPrompts& silent) {
    const QString attachments = folder + QStringLiteral("/Dorvane2DataBaseAttachments");
    makeAttachments(attachments, pbm());
    const QString copies = folder + QStringLiteral("/copies");
    const auto clearCopies = [copies] {
        removeFolder(copies);
        QDir().mkpath(copies);
    };
    const QStringList sources = {path, folder + QStringLiteral("/Dorvane2DataBase.set"),
                                 folder + QStringLiteral("/Dorvane2DataBaseAttachmentsRef.att"), attachments};
    QStringList copied = {copies};
    for (const QString& source : sources)
        copied << copies + QLatin1Char('/') + QFileInfo(source).fileName();
    const QString copiedAttachments = copies + QLatin1Char('/') + QFileInfo(attachments).fileName();
    for (const QString& name : QDir(attachments).entryList(QDir::Files))
        copied << copiedAttachments + QLatin1Char('/') + name;
    const QString backup = folder + QStringLiteral("/Backup copy of Phonebook Database");
    return timeTable(
        {[&] {
             if (QProcess::execute(QStringLiteral("cp"),
                                   QStringList{QStringLiteral("-r")} + sources + QStringList{copies}) != 0 ||
                 QProcess::execute(QStringLiteral("sync"), copied) != 0)
                 std::exit(5);
         },
         clearCopies},
        {
            {QStringLiteral("Save database as (book, bag, index, 1,000 attachments)"),
             {[d] { d->saveDataBaseAs(); },
              [&] {
                  clearCopies();
                  silent.fileName = copies + QStringLiteral("/Copy.q7b");
              },
              [&] {
                  silent.fileName.clear();
                  if (QDir(copies + QStringLiteral("/CopyAttachments")).entryList(QDir::Files).size() != 1000)
                      std::exit(6);
              }},
             2},
            {QStringLiteral("Back up the database (into an empty backup folder)"),
             {[d] { d->mnuBackUp_Click(); }, [&] { removeFolder(backup); }},
             2},
            {QStringLiteral("Back up the database (over the earlier backup)"),
             {[d] { d->mnuBackUp_Click(); },
              {},
              [&] {
                  if (QFile(backup + QStringLiteral("/Dorvane2DataBase.q7B")).size() != bookSize)
                      std::exit(7);
              }},
             2},
        });
}

} // namespace

WindowBench benchWindow(const QString& folder, const QString& path, qsizetype bookSize, Data* d,
                        SilentPrompts& silent) {
    WindowBench b;
    b.looks = lookTable(d);
    b.fileMenu = fileMenuTable(folder, d);
    b.copies = copyTable(folder, path, bookSize, d, silent);
    b.copiedMb = (bookSize + 1000 * 4096 * 8.5) / 1e6;
    return b;
}

bool printWindowBench(const WindowBench& b) {
    std::printf("\nThe same book with its bag, an index of 1,000 entries and 1,000 attachments (%.1f MB in "
                "all).\n\n",
                b.copiedMb);
    bool ok = printTable(b.copies,
                         QStringLiteral("`cp -r` of these files, then `sync` of each copied file and folder"),
                         QStringLiteral("`cp -r` + `sync`"));
    std::printf("\nThe look commands on the largest book, each with its repaint.\n\n");
    ok =
        printTable(b.looks, QStringLiteral("A plain repaint of the window"), QStringLiteral("repaint")) && ok;
    std::printf("\nThe File menu on the largest book, with a full attachment index (%d entries).\n\n",
                kMaxRecords);
    ok = printTable(b.fileMenu, QStringLiteral("Raw read of the index"), QStringLiteral("index read")) && ok;
    return ok;
}

} // namespace pbbench
