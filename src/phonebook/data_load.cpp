// Loading and unloading the phone book window.
#include "data/book_files.h"
#include "data/database.h"
#include "data/database_settings.h"
#include "data/file_copy.h"
#include "data/file_sets.h"
#include "data/module_phonebook.h"
#include "data/working_files.h"
#include "phonebook/data.h"
#include "phonebook/frm_options.h"
#include "phonebook/frm_print.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "platform/units.h"
#include "platform/vb_convert.h"
#include "workspace/book_exports.h"
#include "workspace/error_steps.h"
#include "workspace/frm_save.h"
#include "workspace/frm_splash.h"
#include "workspace/module_services.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolBar>

namespace pb {

namespace {

QString setting(const QString& key, const QString& def) {
    return SettingsStore::GetSetting(kAppName, kSection, key, def);
}
void save(const QString& key, const QString& value) {
    SettingsStore::SaveSetting(kAppName, kSection, key, value);
}

const QString kDefaultDatabase = QStringLiteral("Dorvane2DataBase.q7B");

// What a killed run left half written is finished or cleared away before the book is read:
// beside the book only once this copy holds it (holdBook throws when another copy does).
void finishKilledWrites() {
    Steps step(OnError::Ignore);
    step([] {
        files::setLedgerFolder(AppPath());
        files::finishUnfinishedWrites();
    });
    holdBook();
    step([] { recoverBook(bookPaths(pbm().names())); });
}

} // namespace

void Data::loadWindowSettings(bool* leave) {
    Steps step(OnError::Standard);
    // Each key is marked once its value has been taken: only those go back at the unload.
    const auto take = [&](const char* key, const std::function<void()>& apply) {
        return step([&] {
            apply();
            m_settingsRead.insert(QString::fromLatin1(key));
        });
    };
    const auto fontStep = [&](const char* key, const std::function<void()>& f) {
        return step([] { statusLine(QStringLiteral("Getting Font Settings From Registry")); }) &&
               take(key, f);
    };
    CommonDialog& font = dlgFileOpen[1];
    const bool done =
        step([] {
            statusLine(QStringLiteral("Loading Phonebook"), true);
            statusLine(QStringLiteral("Getting Top Position From Registry"));
        }) &&
        take("FormTop",
             [&] {
                 move(x(), twipsToPixels(
                               convert::toSingle(setting(QStringLiteral("FormTop"), QStringLiteral("75")))));
             }) &&
        step([] { statusLine(QStringLiteral("Getting Left Position From Registry")); }) &&
        take("FormLeft",
             [&] {
                 move(twipsToPixels(
                          convert::toSingle(setting(QStringLiteral("FormLeft"), QStringLiteral("75")))),
                      y());
             }) &&
        step([] { statusLine(QStringLiteral("Getting BackColor From Registry")); }) &&
        take("FormBackColor",
             [&] {
                 setBackColor(convert::toInt32(
                     setting(QStringLiteral("FormBackColor"), QString::number(kWindowBackground))));
             }) &&
        step([] { statusLine(QStringLiteral("Painting Controls")); }) && step([&] { labelBackcolor(); }) &&
        step([&] { dlgFileOpen[0].Color = m_backColor; }) &&
        take("TextFontName",
             [&] {
                 font.FontName = setting(QStringLiteral("TextFontName"), QStringLiteral("ms sans serif"));
             }) &&
        fontStep("TextFontSize",
                 [&] {
                     font.FontSize =
                         convert::toSingle(setting(QStringLiteral("TextFontSize"), QStringLiteral("12")));
                 }) &&
        fontStep("TextFontBold",
                 [&] {
                     font.FontBold =
                         convert::toBool(setting(QStringLiteral("TextFontBold"), QStringLiteral("False")));
                 }) &&
        fontStep("TextFontItalic",
                 [&] {
                     font.FontItalic =
                         convert::toBool(setting(QStringLiteral("TextFontItalic"), QStringLiteral("False")));
                 }) &&
        fontStep("TextFontColor",
                 [&] {
                     font.Color =
                         convert::toInt32(setting(QStringLiteral("TextFontColor"), QStringLiteral("0")));
                 }) &&
        fontStep("TextFontUnderline",
                 [&] {
                     font.FontUnderline = convert::toBool(
                         setting(QStringLiteral("TextFontUnderline"), QStringLiteral("False")));
                 }) &&
        fontStep("TextFontStrikeThru",
                 [&] {
                     font.FontStrikethru = convert::toBool(
                         setting(QStringLiteral("TextFontStrikeThru"), QStringLiteral("False")));
                 }) &&
        step([] { statusLine(QStringLiteral("Setting Phonebook Fonts")); }) &&
        take("textFont", [&] { textFont(); });
    *leave = !done;
}

bool Data::loadDatabase() {
    ModulePhoneBook& m = pbm();
    bool openedHere = false;
    // Another running copy holds the book: the window loads without it, touching none of its files.
    bool heldElsewhere = false;
    Steps step([&](const VbError& e) {
        if (e.number() == err::BookInUse) {
            tellBookInUse(e);
            heldElsewhere = true;
            return ErrorAnswer::Ignore;
        }
        const ErrorAnswer a = describedErrorDialog(e);
        // Ignore on a missing folder opens the book of the same name in the program folder.
        if (a == ErrorAnswer::Ignore && e.number() == err::PathNotFound && !m.DatabaseFile) {
            const QString here = AppPath() + m.DataBaseName;
            try {
                m.BookHold = std::make_unique<BookLock>(here);
                m.DatabaseFile = std::make_unique<RecordFile>(here, PhoneRecord::kLength);
                openedHere = true;
            } catch (const VbError& failed) {
                if (failed.number() == err::BookInUse) {
                    tellBookInUse(failed);
                    heldElsewhere = true;
                }
            }
        }
        return a;
    });
    CountResult counted;
    const bool done = step([] { statusLine(QStringLiteral("Opening Database")); }) && step([&] {
                          if (m.DataBasePath.isEmpty())
                              m.DataBasePath = setting(QStringLiteral("DataBasePath"), AppPath());
                          if (m.DataBaseName.isEmpty())
                              m.DataBaseName = setting(QStringLiteral("DataBaseName"), kDefaultDatabase);
                          if (m.DataBasePath.isEmpty()) m.DataBasePath = AppPath();
                          if (m.DataBaseName.isEmpty()) m.DataBaseName = kDefaultDatabase;
                      }) &&
                      step([&] {
                          finishKilledWrites();
                          if (!openedHere) openDatabase();
                      }) &&
                      step([&] {
                          if (heldElsewhere) return;
                          if (!m.AttachRef) m.AttachRef = std::make_unique<PbAttachRefClass>();
                          try {
                              m.AttachRef->openAttachFile(m.DataBasePath, m.names().base());
                          } catch (const VbError& e) {
                              // The index stays closed; attachments are then simply not found. Beside a
                              // book whose folder is missing this passes without a second box.
                              if (!openedHere)
                                  MsgBox(QStringLiteral("Dorvane: ") + e.description(),
                                         mb::OKOnly | mb::Critical, QString::number(e.number()));
                          }
                      }) &&
                      step([&] {
                          m.ClipFile = std::make_unique<RecordFile>(
                              AppPath() + QLatin1String(working::kClipboard), PhoneRecord::kLength);
                      }) &&
                      step([&] {
                          // After Ignore on a book that would not open there is nothing to count.
                          if (!m.DatabaseFile) {
                              m.RecordCount = 0;
                              return;
                          }
                          frmSplash* splash = Forms::get<frmSplash>();
                          const QString checking = QStringLiteral("Checking Record");
                          counted = countDatabase([&](int n) { splash->setNumberedStatusLine(checking, n); });
                          splash->showStatusNow(); // the last line is always painted
                      });
    if (done && counted.truncated) {
        MsgBox(
            QStringLiteral(
                "This phone book holds more records than Dorvane can show.\r\n"
                "Only the first %1 records are shown; the records after them are left in the file untouched.")
                .arg(kMaxRecords),
            mb::OKOnly | mb::Exclamation, QStringLiteral("Phonebook Too Large"));
    }
    // Only Abort leaves the load here; after Ignore it goes on without a book, so the
    // captions, the labels and the lock are still restored.
    return done;
}

void Data::Form_Load() {
    ModulePhoneBook& m = pbm();
    bool leave = false;
    loadWindowSettings(&leave);
    if (leave) return;
    if (!loadDatabase()) return;

    Steps step(OnError::Ignore);
    step([&] {
        m_bag = loadBagFile(m.names().settingsFile());
        ReadDataBaseSettings(m_bag);
        // A stale or foreign bag must not send a save past the blank slot.
        if (m.current < 1) m.current = 1;
        if (m.current > m.RecordCount + 1) m.current = m.RecordCount + 1;
        // The bag goes back at the unload only beside a book that is open.
        m_bagLoaded = m.DatabaseFile != nullptr;
    });
    step([&] {
        // A missing bag is left behind empty, as the first open creates it: the defaults need no bytes.
        if (m_bagLoaded && !QFileInfo::exists(m.names().settingsFile()))
            files::writeFile(m.names().settingsFile(), QByteArray());
    });
    step([&] { FillRecordList(); });
    step([&] { setCaption(); });
    step([] { statusLine(QStringLiteral("Displaying Record in Text Boxes")); });
    step([&] { m.readRecord(m.current); });
    step([&] { ToDisplay(); });
    step([] { statusLine(QStringLiteral("Getting Lock State From Registry")); });
    step([&] {
        setLocked(convert::toBool(setting(QStringLiteral("LockedDataBase"), QStringLiteral("False"))));
        m_settingsRead.insert(QStringLiteral("LockedDataBase"));
    });
    step([] { statusLine(QStringLiteral("Load Completed Successfully...")); });
    step([&] {
        OptFirst->setText(m.Label[0]);
        OptLast->setText(m.Label[1]);
        OptEmail->setText(m.Label[3]);
    });
    step([&] {
        action(QStringLiteral("mnuSortFirst"))->setText(QStringLiteral("Sort &by ") + m.Label[0]);
        action(QStringLiteral("mnuSortLast"))->setText(QStringLiteral("Sort b&y ") + m.Label[1]);
    });
    // The cool bar spans the window by its layout, so it keeps its margin at every size.
    step([&] { putLabels(); });
}

void Data::reload(const std::function<void()>& whileUnloaded) {
    // The book stays this copy's through the reload; a book opened meanwhile brings its own hold.
    std::unique_ptr<BookLock> kept = std::move(pbm().BookHold);
    Form_Unload();
    if (whileUnloaded) Steps(OnError::Ignore)(whileUnloaded);
    if (!pbm().BookHold) pbm().BookHold = std::move(kept);
    kept.reset();
    resetState();
    Form_Load();
    Forms::show(this);
}

void Data::resetState() {
    locked = false;
    LastFoundRecord = 0;
    RememberedRecord = 0;
    BackPic.clear();
    changedColorFlag = false;
    changedPicFlag = false;
    m_bag = PropertyBag();
    m_settingsRead.clear();
    dlgFileOpen = {};
    dlgFileOpen[1].FontName = QStringLiteral("MS Sans Serif");
    dlgFileOpen[1].FontSize = 12;
    lstRecordModel->setBook({}, 0, false);
    for (FieldBox* box : txtInfo)
        box->clear();
}

void Data::setLocked(bool value) {
    for (int i = 0; i < 7; ++i)
        txtInfo[i]->setReadOnly(value);
    locked = value;
    if (QAction* lock = toolbarButton(Toolbar1, 16)) lock->setChecked(value);
}

void Data::setCaption() {
    const ModulePhoneBook& m = pbm();
    setWindowTitle(QStringLiteral("Phonebook Record: ") + convert::signPlace(m.current) +
                   QStringLiteral(" of ") + convert::signPlace(m.RecordCount));
}

void Data::saveWindowSettings() {
    Steps step(OnError::Ignore);
    // A load cut short leaves the keys it never read as they are stored: the window's
    // stand-ins (no book, the toolkit's font, colour 0) must not replace them.
    const auto had = [&](const char* key) { return m_settingsRead.count(QString::fromLatin1(key)) != 0; };
    if (!isMinimized()) {
        if (had("FormTop"))
            step([&] { save(QStringLiteral("FormTop"), convert::fromNumber(pixelsToTwips(y()))); });
        if (had("FormLeft"))
            step([&] { save(QStringLiteral("FormLeft"), convert::fromNumber(pixelsToTwips(x()))); });
        step([&] { save(QStringLiteral("FormWidth"), convert::fromNumber(pixelsToTwips(width()))); });
        step([&] { save(QStringLiteral("FormHeight"), convert::fromNumber(pixelsToTwips(height()))); });
    }
    step([&] {
        save(QStringLiteral("FormWindowState"), isMaximized() ? QStringLiteral("2") : QStringLiteral("0"));
    });
    if (!pbm().DataBasePath.isEmpty())
        step([&] { save(QStringLiteral("DataBasePath"), pbm().DataBasePath); });
    if (!pbm().DataBaseName.isEmpty())
        step([&] { save(QStringLiteral("DataBaseName"), pbm().DataBaseName); });
    if (had("FormBackColor"))
        step([&] { save(QStringLiteral("FormBackColor"), QString::number(m_backColor)); });
    step([&] { save(QStringLiteral("FormBackPicture"), BackPic); });
    if (had("textFont")) {
        const QFont f = txtInfo[0]->font();
        step([&] { save(QStringLiteral("TextFontName"), f.family()); });
        step([&] { save(QStringLiteral("TextFontSize"), convert::fromNumber(f.pointSizeF())); });
        step([&] { save(QStringLiteral("TextFontBold"), convert::fromBool(f.bold())); });
        step([&] { save(QStringLiteral("TextFontItalic"), convert::fromBool(f.italic())); });
        step([&] {
            save(QStringLiteral("TextFontColor"),
                 QString::number(colourToStored(txtInfo[0]->palette().color(QPalette::Text))));
        });
        step([&] { save(QStringLiteral("TextFontUnderline"), convert::fromBool(f.underline())); });
        step([&] { save(QStringLiteral("TextFontStrikeThru"), convert::fromBool(f.strikeOut())); });
    }
    if (had("LockedDataBase"))
        step([&] { save(QStringLiteral("LockedDataBase"), convert::fromBool(locked)); });
    step([&] { save(QStringLiteral("KeepAutomaticLabel"), convert::fromBool(pbm().KeepAutomaticLabel)); });
}

void Data::Form_Unload() {
    ModulePhoneBook& m = pbm();
    Steps step(OnError::Ignore);
    // The window's keys and the print dialog's reach the settings file in one write: every
    // open of a book, every sort and every close passes here.
    SettingsStore::Batch settings;
    // With no book open there is no record to save and no bag to write: a bag of
    // defaults must never replace the book's real one.
    if (m_bagLoaded) step([&] { CheckChanges(); });
    saveWindowSettings();
    if (m_bagLoaded) {
        step([&] {
            PropertyBag bag;
            WriteDataBaseSettings(bag);
            saveBagFile(m.names().settingsFile(), bag);
        });
    }
    m_bagLoaded = false;
    step([&] { m.DatabaseFile.reset(); });
    step([&] { m.BookHold.reset(); });
    step([&] { m.ClipFile.reset(); });
    step([&] {
        if (m.AttachRef) m.AttachRef->close();
    });
    step([] { Forms::unload<frmPrint>(); });
    step([] { Forms::unload<frmOptions>(); });
    step([] { Forms::unload<frmSave>(); });
    step([] {
        if (BookExports* exports = BookExports::offered()) exports->closeReport();
    });
    step([&] { settings.finish(); });
}

} // namespace pb
