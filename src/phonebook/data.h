#pragma once

#include "data/prefix_search.h"
#include "data/property_bag.h"
#include "phonebook/field_box.h"
#include "phonebook/mail_box.h"
#include "phonebook/record_list_model.h"
#include "platform/common_dialog.h"
#include "workspace/forms.h"
#include "workspace/window_roles.h"

#include <QMdiSubWindow>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

class QLabel;
class QListView;
class QMenu;
class QMenuBar;
class QRadioButton;
class QToolBar;
class QToolButton;

namespace pb {

// The phone book window: one record at a time, the record list, the find box
// and the record-number box.
class Data : public QMdiSubWindow, public Form, public PhoneBookWindow {
    Q_OBJECT
public:
    Data();
    ~Data() override;
    QWidget* widget() override { return this; }
    bool isMdiChild() const override { return true; }
    QMenuBar* childMenus() const override { return menuBar; }

    // Load and unload.
    void Form_Load() override;
    void Form_Unload() override;
    // Unloads and loads the window again in place (another book, a sorted book):
    // a handler of this window may still be on the stack. `whileUnloaded` runs between.
    void reload(const std::function<void()>& whileUnloaded = {}) override;

    // Showing and leaving records.
    void ToDisplay();
    void FieldsToRecord();
    // False when the user chose to save but the record could not be saved: stay on it.
    bool CheckChanges();
    void FillRecordList();
    void MovePrevious();
    void MoveLast();
    void MoveFirst();
    void MoveNext();
    void Form_KeyDown(int KeyCode, int Shift);
    void mnuRNext_Click() { MoveNext(); }
    void mnuRPrevious_Click() { MovePrevious(); }
    void mnuRBegining_Click() { MoveFirst(); }
    void mnuREnd_Click() { MoveLast(); }
    void lstRecord_Click();
    void txtInfo_GotFocus(int Index);
    void mnuFile_Click();

    // Record edits.
    // False when nothing was stored (an empty first name).
    bool AddIt();
    void InsertAfter(const QString& first, const QString& last);
    void InsertBefore(const QString& first, const QString& last);
    void InsertAtBeginning();
    // False when it did not get to the blank slot (locked, full, or a refused save).
    bool InsertAtEnd(const QString& first, const QString& last);
    void InsertAtSortedPosition(const QString& first, const QString& last);
    void Delete();
    void mnuSave_Click() { AddIt(); }
    void mnuInsertAfter_Click();
    void mnuInsertBefore_Click();
    void mnuInsertBegining_Click();
    void mnuInsertEnd_Click();
    void mnuSortedPosition_Click();
    void mnuDelete_Click();
    void mnuClear_Click();
    void mnuSortFirst_Click();
    void mnuSortLast_Click();

    // Finding records and the record-number box.
    void FindRecord(const QString& text);
    void txtFind_Change();
    void txtFind_GotFocus();
    void OptFirst_Click() { searchOption_Click(); }
    void OptLast_Click() { searchOption_Click(); }
    void OptEmail_Click() { searchOption_Click(); }
    void mnuFind_Click();
    void mnuFindNext_Click();
    void txtRecord_GotFocus();
    void txtRecord_Click();
    void txtRecord_KeyUp(int KeyCode, int Shift);

    // The record clipboard.
    void mnuCopy_Click();
    void mnuCut_Click();
    void mnuPaste_Click();

    // Database files.
    void mnuNewDataBase_Click();
    void mnuOpen_Click();
    void mnuSaveDataBaseAs_Click() { saveDataBaseAs(); }
    // The book as text: exported to a chosen file, or shown in the text editor.
    void mnuSaveAs_Click();
    void mnuFilePreview_Click();
    void saveDataBaseAs();
    void mnuBackUp_Click();
    void mnuProperties_Click();
    void mnuClose_Click();
    void mnuView_Click();
    void mnuDBFolder_Click();
    void mnuDBAttacmentsFolder_Click();

    // The database file copy and the report on it, carried out by the export.
    // False when the file was not built whole.
    bool MakeItProDB();
    void mnuTransform_Click();
    void mnuReport_Click();
    // Web pages of the book: an export to a chosen place, and a preview in the surfer.
    void mnuSaveAsHtml_Click();
    void mnuCustomBrowser_Click();

    // Mail and print.
    // The shown record as eight lines: its number, then each caption with its box's text as it stands.
    QString RecordSummaryText() const;
    void mnuMailTo_Click();
    void mnuInfoAbout_Click();
    void mnuSendAllRecords_Click();
    // Hands one message to the user's mail program; a failure asks Abort, Retry or Ignore.
    void SendMapiMail(const QString& address, const QString& displayName, const QString& subject,
                      const QString& noteText);
    // Sends what the mail panel holds, to the address in the record's e-mail box.
    void sendPanel();
    void mnuPrint_Click();

    // Attachments.
    void mnuAttach_Click();
    void mnuSoundAtt_Click();
    void mnuMovieAtt_Click();
    void mnuFileAtt_Click();
    void mnuRemoveAttachment_Click();
    void OpenAttachmentFile(const QString& fileTitle);

    // Toolbars: dispatch on the clicked button's or item's key.
    void Toolbar1_ButtonClick(const QString& key);
    void Toolbar1_ButtonMenuClick(const QString& key);
    void Toolbar2_ButtonClick(const QString& key);
    void Toolbar2_ButtonMenuClick(const QString& key);

    // Look.
    static constexpr double kMaxFieldFontSize = 200; // points
    void labelBackcolor();
    void textFont();
    void putLabels();
    void RestoreFontandColor();
    void RestoreDefaultSize();
    void setBackColor(int32_t stored);
    int32_t backColor() const { return m_backColor; }
    Look look() const override;
    // The window's background picture; an empty name removes it, a file that is no picture raises.
    void setBackPicture(const QString& file);
    bool hasBackPicture() const;
    // What the window shows behind its controls: the built-in picture until another replaces it.
    QPixmap backPicture() const;
    // Right-click "BackGround" menu: acts at once.
    void fixedColour_Click(int32_t stored);
    void mnuBlack_Click() { fixedColour_Click(0x000000); }
    void mnuWhite_Click() { fixedColour_Click(0xFFFFFF); }
    void mnuYellow_Click() { fixedColour_Click(0x00FFFF); }
    void mnuGreen_Click() { fixedColour_Click(0x00FF00); }
    void mnuRed_Click() { fixedColour_Click(0x0000FF); }
    void mnuBlue_Click() { fixedColour_Click(0xFF0000); }
    void mnuCyan_Click() { fixedColour_Click(0xFFFF00); }
    void mnuMagenta_Click() { fixedColour_Click(0xFF00FF); }
    void mnuOther_Click();
    void mnuRFont_Click();
    void mnuRHandW_Click() { RestoreDefaultSize(); }
    void mnuRFandC_Click();
    void mnuRRemovePic_Click();
    // Settings menu of the options dialog: prepares a change that Apply carries out.
    void mnuFont_Click();
    void mnuBackColors_Click();
    void mnuBackPic_Click();
    void MnuHeightandWidth_Click() { RestoreDefaultSize(); }
    void mnuFontandColor_Click() { RestoreFontandColor(); }
    void mnuRemoveBackPic_Click();

    // Launch commands.
    void mnuOptions_Click();
    void mnuLinkward_Click();
    void mnuContents_Click();
    void mnuAbout_Click();

    // Controls.
    std::array<FieldBox*, 8> txtInfo{};
    std::array<QLabel*, 7> lblinfo{};
    FieldBox* txtRecord = nullptr;
    QListView* lstRecord = nullptr;
    RecordListModel* lstRecordModel = nullptr;
    QLineEdit* txtFind = nullptr;
    QRadioButton* OptFirst = nullptr;
    QRadioButton* OptLast = nullptr;
    QRadioButton* OptEmail = nullptr;
    std::array<MailBox*, 4> txtForMail{};
    QWidget* picContainer = nullptr;
    QLabel* imgPreview = nullptr;
    QWidget* CoolBar1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QToolBar* Toolbar2 = nullptr;
    // Owns the window's menus; hidden, as the frame's menu bar shows them.
    QMenuBar* menuBar = nullptr;
    QMenu* mnuBackColor = nullptr; // the right-click menu "BackGround"
    std::array<CommonDialog, 2> dlgFileOpen;

    // A menu item or toolbar button by its name (mnuSave) or key ("Lock").
    QAction* action(const QString& name) const;
    QAction* toolbarButton(QToolBar* bar, int position) const;

    // Window state.
    bool locked = false;
    int LastFoundRecord = 0;
    int RememberedRecord = 0;
    QString BackPic;
    bool changedColorFlag = false;
    bool changedPicFlag = false;

    // True while a database is open and its bag has been read.
    bool databaseLoaded() const { return m_bagLoaded; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void resetState();
    void buildControls();
    void buildMenus();
    void buildToolbars();
    void setCaption();
    void setLocked(bool value);
    void refuseLocked(const QString& object);
    // True, after telling so, when the book holds records past those shown.
    bool refuseTooLarge();
    void fillNewRecordBoxes(const QString& first, const QString& last);
    void selectFirstName();
    void showPicture();
    // Puts the list's highlight on the shown record (none on the blank slot); never a pick.
    void highlightShown();
    bool loadDatabase();
    void saveWindowSettings();
    void loadWindowSettings(bool* leave);
    void connectFindControls();
    void searchOption_Click();
    // Runs a write; a failure is told in the standard error dialog, whose Retry runs it
    // again. False when nothing was written.
    bool tryWrite(const std::function<void()>& write);
    // A field as its box shows it: trimmed, and ended by a NUL.
    static QString shownField(const PhoneRecord& r, PhoneRecord::Field f);
    // Writes the stored record `current` to the record clipboard; false when it was not.
    bool copyToClipboard();
    // Puts `record` after the record shown (appended on the last record and the blank
    // slot), shows it and refills the list.
    void pasteRecord(const PhoneRecord& record);

    QWidget* m_surface = nullptr;
    std::map<QString, QAction*> m_actions;
    int32_t m_backColor = 0;
    bool m_bagLoaded = false;
    std::set<QString> m_settingsRead; // the stored keys this load took, so the unload writes back only those
    bool m_quietList = false;         // the program, not the user, moves the list's highlight
    PropertyBag m_bag;
    BookImage m_bookImage; // what the search scans
};

} // namespace pb
