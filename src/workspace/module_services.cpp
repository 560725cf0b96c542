#include "workspace/module_services.h"

#include "data/book_files.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "platform/app_path.h"
#include "platform/common_dialog.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "workspace/error_steps.h"
#include "workspace/forms.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/window_roles.h"

#include <QPrinter>
#include <functional>
#include <memory>
#include <utility>

namespace pb {

namespace {

std::unique_ptr<HelpClass>& errHelpSlot() {
    static std::unique_ptr<HelpClass> h;
    return h;
}
std::unique_ptr<HelpClass>& soundHelpSlot() {
    static std::unique_ptr<HelpClass> h;
    return h;
}

} // namespace

HelpClass& ErrHelp() {
    if (!errHelpSlot()) errHelpSlot() = std::make_unique<HelpClass>();
    return *errHelpSlot();
}
HelpClass& SoundHelp() {
    if (!soundHelpSlot()) soundHelpSlot() = std::make_unique<HelpClass>();
    return *soundHelpSlot();
}
void releaseErrHelp() {
    errHelpSlot().reset();
}
bool errHelpExists() {
    return errHelpSlot() != nullptr;
}

void playSound(int id) {
    SoundHelp().PlaySoundNumber(id, pbm().PlaySoundEffect);
}

bool refusedTarget(const QString& path, const QString& title, bool wholeFolder) {
    const DatabaseNames names = pbm().names();
    const BookPaths open = names.name.isEmpty() ? BookPaths{} : bookPaths(names);
    if (targetClash(path, open, wholeFolder) == Clash::None) return false;
    tellRefusedTarget(path, title);
    return true;
}

bool printsToRefusedFile(const QPrinter& printer, const QString& title) {
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty() &&
           refusedTarget(printer.outputFileName(), title);
}

bool askSaveTarget(CommonDialog& d, Steps& step, const QString& ext, const QString& filter,
                   const std::function<bool()>& refused) {
    // A cancel with the dialog's cancel error off raises nothing: it is still a cancel.
    const auto chosen = [&] {
        return step([&] { d.ShowSaveAs(QStringLiteral("Save As"), ext, filter); }) && d.Accepted &&
               !d.FileName.isEmpty();
    };
    const auto isRefused = [&] { return refused ? refused() : refusedTarget(d.FileName, d.DialogTitle); };
    bool named = chosen();
    while (named && isRefused())
        named = chosen();
    return named;
}

void tellRefusedTarget(const QString& path, const QString& title) {
    MsgBox(path + QStringLiteral("\r\nbelongs to the open phonebook or is one of Dorvane's working files.\r\n"
                                 "Please choose another name."),
           mb::OKOnly | mb::Exclamation, title);
}

void tellBookInUse(const VbError& e) {
    MsgBox(e.description(), mb::OKOnly | mb::Exclamation, QStringLiteral("Phonebook in Use"));
}

std::unique_ptr<BookLock> holdBookOrTell(const QString& databaseFile) {
    try {
        return std::make_unique<BookLock>(databaseFile);
    } catch (const VbError& e) {
        tellBookInUse(e);
        return nullptr;
    }
}

void ShowForm(const QString& FormName) {
    // The names it knows; other windows register for callers that reach them by role.
    static const QStringList known = {QStringLiteral("Data"),       QStringLiteral("frmBrowser"),
                                      QStringLiteral("frmDiaries"), QStringLiteral("frmHandler"),
                                      QStringLiteral("frmPrint"),   QStringLiteral("frmEditor"),
                                      QStringLiteral("frmOptions"), QStringLiteral("frmAlarm"),
                                      QStringLiteral("frmSeek"),    QStringLiteral("frmHelp")};
    Steps step(OnError::Ignore);
    step([] { playSound(sound::OpenWindow); });
    if (!known.contains(FormName)) return;
    Form* form = nullptr;
    step([&] { form = Forms::byName(FormName); });
    if (!form) return;
    step([&] { Forms::show(form); });
    step([&] { form->widget()->setFocus(); });
}

void ShowSurferAt(const QString& address) {
    ShowForm(QStringLiteral("frmBrowser"));
    windowAs<PageViewer>(QStringLiteral("frmBrowser")).NavigateTo(address);
}

QString SelectFileName() {
    QString result;
    Steps step(OnError::Ignore);
    CommonDialog* d = nullptr;
    step([&] { d = &Forms::get<VantrelMDI>()->MDICD; });
    if (!d) return result;
    d->DialogTitle = QStringLiteral("Select a file name");
    d->CancelError = true;
    d->FileName.clear();
    d->Filter = QStringLiteral(
        "All Files|*.q7b; *.bmp; *.dib; *.jpg; *.gfif; *.jpe; *.jpeg; *.gif; *.wmf; *.emf;*.cur; *.ico; "
        "*.txt; "
        "*.css; *.as; *.exc; *.dic; *.rtf; *.wri; *.htm; *.html; *.chm;*.doc; *.log;*.hlp; *.exe; *.mp3; "
        "*.wav; "
        "*.mid; *.midi; *.rmi;*.avi;*.mpeg; *.mpe; *.mpa; *.mpg; *.m1v; *mp2v; *.wmv; *.wmx; *.asf;*.cda; "
        "*.dat|Text "
        "Files| *.txt; *.css; *.as; *.exc; *.dic; *.rtf; *.wri;*.doc; *.log;|Web Files| *.htm; *.html; "
        "*.shtm; "
        "*.shtml;|Help Files|*.chm; *.hlp;|Picture Files|*.bmp; *.dib; *.jpg; *.gfif; *.jpe; *.jpeg; *.gif; "
        "*.wmf; "
        "*.emf; *.cur; *.ico;|Sound Files| *.mp3; *.wav; *.mid; *.midi;|Movie Files| *.rmi; *.avi; *.mpeg; "
        "*.mpe; "
        "*.mpa; *.mpg; *.m1v; *mp2v; *.wmv; *.wmx; *.asf;*.cda; *.dat|Executable Files|*.exe|Phonebook "
        "Database|*.q7b;");
    d->FilterIndex = 1;
    try {
        d->ShowOpen();
    } catch (const VbError& e) {
        if (e.number() == err::Cancelled) return {};
    } catch (...) {
    }
    return d->FileName;
}

QString AppPath() {
    return programFolder();
}

void ShowHelpFile(const QString& HelpFile) {
    HelpClass help;
    try {
        help.Show(HelpFile, QString());
    } catch (const VbError& e) {
        if (e.number() == err::HelpFailed)
            MsgBox(e.description(), mb::OKOnly | mb::Critical,
                   QStringLiteral("ERROR") + QString::number(e.number()) + QLatin1Char(' ') +
                       e.description());
    }
}

void ShowAbout() {
    Steps(OnError::Ignore)([] { Forms::show(Forms::byName(QStringLiteral("frmAbout"))); });
}

void OpenFolder(const QString& folder) {
    // Only a folder goes to the desktop: a file of that name would be started, not shown.
    if (!files::folderExists(folder)) {
        MsgBox(QStringLiteral("The folder\r\n") + folder + QStringLiteral("\r\ndoes not exist."),
               mb::OKOnly | mb::Exclamation, QStringLiteral("Folder Not Found"));
        return;
    }
    if (!shell().openPath(folder))
        MsgBox(QStringLiteral("The desktop could not show the folder\r\n") + folder +
                   QStringLiteral("\r\nNo file manager is set up to open folders here."),
               mb::OKOnly | mb::Exclamation, QStringLiteral("Cannot Open Folder"));
}

} // namespace pb
