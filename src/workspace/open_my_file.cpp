// Opening any file in the program's own windows, chosen by its extension.
#include "data/book_files.h"
#include "data/module_phonebook.h"
#include "platform/native_name.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "workspace/error_steps.h"
#include "workspace/file_groups.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/viewer_pane.h"
#include "workspace/window_roles.h"

#include <QFileInfo>
#include <QProcess>

namespace pb {

namespace {

// Opening a film or a sound lets events through until the player answers; a player
// closed in the meantime ends the opening without a word.
void unlessClosedMeanwhile(const std::function<void()>& open) {
    try {
        open();
    } catch (const VbError& e) {
        if (e.number() != err::Cancelled) throw;
    }
}

bool contains(const QString& path, const char* ext) {
    return path.contains(QLatin1String(ext), Qt::CaseInsensitive);
}

} // namespace

// The groups are tested in this order; an extension text anywhere in the path is a hit.
FileGroup fileGroupOf(const QString& path) {
    const auto any = [&](std::initializer_list<const char*> exts) {
        for (const char* e : exts)
            if (contains(path, e)) return true;
        return false;
    };
    using enum FileGroup;
    if (any({".bmp", ".dib", ".jpg", ".jpeg", ".gfif", ".gif", ".wmf", ".emf", ".cur", ".ico"}))
        return Picture;
    // ".asf" anywhere in the path takes away every hit of ".as", even one elsewhere.
    if (any({".txt", ".rtf", ".css", ".wri", ".dic", ".exc", ".log"}) ||
        (contains(path, ".as") && !contains(path, ".asf")))
        return Text;
    if (any({".doc"})) return WordProcessor;
    if (any({".htm", ".shtm", ".shtml", ".html"})) return WebPage;
    if (any({".exe"})) return Program;
    if (any({".hlp"})) return OldHelp;
    if (any({".chm"})) return CompiledHelp;
    if (any({".avi", ".mpeg", ".mpg", ".mpe", ".mpa", ".m1v", ".mpv2", ".wmv", ".wmx", ".ivf", ".dat",
             ".asf"}))
        return Movie;
    if (any({".wav", ".mp3", ".mid", ".midi"})) return Sound;
    if (any({".q7b"})) return PhoneBook;
    return None;
}

void VantrelMDI::openOnDesktop(const QString& path) {
    if (!native::stat(path).exists) throw VbError(err::FileNotFound);
    if (!shell().openPath(path)) throw VbError(err::PathFileAccess);
}

void VantrelMDI::OpenMyFile(const QString& MDICDFileName, bool OpenInPhoneBook) {
    Q_UNUSED(OpenInPhoneBook); // every caller wants pictures in the viewer pane
    const QString& path = MDICDFileName;
    if (path.isEmpty()) return;
    Steps step(OnError::Standard);
    using enum FileGroup;
    switch (fileGroupOf(path)) {
    case Picture:
        step([&] { m_pane->showPicture(path); });
        break;
    case Sound:
        step([&] {
            // The player would stay silent on a missing file: say so, as for a picture.
            if (!native::stat(path).isFile) throw VbError(err::FileNotFound);
            unlessClosedMeanwhile([&] { m_pane->playSound(path); });
        });
        break;
    case WebPage:
        step([] { ShowForm(QStringLiteral("frmBrowser")); });
        step([&] { windowAs<PageViewer>(QStringLiteral("frmBrowser")).NavigateTo(path); });
        break;
    case Text:
        step([] { ShowForm(QStringLiteral("frmEditor")); });
        step([&] { windowAs<TextViewer>(QStringLiteral("frmEditor")).loadDocument(path); });
        step([] { windowAs<TextViewer>(QStringLiteral("frmEditor")).refreshDocument(); });
        break;
    case WordProcessor:
    case OldHelp:
        // The program has no word processor or old-style help viewer of its own: the desktop opens them.
        step([&] { openOnDesktop(path); });
        break;
    case Movie:
        step([] { ShowForm(QStringLiteral("frmMediaPlayer")); });
        step([&] {
            FilmPlayer& player = windowAs<FilmPlayer>(QStringLiteral("frmMediaPlayer"));
            unlessClosedMeanwhile([&] { player.playFile(path); });
        });
        break;
    case Program:
        step([&] {
            if (!QFileInfo::exists(path)) throw VbError(err::FileNotFound);
            if (!shell().startProgram(path, {})) throw VbError(err::PathFileAccess);
        });
        break;
    case CompiledHelp:
        step([&] { ShowHelpFile(path); });
        break;
    case PhoneBook:
        step([&] { openDatabase(path); });
        break;
    case None:
        MsgBox(QStringLiteral("Dorvane CANNOT OPEN THIS FILE!"), mb::OKOnly | mb::Exclamation,
               QStringLiteral("SORRY"));
        break;
    }
}

void VantrelMDI::refuseWorkingFile(const QString& path) {
    MsgBox(path +
               QStringLiteral("\r\nis one of Dorvane's working files and cannot be used as a phonebook.\r\n"
                              "Please choose another file."),
           mb::OKOnly | mb::Exclamation, QStringLiteral("Not a Phonebook"));
}

void VantrelMDI::openDatabase(const QString& file) {
    // The book's files are opened and created by name: such a name would give a new, empty book
    // under another name beside it.
    if (native::hasStandIns(file)) {
        MsgBox(native::shown(file) +
                   QStringLiteral(
                       "\r\nhas a name that is not UTF-8 text and cannot be opened as a phonebook.\r\n"
                       "Rename the file, then open it again."),
               mb::OKOnly | mb::Exclamation, QStringLiteral("Not a Phonebook"));
        return;
    }
    const QString path = QFileInfo(file).absoluteFilePath();
    // Opened as a book, it would be written over by the next copy, print or sort.
    if (isWorkingFile(path)) {
        refuseWorkingFile(path);
        return;
    }
    // A book another running copy holds is refused before the book open now is let go.
    std::unique_ptr<BookLock> hold;
    if (!pbm().BookHold || !pbm().BookHold->covers(path)) {
        hold = holdBookOrTell(path);
        if (!hold) return;
    }
    const auto setNames = [&] {
        const DatabaseNames names = namesForPath(path);
        pbm().DataBasePath = names.path;
        pbm().DataBaseName = names.name;
        if (hold) pbm().BookHold = std::move(hold);
    };
    if (auto* book = loadedWindowAs<PhoneBookWindow>(QStringLiteral("Data"))) {
        book->reload(setNames);
    } else {
        setNames();
        Forms::show(Forms::byName(QStringLiteral("Data")));
    }
}

} // namespace pb
