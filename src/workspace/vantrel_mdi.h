#pragma once

#include "platform/common_dialog.h"
#include "workspace/forms.h"

#include <QMainWindow>
#include <QMdiArea>
#include <cstdint>
#include <functional>
#include <map>

class QLabel;
class QMenu;
class QMdiSubWindow;
class QSplitter;
class QToolBar;

namespace pb {

class ViewerPane;

// The workspace frame: hosts the phone book and accessory windows, keeps its
// background colour or picture, and opens any file by its extension.
class VantrelMDI : public QMainWindow, public Form {
    Q_OBJECT
public:
    VantrelMDI();
    QWidget* widget() override { return this; }
    void Form_Load() override { MDIForm_Load(); }
    void Form_Unload() override { MDIForm_Unload(); }

    void MDIForm_Load();
    void MDIForm_Unload();

    // Opens a file in the program's own windows, chosen by the extension texts in its path.
    void OpenMyFile(const QString& MDICDFileName, bool OpenInPhoneBook = false);
    // Tells that a chosen file is one of the program's working files and no phonebook.
    static void refuseWorkingFile(const QString& path);

    // Puts a child window into the workspace (once).
    void adopt(QWidget* child);
    QMdiArea* area() const { return m_area; }
    ViewerPane* mdiPic() const { return m_pane; }

    void setBackColor(int32_t stored);
    int32_t backColor() const { return m_backColor; }
    // Loads the background picture; "" clears it, a file that is no picture raises 481.
    void setBackPicture(const QString& file);
    bool hasBackPicture() const { return !m_picture.isNull(); }

    // The caption: long jobs write their progress into it.
    static QString normalCaption();
    void setCaption(const QString& text);
    // Progress lines come thousands at a time: every one is taken, the title is
    // repainted at most every ~16 ms and when `final`.
    void setProgressCaption(const QString& text, bool final = false);
    std::function<void(const QString&)> captionObserver;

    // Menu and toolbar commands.
    void mnuOpen_Click();
    void mnuPhoneBook_Click();
    void mnuPhoneDialer_Click();
    void mnuExit_Click();
    void mnuRefresh_Click();
    void mnuROther_Click();
    void mnuRNew_Click();
    void mnuRRemove_Click();
    void mnuRDefault_Click();
    void mnuAppFolder_Click();
    void MDIToolbar_Phone();
    void mnuTH_Click() { Arrange(1); }
    void mnuTV_Click() { Arrange(2); }
    void mnuCascade_Click() { Arrange(0); }
    void mnuArrange_Click() { Arrange(3); }
    void MDIToolbar_ButtonClick(const QString& key);
    void StatusBar1_PanelClick();
    // 0 cascade, 1 tile horizontally, 2 tile vertically, 3 arrange the icons of minimised children.
    void Arrange(int arrangement);
    // A Window menu lists the child windows after its own items, each one a click away.
    static void listChildWindows(QMenu* windowMenu);

    QString BackPictureFile;
    CommonDialog MDICD;
    QMenu* mnuRC = nullptr;
    QToolBar* MDIToolbar = nullptr;
    QAction* action(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void applyBackground();
    void openDatabase(const QString& path);
    void openOnDesktop(const QString& path);
    // One menu bar: the active child's menus while it has some, the frame's own otherwise.
    void showMenusOf(QMdiSubWindow* active);
    void showOwnMenus();

    QSplitter* m_split;
    QMdiArea* m_area;
    ViewerPane* m_pane;
    QLabel* m_time = nullptr;
    QLabel* m_date = nullptr;
    int32_t m_backColor = 0;
    QPixmap m_picture;
    std::map<QString, QAction*> m_actions;
    QList<QAction*> m_ownMenus;
    qint64 m_lastCaptionPaint = 0;
    unsigned m_progressCalls = 0;
};

} // namespace pb
