#pragma once

#include "accessories/rich_text_box.h"
#include "platform/common_dialog.h"
#include "workspace/error_steps.h"
#include "workspace/forms.h"
#include "workspace/window_roles.h"

#include <QMdiSubWindow>
#include <functional>
#include <map>
#include <memory>

class QMenu;
class QMenuBar;
class QToolBar;

namespace pb {

class PropertyBag;

// The text editor: one rich-text document in its box `Rtf`, with document,
// editing, search, formatting, picture and mail commands. Its window and font
// settings live in "PBTextEditor.set" in the program folder.
class frmRecordset : public QMdiSubWindow, public Form, public TextViewer {
    Q_OBJECT
public:
    frmRecordset();
    QWidget* widget() override { return this; }
    bool isMdiChild() const override { return true; }
    QMenuBar* childMenus() const override { return menuBar; }
    void Form_Load() override;
    void Form_Unload() override;
    void Form_Resize();

    static QString EditorSettingsFile();

    // File menu.
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    // Print `text`, or the program's code-page text file at `path`, as the editor prints its own
    // document but from a document of their own with the editor's base font and margins: the
    // editor's text stays.
    void printText(const QString& text) override;
    void printFile(const QString& path) override;
    // What the other windows show through the editor.
    void loadDocument(const QString& path) override { Rtf->LoadFile(path); }
    void loadCodePageDocument(const QString& path) override { Rtf->LoadCodePageText(path); }
    void replaceDocument(const QString& text) override { Rtf->replaceAll(text); }
    void refreshDocument() override { Rtf->refresh(); }
    void mnuSend_Click();
    void mnuExit_Click();
    // Edit menu and the right-click menu.
    void mnuInsertImage_Click();
    void mnuAL_Click() { setAlignment(0); }
    void mnuAC_Click() { setAlignment(2); }
    void mnuAR_Click() { setAlignment(1); }
    void mnuFind_Click();
    void mnuFindNext_Click();
    void mnuCopy_Click();
    void mnuCut_Click();
    void mnuPaste_Click();
    void mnuSelect_Click();
    void mnuClear_Click();
    void mnuRefresh_Click();
    void mnuRFont_Click();
    void mnuRBC_Click();
    // The mail: three questions, then the hand-over.
    void SendMailMessage(const QString& address, const QString& displayName, const QString& subject,
                         const QString& noteText);
    void Toolbar1_ButtonClick(const QString& key);
    void Rtf_SelChange();

    // 0 left, 1 right, 2 centre, as the rich-edit control numbers them; -1 for a mixed selection.
    void setAlignment(int code);
    int selAlignment() const;

    RichTextBox* Rtf = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QMenuBar* menuBar = nullptr;
    QMenu* mnuRClick = nullptr;
    CommonDialog frmRecordsetCD;
    QString FindText;
    QAction* action(const QString& name) const;
    QAction* toolbarButton(const QString& key) const;

    // The editor's own error box (the error's text, its number as the title);
    // with `cancelSilent` a cancelled dialog ends the command without a word.
    static Steps editorTrap(bool cancelSilent);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void LoadEditorSettings(const PropertyBag& bag);
    void SaveEditorSettings(PropertyBag& bag) const;
    void rememberNormalGeometry();
    void printFrom(const RichTextBox& box);
    std::unique_ptr<RichTextBox> scratchBox() const;

    QWidget* m_client = nullptr;
    QRect m_normal;
    std::map<QString, QAction*> m_actions;
    std::map<QString, QAction*> m_buttons;
};

} // namespace pb
