// The phone book window's export commands: the book as text, as a database file, as web pages.
#include "data/file_copy.h"
#include "phonebook/data.h"
#include "workspace/book_exports.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/text_job.h"
#include "workspace/window_roles.h"

namespace pb {

void Data::mnuSaveAs_Click() {
    if (!StartWriteText()) return;
    CommonDialog& d = dlgFileOpen[0];
    Steps step(OnError::StandardCancelRule);
    if (askSaveTarget(d, step, QStringLiteral("txt"), QStringLiteral("Text |*.txt")))
        step([&] { files::writeFile(d.FileName, TextBuffer()); });
    d.FileName.clear();
}

void Data::mnuFilePreview_Click() {
    ShowForm(QStringLiteral("frmEditor"));
    if (MakePrintFile())
        Steps(OnError::Ignore)([] { windowAs<TextViewer>(QStringLiteral("frmEditor")).refreshDocument(); });
}

bool Data::MakeItProDB() {
    BookExports* exports = BookExports::offered();
    return exports && exports->buildDatabaseFile();
}

void Data::mnuTransform_Click() {
    if (BookExports* exports = BookExports::offered()) exports->saveDatabaseFile(dlgFileOpen[0]);
}

void Data::mnuReport_Click() {
    if (BookExports* exports = BookExports::offered()) exports->showReport();
}

void Data::mnuSaveAsHtml_Click() {
    if (BookExports* exports = BookExports::offered()) exports->saveWebPages(dlgFileOpen[0]);
}

void Data::mnuCustomBrowser_Click() {
    if (BookExports* exports = BookExports::offered()) exports->previewWebPages();
}

} // namespace pb
