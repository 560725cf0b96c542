// The text job of the progress window and the print file.
#include "workspace/text_job.h"

#include "builders/records_text.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "data/working_files.h"
#include "workspace/error_steps.h"
#include "workspace/frm_save.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/window_roles.h"

#include <QProgressBar>

namespace pb {

namespace {

// Whether the last build read the whole book.
bool& textBuilt() {
    static bool built = false;
    return built;
}

[[maybe_unused]] const bool textJob = frmSave::registerJob(frmSave::RecordsText, WriteRecordsText);

} // namespace

void WriteRecordsText() {
    ModulePhoneBook& m = pbm();
    TextBuffer().clear();
    textBuilt() = false;
    const int n = m.RecordCount;
    // The book is read once; a failed read ends the job, so no text stands for a book it is not.
    Steps step(OnError::StandardNoIgnore);
    QByteArray book;
    if (n > 0 && !step([&] { book = m.database().readRange(1, n); })) return;
    if (n > 0) {
        QProgressBar* bar = Forms::get<frmSave>()->ProgBar;
        VantrelMDI* frame = Forms::get<VantrelMDI>();
        bar->setRange(1, n);
        QString line;
        line.reserve(64);
        for (int i = 1; i <= n; ++i) {
            if (i == n || (i & 63) == 0) bar->setValue(i);
            writeTextProgressLine(line, i, n);
            frame->setProgressCaption(line, i == n);
        }
    }
    TextBuffer() = recordsText(book, n, m.Label);
    textBuilt() = true;
    // The shared record buffer holds the shown record again.
    Steps(OnError::Ignore)([&] { m.readRecord(m.current); });
}

bool StartWriteText() {
    textBuilt() = false;
    frmSave::start(frmSave::RecordsText, QStringLiteral("Writing Records to Text. Please Wait . . ."));
    return textBuilt();
}

QString printFilePath() {
    return AppPath() + QLatin1String(working::kPrintFile);
}

bool WritePrintFile() {
    if (!StartWriteText()) return false;
    return Steps(OnError::StandardNoIgnore)([] { files::writeFile(printFilePath(), TextBuffer()); });
}

QByteArray& TextBuffer() {
    static QByteArray buffer;
    return buffer;
}

bool MakePrintFile() {
    // An old print file must never be loaded (or printed) as if it were this book.
    return WritePrintFile() && Steps(OnError::StandardNoIgnore)([] {
               windowAs<TextViewer>(QStringLiteral("frmEditor")).loadCodePageDocument(printFilePath());
           });
}

} // namespace pb
