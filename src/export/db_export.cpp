// The copy of the book into a database file, its export to a place the user
// chooses, and the report on it.
#include "builders/db_file.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "data/working_files.h"
#include "export/book_exporter.h"
#include "export/data_report.h"
#include "platform/prompts.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/frm_save.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/window_roles.h"

#include <QProgressBar>
#include <cmath>

namespace pb {

namespace {

const QString kProgressLine =
    QStringLiteral("Transforming Phonebook Database To A Database File (.sqlite). Please Wait . . .");

QString workingFile() {
    return AppPath() + QLatin1String(working::kDatabaseFile);
}

// What the last build left: a whole file, or nothing to move or show.
bool lastBuildWhole = false;

BookExporter exporter;
[[maybe_unused]] const bool offered = BookExports::offer(exporter);

// The copy is of the book the phone book window shows.
[[maybe_unused]] const bool copyJob = frmSave::registerJob(frmSave::AccessCopy, [] {
    lastBuildWhole = loadedWindowAs<PhoneBookWindow>(QStringLiteral("Data")) && exporter.buildDatabaseFile();
});

bool buildInProgressWindow() {
    lastBuildWhole = false;
    frmSave::start(frmSave::AccessCopy, kProgressLine);
    return lastBuildWhole;
}

void tellDuplicateColumn(const QString& label) {
    MsgBox(
        QStringLiteral("The database file was not made: two fields have the caption \"") + label +
            QStringLiteral("\"\r\n(letters compared without regard to case), and the columns of one table\r\n"
                           "need names of their own. Please give each field a caption of its own."),
        mb::OKOnly | mb::Exclamation, QStringLiteral("Database File"));
}

} // namespace

bool BookExporter::buildDatabaseFile() {
    ModulePhoneBook& m = pbm();
    const int count = m.RecordCount;
    // Nothing goes past a failed step: a file missing rows is never taken for the book.
    Steps step(OnError::StandardNoIgnore);
    if (const int dup = dbfile::duplicateColumn(m.Label); dup >= 0) {
        tellDuplicateColumn(m.Label[static_cast<std::size_t>(dup)]);
        return false;
    }
    QProgressBar* bar = Forms::get<frmSave>()->ProgBar;
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    bar->setRange(1, std::max(1, count));
    const auto progress = [&](int i) {
        const auto percent = static_cast<long long>(std::nearbyint(static_cast<double>(i) / count * 100.0));
        const bool last = i == count;
        if (last || i % 64 == 1) bar->setValue(i);
        frame->setProgressCaption(QStringLiteral("Transforming Record") + convert::signPlace(i) +
                                      QStringLiteral(".   Completed: ") + convert::signPlace(percent),
                                  last);
    };
    const auto read = [&](int first, int n) { return m.database().readRange(first, n); };
    const bool whole = step([&] { dbfile::buildBySlices(workingFile(), m.Label, read, count, progress); });
    Steps(OnError::Ignore)([&] { m.readRecord(m.current); });
    return whole;
}

void BookExporter::saveDatabaseFile(CommonDialog& d) {
    Steps step(OnError::StandardCancelRule);
    bool built = false;
    if (!step([&] { built = buildInProgressWindow(); }) || !built) return;
    QString target;
    const bool chosen = step([&] {
        do {
            d.FilterIndex = 1;
            d.CancelError = true;
            d.ShowSaveAs(QStringLiteral("Save As"), QStringLiteral("sqlite"),
                         QStringLiteral("SQLite database (.sqlite) |*.sqlite; | All files | *.*;"));
            target = d.FileName;
        } while (refusedTarget(target, d.DialogTitle));
    });
    if (!chosen) return;
    // The user has agreed to replace what is there: the copy takes its place whole,
    // also on another file system, and only then is the working file removed.
    // A move that failed leaves the built file where it was, also when the user goes on past it.
    bool moved = false;
    step([&] {
        files::copyFile(workingFile(), target);
        moved = true;
    });
    if (moved) step([] { files::removeFile(workingFile()); });
    d.FileName.clear();
}

void BookExporter::showReport() {
    Steps step(OnError::Standard);
    // An open connection goes on reading the file it opened, not the one built next.
    step([] { report::closeConnection(); });
    bool built = false;
    if (!step([&] { built = buildInProgressWindow(); }) || !built) return;
    if (!step([] {
            if (!report::connectionOpen()) report::openConnection(workingFile());
        }))
        return;
    step([] {
        DataReport* r = Forms::get<DataReport>();
        r->Refresh();
        Forms::show(r);
        r->raise();
        r->activateWindow();
    });
}

void BookExporter::closeReport() {
    report::closeConnection();
}

} // namespace pb
