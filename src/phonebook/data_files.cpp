// The book as a whole: new, open, save as, back up, properties, close, and its folders.
#include "data/book_files.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/prompts.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QAction>
#include <QFileInfo>
#include <QLocale>

namespace pb {

namespace {

const QString kBackupFolder = QStringLiteral("Backup copy of Phonebook Database");

bool isCancelled(const VbError& e) {
    return ErrHelp().DescribeError(e.number()) == QLatin1String("Operation Cancelled");
}

// The book's extension goes on a name chosen without it; a book already there under
// that fuller name was not what the dialog asked about, so ask now. A No ends the command.
void confirmFullerName(const QString& chosen, const QString& book) {
    if (chosen == book || !QFileInfo::exists(book)) return;
    if (MsgBox(book + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
               mb::YesNo | mb::Exclamation, QStringLiteral("Replace Database")) != mb::Yes)
        throw VbError(err::Cancelled);
}

// Asks where a book is to be written; a cancel raises the cancel error.
BookPaths chooseBookFile(CommonDialog& d, const QString& title, const QString& filter) {
    d.FilterIndex = 1;
    d.CancelError = true;
    d.ShowSaveAs(title, QStringLiteral("q7b"), filter);
    const BookPaths chosen = bookPathsFor(d.FileName);
    confirmFullerName(d.FileName, chosen.database);
    return chosen;
}

} // namespace

void Data::mnuNewDataBase_Click() {
    Steps step(OnError::StandardCancelRule);
    VantrelMDI* frame = nullptr;
    BookPaths target;
    for (;;) {
        const bool chosen = step([&] {
            frame = Forms::get<VantrelMDI>();
            target = chooseBookFile(frame->MDICD, QStringLiteral("Create New Database As..."),
                                    QStringLiteral("Dorvane2DataBase |*.q7b"));
        });
        if (!chosen) return;
        // Emptying the open book, or removing its bag and index, would lose it.
        if (targetClash(target, bookPaths(pbm().names())) == Clash::None) break;
        tellRefusedTarget(target.database, QStringLiteral("Create New Database As..."));
    }
    {
        // Another running copy's book is never emptied; this copy holds it while it does, and lets
        // it go for the opening, which takes its own hold.
        const auto hold = holdBookOrTell(target.database);
        if (!hold || !step([&] { createEmptyBook(target); })) return;
    }
    step([&] { frame->OpenMyFile(target.database, false); });
}

void Data::mnuOpen_Click() {
    Steps(OnError::Ignore)([] { Forms::get<VantrelMDI>()->OpenMyFile(SelectFileName(), false); });
}

void Data::saveDataBaseAs() {
    for (;;) {
        bool again = false;
        Steps step([&](const VbError& e) {
            if (e.number() == err::FileAlreadyOpen) {
                MsgBox(e.description() + QStringLiteral("\r\nSorry, the database cannot be placed \r\n"
                                                        "in the same directory of the original one\r\n"
                                                        "Please select for it a different location"),
                       mb::OKOnly | mb::Critical,
                       QStringLiteral("ERROR") + QString::number(e.number()) + QLatin1Char(' ') +
                           e.description());
                again = true;
                return ErrorAnswer::Abort;
            }
            return isCancelled(e) ? ErrorAnswer::Abort : standardErrorDialog(e);
        });
        const BookPaths from = bookPaths(pbm().names());
        BookPaths to;
        const auto choose = [&] {
            to = chooseBookFile(dlgFileOpen[0], QStringLiteral("Save Database As"),
                                QStringLiteral("Phonebook Database |*.q7b"));
        };
        // No file of the copy may land on the open book's own files.
        const auto check = [&] {
            const Clash clash = targetClash(to, from);
            if (clash == Clash::OpenBook) throw VbError(err::FileAlreadyOpen);
            if (clash == Clash::WorkingFile) {
                tellRefusedTarget(to.database, QStringLiteral("Save Database As"));
                again = true;
                throw VbError(err::Cancelled);
            }
        };
        if (step(choose) && step(check)) {
            // Another running copy's book is never written over; this copy holds it while it does.
            if (const auto hold = holdBookOrTell(to.database)) step([&] { replaceBook(from, to); });
        }
        if (!again) return;
    }
}

void Data::mnuBackUp_Click() {
    const int answer =
        MsgBox(QStringLiteral("A copy of Phonebook Database will be created in application folder\r\n"
                              "If you need to create the backup in different location,\r\n"
                              "Do so from 'Options'"),
               mb::OKCancel | mb::Information, QStringLiteral("BackUp"));
    if (answer != mb::OK) return;
    const QString folder = AppPath() + kBackupFolder;
    const BookPaths from = bookPaths(pbm().names());
    const BookPaths to = bookPathsIn(folder, from);
    const Clash clash = targetClash(to, from);
    if (clash == Clash::WorkingFile) {
        tellRefusedTarget(to.database, QStringLiteral("BackUp"));
        return;
    }
    if (clash == Clash::OpenBook) {
        MsgBox(QStringLiteral("This database is the copy in the backup folder itself.\r\n"
                              "It cannot be backed up onto itself."),
               mb::OKOnly | mb::Exclamation, QStringLiteral("BackUp"));
        return;
    }
    Steps step([](const VbError& e) {
        return e.number() == err::FileExists ? ErrorAnswer::Ignore : standardErrorDialog(e);
    });
    // An earlier backup of this book is replaced as a whole, once every new copy is whole; a
    // backup another running copy has open is left alone.
    std::unique_ptr<BookLock> hold;
    if (step([&] { files::createFolder(folder); }) && (hold = holdBookOrTell(to.database)))
        step([&] { backUpBook(from, to); });
}

void Data::mnuProperties_Click() {
    Steps(OnError::LeaveSilently)([] {
        const ModulePhoneBook& m = pbm();
        QString name = m.DataBaseName;
        name.remove(QLatin1Char('/'));
        QString sorted = QStringLiteral("   _Not Sorted");
        const auto sortedBy = [&](const QString& label) -> QString {
            return QStringLiteral("   _Last sorted by ") + label + QStringLiteral(" on ") +
                   QLocale::system().toString(m.SortDate.date(), QLocale::ShortFormat);
        };
        if (m.SortedByFirstName)
            sorted = sortedBy(m.Label[0]);
        else if (m.SortedByLastName)
            sorted = sortedBy(m.Label[1]);
        const QStringList lines = {QStringLiteral("Phonebook Database"), QStringLiteral("   _Named ") + name,
                                   QStringLiteral("   _Located in ") + m.DataBasePath,
                                   QStringLiteral("   _Contains ") + convert::signPlace(m.RecordCount) +
                                       QStringLiteral(" records"),
                                   sorted};
        MsgBox(lines.join(QStringLiteral("\r\n")), mb::OKOnly | mb::Information,
               QStringLiteral("Properties"));
    });
}

void Data::mnuClose_Click() {
    // The registry runs the unload and deletes the window once this handler has returned.
    Forms::unload(this);
}

void Data::mnuView_Click() {
    Steps(OnError::Ignore)([&] {
        action(QStringLiteral("mnuDBAttacmentsFolder"))
            ->setEnabled(files::folderExists(pbm().names().attachmentsFolder()));
    });
}

void Data::mnuDBFolder_Click() {
    Steps(OnError::Ignore)([] { OpenFolder(pbm().DataBasePath); });
}

void Data::mnuDBAttacmentsFolder_Click() {
    Steps(OnError::Ignore)([] { OpenFolder(pbm().names().attachmentsFolder()); });
}

} // namespace pb
