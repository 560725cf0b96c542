#pragma once

#include "platform/common_dialog.h"
#include "platform/web_view.h"
#include "workspace/forms.h"
#include "workspace/window_roles.h"

#include <QMdiSubWindow>
#include <map>
#include <memory>

class QComboBox;
class QMenuBar;
class QToolBar;

namespace pb {

// The web surfer: an address box whose list holds the visited addresses (newest
// first), a toolbar and the page. Other windows show it and call NavigateTo.
class frmBrowser : public QMdiSubWindow, public Form, public PageViewer {
    Q_OBJECT
public:
    frmBrowser();
    ~frmBrowser() override;
    QWidget* widget() override { return this; }
    bool isMdiChild() const override { return true; }
    QMenuBar* childMenus() const override { return menuBar; }
    void Form_Load() override;
    void Form_Resize();

    // Puts the address into the box, navigates to it and moves it to the top of the list.
    void NavigateTo(const QString& address) override;
    // The same for a page of the publisher's site, without a sound.
    void OpenPublisherPage(const QString& PagePath);
    // The caption from the page's title; the address navigated to goes to the top of the list.
    void UpdateAddressList();

    void cboAddress_Click();
    void cboAddress_KeyPress(int KeyAscii);
    void tbToolBar_ButtonClick(const QString& key);
    void WebBrowser_DownloadComplete();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuRefresh_Click();
    void mnuHome_Click();
    void mnuContents_Click();
    void mnuAbout_Click();

    // "q7P Surfer", 23 blanks and the page's title.
    static QString surferCaption(const QString& title);
    // Any address as the engine takes it: a path becomes a file address, "www.x" a web one.
    static QUrl addressUrl(const QString& address);

    QString StartingAddress;
    QComboBox* cboAddress = nullptr;
    QToolBar* tbToolBar = nullptr;
    std::unique_ptr<WebView> WebBrowser;
    CommonDialog Opener;
    // The idle timer never fires: the toolbar and the address box only switch it.
    bool timTimerEnabled = false;
    // Owns the window's menus; hidden, as the frame's menu bar shows them.
    QMenuBar* menuBar = nullptr;

    QAction* action(const QString& name) const;
    QAction* toolbarButton(const QString& key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void navigateBox();
    int addressLeft() const;

    QWidget* m_client = nullptr;
    bool DontNavigate = false;
    // The address last handed to the engine: it reports the old page's until the new one commits.
    QString m_navigated;
    std::map<QString, QAction*> m_actions;
    std::map<QString, QAction*> m_buttons;
};

// Where a "mailto:" link of a shown page goes.
void openMailLink(const QUrl& url);

} // namespace pb
