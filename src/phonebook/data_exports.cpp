// The phone book window's export commands: the book as text, as a database file, as web pages.
#include "data/file_copy.h"
#include "phonebook/data.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/text_job.h"
#include "workspace/window_roles.h"

namespace pb {

void Data::mnuSaveAs_Click() {
    if (!StartWriteText()) return;
    CommonDialog& d = dlgFileOpen[0];
    Steps step(OnError::StandardCancelRule);
    // A cancel with the dialog's cancel error off raises nothing: it still writes nothing.
    const auto chosen = [&] {
        return step([&] {
                   d.ShowSaveAs(QStringLiteral("Save As"), QStringLiteral("txt"),
                                QStringLiteral("Text |*.txt"));
               }) &&
               d.Accepted && !d.FileName.isEmpty();
    };
    bool named = chosen();
    while (named && refusedTarget(d.FileName, d.DialogTitle))
        named = chosen();
    if (named) step([&] { files::writeFile(d.FileName, TextBuffer()); });
    d.FileName.clear();
}

void Data::mnuFilePreview_Click() {
    ShowForm(QStringLiteral("frmEditor"));
    if (MakePrintFile())
        Steps(OnError::Ignore)([] { windowAs<TextViewer>(QStringLiteral("frmEditor")).refreshDocument(); });
}

} // namespace pb
