// The frame's menus, toolbar, status bar and their commands.
#include "data/module_phonebook.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/units.h"
#include "workspace/error_steps.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"
#include "workspace/publisher_pages.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/viewer_pane.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace pb {

QAction* VantrelMDI::action(const QString& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void VantrelMDI::buildMenus() {
    MenuBuilder b{this, menuBar(), m_actions};
    QMenu* file = b.top("mnuFile", "&File");
    b.item(file, "mnuOpen", "&Open...", nullptr, [this] { mnuOpen_Click(); });
    b.item(file, "mnuSearch", "&Search...", nullptr, [] { ShowForm(QStringLiteral("frmSeek")); });
    b.sep(file);
    b.item(file, "mnuPhoneBook", "&PhoneBook...", nullptr, [this] { mnuPhoneBook_Click(); });
    b.item(file, "mnuWebSurfer", "&WebSurfer...", nullptr, [] { ShowForm(QStringLiteral("frmHandler")); });
    b.item(file, "mnuTextEd", "&TextEditor...", nullptr, [] { ShowForm(QStringLiteral("frmEditor")); });
    b.item(file, "mnuNotePapers", "&NotePapers...", nullptr, [] { ShowForm(QStringLiteral("frmDiaries")); });
    b.item(file, "mnuPhoneDialer", "Phone&Dialer...", nullptr, [this] { mnuPhoneDialer_Click(); });
    b.sep(file);
    b.item(file, "mnuExit", "E&xit Dorvane", nullptr, [this] { mnuExit_Click(); });

    QMenu* edit = b.top("mnuEdit", "&Edit");
    b.item(edit, "mnuRefresh", "&Refresh", nullptr, [this] { mnuRefresh_Click(); });

    QMenu* view = b.top("mnuView", "&View");
    QMenu* settings = b.sub(view, "mnuSettings", "&Settings");
    b.item(settings, "mnuBc", "Back&Color...", nullptr, [this] { mnuROther_Click(); });
    b.item(settings, "mnuBp", "Back&Picture...", nullptr, [this] { mnuRNew_Click(); });
    QMenu* restore = b.sub(view, "mnuRestore", "&Restore");
    b.item(restore, "mnuDefaultC", "Default &Color", nullptr, [this] { mnuRDefault_Click(); });
    b.item(restore, "mnuRemoveBc", "Remove Back&Picture", nullptr, [this] { mnuRRemove_Click(); });
    b.sep(view);
    b.item(view, "mnuAppFolder", "Application &Folder...", nullptr, [this] { mnuAppFolder_Click(); });

    QMenu* tools = b.top("mnuTools", "&Tools");
    b.item(tools, "mnuAlarm", "Alar&m...", nullptr, [] { ShowForm(QStringLiteral("frmAlarm")); });

    b.onlineMenu(OnlineMenu::Frame);

    b.windowMenu();

    QMenu* help = b.top("mnuHelp", "&Help");
    b.item(help, "mnuContents", "&Contents...", nullptr, [] { ShowForm(QStringLiteral("frmHelp")); });
    b.item(help, "mnuAbout", "&About Dorvane...", nullptr, ShowAbout);

    // The right-click menu of the empty background.
    mnuRC = new QMenu(QStringLiteral("RightClick"), this);
    mnuRC->setObjectName(QStringLiteral("mnuRC"));
    QMenu* colours = b.sub(mnuRC, "mnuRBackColor", "Back Color");
    const std::pair<const char*, std::pair<const char*, int32_t>> fixed[] = {
        {"mnuRBalck", {"Black", 0}},       {"mnuRWhite", {"White", 0xFFFFFF}},
        {"mnuRYello", {"Yellow", 0xFFFF}}, {"mnuRGreen", {"Green", 0xFF00}},
        {"mnuRRed", {"Red", 0xFF}},        {"mnuRBlue", {"Blue", 0xFF0000}},
        {"mnuRCyan", {"Cyan", 0xFFFF00}},  {"mnuRMagenta", {"Magenta", 0xFF00FF}}};
    for (const auto& [name, spec] : fixed) {
        const int32_t colour = spec.second;
        b.item(colours, name, spec.first, nullptr, [this, colour] { setBackColor(colour); });
    }
    b.item(colours, "mnuROther", "Other...", nullptr, [this] { mnuROther_Click(); });
    b.item(colours, "mnuRDefault", "Default", nullptr, [this] { mnuRDefault_Click(); });
    QMenu* pictures = b.sub(mnuRC, "mnuRBackPicture", "Back Picture");
    b.item(pictures, "mnuRNew", "&New...", nullptr, [this] { mnuRNew_Click(); });
    b.item(pictures, "mnuRRemove", "&Remove", nullptr, [this] { mnuRRemove_Click(); });
}

void VantrelMDI::buildToolbar() {
    MDIToolbar = addToolBar(QStringLiteral("MDIToolbar"));
    MDIToolbar->setObjectName(QStringLiteral("MDIToolbar"));
    MDIToolbar->setIconSize(QSize(24, 24));
    struct Button {
        const char* key;
        const char* tip;
        const char* icon;
    };
    const Button buttons[] = {{"FileOpener", "Open a file", "mdi-fileopener"},
                              {"PhoneBook", "Open PhoneBook", "mdi-phonebook"},
                              {"Linkward", "Open Internet Explorer", "mdi-linkward"},
                              {"WebBrowser", "Open WebBrowser", "mdi-webbrowser"},
                              {"TextEditor", "Open TextEditor", "mdi-texteditor"},
                              {"NotePapers", "Open NotePapers", "mdi-notepapers"},
                              {"Phone", "Call", "mdi-phone"},
                              {"TechSupp", "Help", "mdi-techsupp"}};
    for (const Button& btn : buttons) {
        const QString key = QString::fromLatin1(btn.key);
        QAction* a =
            MDIToolbar->addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(btn.icon))),
                                  QString::fromLatin1(btn.tip));
        a->setObjectName(QStringLiteral("tb") + key);
        a->setData(key);
        connect(a, &QAction::triggered, this, [this, key] { MDIToolbar_ButtonClick(key); });
    }
}

void VantrelMDI::buildStatusBar() {
    m_time = new QLabel(this);
    m_date = new QLabel(this);
    for (QLabel* l : {m_time, m_date}) {
        l->setObjectName(l == m_time ? QStringLiteral("sbrTime") : QStringLiteral("sbrDate"));
        l->installEventFilter(this);
        statusBar()->addPermanentWidget(l);
    }
    statusBar()->installEventFilter(this);
    const auto tick = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        m_time->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
        m_date->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    };
    tick();
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, tick);
    clock->start(1000);
}

void VantrelMDI::mnuOpen_Click() {
    Steps(OnError::Ignore)([&] { OpenMyFile(SelectFileName(), false); });
}

void VantrelMDI::mnuPhoneBook_Click() {
    ShowForm(QStringLiteral("Data"));
}

namespace {
// There is no dialer program on this desktop: a "tel:" address reaches whatever
// the desktop uses for calls.
void startDialer() {
    if (!shell().openUrl(QStringLiteral("tel:")))
        throw VbError(53, QStringLiteral("No phone dialer is set up"));
}
} // namespace

void VantrelMDI::mnuPhoneDialer_Click() {
    // The box tells that no dialer is set up, not that some file is missing.
    Steps step(describedErrorDialog);
    step(startDialer);
}

void VantrelMDI::MDIToolbar_Phone() {
    mnuPhoneDialer_Click();
}

void VantrelMDI::listChildWindows(QMenu* windowMenu) {
    QObject::connect(windowMenu, &QMenu::aboutToShow, windowMenu, [windowMenu] {
        for (QAction* a : windowMenu->actions())
            if (a->property("childWindow").toBool()) delete a;
        VantrelMDI* frame = Forms::find<VantrelMDI>();
        if (!frame) return;
        const QList<QMdiSubWindow*> children = frame->area()->subWindowList();
        if (children.isEmpty()) return;
        QAction* line = windowMenu->addSeparator();
        line->setProperty("childWindow", true);
        int n = 1;
        for (QMdiSubWindow* w : children) {
            QAction* a = windowMenu->addAction(QStringLiteral("&%1 %2").arg(n++).arg(w->windowTitle()));
            a->setProperty("childWindow", true);
            a->setCheckable(true);
            a->setChecked(w == frame->area()->activeSubWindow());
            QObject::connect(a, &QAction::triggered, frame,
                             [frame, w] { frame->area()->setActiveSubWindow(w); });
        }
    });
}

void VantrelMDI::mnuExit_Click() {
    // The same way out as the close button: an edited record is asked about, every
    // window unloads and the settings are kept. Then the program ends whatever stays open.
    close();
    QCoreApplication::quit();
}

void VantrelMDI::mnuRefresh_Click() {
    m_pane->hide();
}

void VantrelMDI::mnuROther_Click() {
    try {
        MDICD.Flags = 1;
        MDICD.Color = m_backColor;
        MDICD.ShowColor();
        if (MDICD.Accepted) setBackColor(MDICD.Color); // a cancel leaves the frame as it was
    } catch (...) {
    }
}

void VantrelMDI::mnuRNew_Click() {
    Steps step(OnError::StandardCancelRule);
    step([&] {
        MDICD.DialogTitle = QStringLiteral("Pics");
        MDICD.FileName.clear();
        MDICD.Filter = QStringLiteral("All picture files | *.gif; *.jpeg; *.jpg; *.bmp; *.dib; *.gfif");
        MDICD.ShowOpen();
        if (!MDICD.Accepted || MDICD.FileName.isEmpty()) return;
        // The name is kept only for a picture that loaded.
        setBackPicture(MDICD.FileName);
        BackPictureFile = MDICD.FileName;
    });
}

void VantrelMDI::mnuRRemove_Click() {
    Steps step(OnError::Ignore);
    step([&] { setBackPicture(QString()); });
    BackPictureFile.clear();
    m_area->viewport()->update();
}

void VantrelMDI::mnuRDefault_Click() {
    setBackColor(kAppWorkspace);
}

void VantrelMDI::mnuAppFolder_Click() {
    Steps(OnError::Ignore)([] { OpenFolder(AppPath()); });
}

void VantrelMDI::MDIToolbar_ButtonClick(const QString& key) {
    Steps step(OnError::LeaveSilently);
    if (key == QLatin1String("FileOpener"))
        step([&] { OpenMyFile(SelectFileName(), false); });
    else if (key == QLatin1String("Phone"))
        step([&] { MDIToolbar_Phone(); });
    else if (key == QLatin1String("Linkward"))
        step([] { ShowForm(QStringLiteral("frmHandler")); });
    else if (key == QLatin1String("PhoneBook"))
        step([] { ShowForm(QStringLiteral("Data")); });
    else if (key == QLatin1String("NotePapers"))
        step([] { ShowForm(QStringLiteral("frmDiaries")); });
    else if (key == QLatin1String("WebBrowser"))
        step([] { ShowForm(QStringLiteral("frmBrowser")); });
    else if (key == QLatin1String("TechSupp"))
        step([] { ShowPublisherPage(QStringLiteral("Feedback.htm")); });
    else if (key == QLatin1String("TextEditor"))
        step([] { ShowForm(QStringLiteral("frmEditor")); });
}

void VantrelMDI::StatusBar1_PanelClick() {
    ShowForm(QStringLiteral("frmAlarm"));
}

void VantrelMDI::Arrange(int arrangement) {
    QList<QMdiSubWindow*> open;
    QList<QMdiSubWindow*> minimised;
    for (QMdiSubWindow* w : m_area->subWindowList()) {
        if (!w->isVisible()) continue;
        (w->isMinimized() ? minimised : open) << w;
    }
    // Windows are placed from the workspace's corner, so a scrolled workspace is scrolled back
    // first (scrolling moves the windows themselves).
    for (QScrollBar* bar : {m_area->horizontalScrollBar(), m_area->verticalScrollBar()})
        bar->setValue(bar->minimum());
    // The whole workspace, as if no scroll bar took a part of it.
    const QRect r(QPoint(0, 0), m_area->maximumViewportSize());
    const int n = static_cast<int>(open.size());
    switch (arrangement) {
    case 0: {
        // Each a title bar lower and to the right of the one below it, all of one size that
        // leaves the steps in view; Qt's own cascade would shrink each to its size hint.
        if (n == 0) break;
        // Bottom to top, so that the window on top stays on top.
        QList<QMdiSubWindow*> stacked;
        for (QMdiSubWindow* w : m_area->subWindowList(QMdiArea::StackingOrder))
            if (open.contains(w)) stacked << w;
        const int step =
            std::max(1, m_area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, stacked.front()));
        const auto sizeIn = [&](QSize room) {
            return QSize(std::max(room.width() - (n - 1) * step, room.width() / 2),
                         std::max(room.height() - (n - 1) * step, room.height() / 2));
        };
        QSize room = r.size();
        QSize size = sizeIn(room);
        // A window that cannot shrink to that size runs past the workspace and brings a scroll
        // bar, which takes its room from the other direction.
        const int bar = m_area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_area);
        bool tall = false, wide = false;
        for (int i = 0; i < n; ++i) {
            const QSize least = stacked[i]->minimumSize();
            tall = tall || i * step + std::max(size.height(), least.height()) > room.height();
            wide = wide || i * step + std::max(size.width(), least.width()) > room.width();
        }
        room -= QSize(tall ? bar : 0, wide ? bar : 0);
        size = sizeIn(room);
        // Past half the workspace the steps start again from the corner.
        const int span = std::min(room.width() - size.width(), room.height() - size.height()) + 1;
        for (int i = 0; i < n; ++i) {
            QMdiSubWindow* w = stacked[i];
            if (w->isMaximized()) w->showNormal();
            const int at = (i * step) % span;
            w->setGeometry(at, at, size.width(), size.height());
            w->raise();
        }
        break;
    }
    case 1:
    case 2: {
        // Horizontally: full width, stacked top to bottom; vertically: full height, side by side.
        // A window that cannot shrink to its share keeps its least size and pushes the next one
        // on, so none lies over another (the workspace scrolls to the rest).
        const bool rows = arrangement == 1;
        const int whole = rows ? r.height() : r.width();
        const int share = n > 0 ? whole / n : 0;
        QList<int> lengths;
        int at = 0;
        for (int i = 0; i < n; ++i) {
            const QMdiSubWindow* w = open[i];
            const int slot = i == n - 1 ? std::max(share, whole - at) : share;
            lengths << std::max(slot, rows ? w->minimumHeight() : w->minimumWidth());
            at += lengths.back();
        }
        // Tiles that run past the workspace bring its scroll bar, which takes its room from across them.
        int across = rows ? r.width() : r.height();
        if (at > whole) across -= m_area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_area);
        at = 0;
        for (int i = 0; i < n; ++i) {
            QMdiSubWindow* w = open[i];
            if (w->isMaximized()) w->showNormal();
            if (rows)
                w->setGeometry(0, at, across, lengths[i]);
            else
                w->setGeometry(at, 0, lengths[i], across);
            at += lengths[i];
        }
        break;
    }
    case 3: {
        // The icons of minimised children in a row along the bottom edge.
        int x = 0;
        for (QMdiSubWindow* w : minimised) {
            const QSize s = w->size();
            w->move(x, r.height() - s.height());
            x += s.width();
        }
        break;
    }
    default:
        break;
    }
}

} // namespace pb
