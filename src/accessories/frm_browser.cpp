// The web surfer window: address box, toolbar, menus and the page.
#include "accessories/frm_browser.h"

#include "platform/mail.h"
#include "platform/native_name.h"

#include "platform/shell.h"
#include "platform/units.h"
#include "workspace/error_steps.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"
#include "workspace/publisher_pages.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolBar>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmBrowser", frmBrowser)

namespace {

// Where the address box and the page sit in the window's client area, in twips.
constexpr int kAddressLeft = 3600;
constexpr int kAddressDrop = 40;
constexpr int kToolbarHeight = 480;
constexpr int kMargin = 20;
constexpr int kClientWidth = 10800;
constexpr int kClientHeight = 7200;

// The toolbar's buttons by key, in order; a null key is a separator.
struct Button {
    const char* key;
    const char* text;
    const char* icon;
};
constexpr Button kButtons[] = {{"Back", "Backward", "tb13-previous"},
                               {"Forward", "Forward", "tb16-next"},
                               {nullptr, nullptr, nullptr},
                               {"Stop", "Stop", "web-stop"},
                               {"Refresh", "Refresh", "web-refresh"},
                               {nullptr, nullptr, nullptr},
                               {"Home", "Home", "web-home"},
                               {"Search", "Search", nullptr},
                               {"Offline", "Browse Offline", "tb03-open"}};

} // namespace

void openMailLink(const QUrl& url) {
    // The page's link goes through the program's one mailer, taken apart into its fields,
    // so it is encoded again like every other mail.
    const QUrlQuery query(url);
    MailMessage mail;
    mail.address = url.path(QUrl::FullyDecoded);
    mail.subject = query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded);
    mail.body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    mailer().send(mail);
}

frmBrowser::frmBrowser() {
    setObjectName(QStringLiteral("frmBrowser"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(surferCaption(kPublisherBase));
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    menuBar = new QMenuBar(content);
    menuBar->setNativeMenuBar(false);
    menuBar->hide();
    m_client = new QWidget(content);
    m_client->installEventFilter(this);
    layout->addWidget(m_client, 1);

    tbToolBar = new QToolBar(m_client);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    buildToolbar();

    cboAddress = new QComboBox(m_client);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    // The list holds only what UpdateAddressList puts there, and typing completes nothing.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    // Keys reach the box itself, which holds the focus for its line edit and hands them on
    // past any filter there.
    cboAddress->installEventFilter(this);
    // Only a pick by the user navigates; a selection made here does not.
    connect(cboAddress, &QComboBox::activated, this,
            [this] { Steps(OnError::Ignore)([this] { cboAddress_Click(); }); });

    WebBrowser = makeWebView(m_client);
    WebBrowser->downloadComplete = [this] { WebBrowser_DownloadComplete(); };
    WebBrowser->mailLink = [](const QUrl& url) { Steps(OnError::Standard)([&] { openMailLink(url); }); };

    Opener.CancelError = true;
    setWidget(content);
    buildMenus();
    resize(twipsToPixels(kClientWidth) + 12, twipsToPixels(kClientHeight) + 32);
}

frmBrowser::~frmBrowser() = default;

QString frmBrowser::surferCaption(const QString& title) {
    return QStringLiteral("q7P Surfer") + QString(23, QLatin1Char(' ')) + title;
}

QUrl frmBrowser::addressUrl(const QString& address) {
    return QUrl::fromUserInput(address);
}

QAction* frmBrowser::action(const QString& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* frmBrowser::toolbarButton(const QString& key) const {
    const auto it = m_buttons.find(key);
    return it == m_buttons.end() ? nullptr : it->second;
}

void frmBrowser::buildToolbar() {
    for (const Button& b : kButtons) {
        if (!b.key) {
            tbToolBar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction* a = tbToolBar->addAction(QString::fromLatin1(b.text));
        if (b.icon) a->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(b.icon))));
        a->setToolTip(QString::fromLatin1(b.text));
        a->setObjectName(QStringLiteral("tb") + key);
        a->setData(key);
        connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        m_buttons[key] = a;
    }
}

void frmBrowser::buildMenus() {
    MenuBuilder b{this, menuBar, m_actions};
    QMenu* file = b.top("mnuFile", "&File");
    b.item(file, "mnuOpen", "&Open...", "Ctrl+O", [this] { mnuOpen_Click(); });
    b.sep(file);
    b.item(file, "mnuClose", "&Close q7P Surfer", "Alt+Backspace", [this] { mnuClose_Click(); });
    QMenu* edit = b.top("mnuEdit", "&Edit");
    b.item(edit, "mnuRefresh", "&Refresh", nullptr, [this] { mnuRefresh_Click(); });
    QMenu* view = b.top("mnuView", "&View");
    b.item(
        view, "mnuHome", "&Home", nullptr, [this] { mnuHome_Click(); }, true);
    b.sep(view, true);
    b.item(view, "mnuPrevious", "&Previous", nullptr, [] {});
    b.item(view, "mnuNext", "&Next", nullptr, [] {});
    b.onlineMenu(OnlineMenu::Surfer, [this](const QString& page) { OpenPublisherPage(page); });
    QMenu* help = b.top("mnuHelp", "&Help");
    b.item(help, "mnuContents", "&Contents...", "F1", [this] { mnuContents_Click(); });
    b.sep(help);
    b.item(help, "mnuAbout", "&About Dorvane...", nullptr, [this] { mnuAbout_Click(); });
}

void frmBrowser::Form_Load() {
    Steps step(OnError::Ignore);
    step([this] { Forms::show(this); });
    step([this] { tbToolBar->update(); });
    step([this] { Form_Resize(); });
    step([this] {
        tbToolBar->move(0, 0);
        cboAddress->move(addressLeft(), tbToolBar->y() + twipsToPixels(kAddressDrop));
    });
    step([this] {
        StartingAddress = publisherHome();
        if (StartingAddress.isEmpty()) return;
        cboAddress->setEditText(StartingAddress);
        cboAddress->addItem(StartingAddress);
    });
}

int frmBrowser::addressLeft() const {
    // Wider only when the style's buttons would not fit beside it.
    return std::max(twipsToPixels(kAddressLeft), tbToolBar->sizeHint().width());
}

void frmBrowser::Form_Resize() {
    if (isMinimized()) return;
    const int inner = m_client->width();
    const int height = m_client->height();
    const int left = addressLeft();
    tbToolBar->setGeometry(0, 0, left, twipsToPixels(kToolbarHeight));
    cboAddress->setGeometry(left, twipsToPixels(kAddressDrop), std::max(0, inner - left),
                            cboAddress->sizeHint().height());
    QWidget* page = WebBrowser->widget();
    const int top = twipsToPixels(kToolbarHeight);
    page->setGeometry(0, top, std::max(0, inner - twipsToPixels(kMargin)),
                      std::max(0, height - twipsToPixels(kMargin) - top));
}

bool frmBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        Steps(OnError::Ignore)([this] { Form_Resize(); });
    } else if (watched == cboAddress && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboAddress_KeyPress(13);
            return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void frmBrowser::navigateBox() {
    const QUrl url = addressUrl(cboAddress->currentText());
    m_navigated = url.toString();
    WebBrowser->navigate(url);
}

void frmBrowser::cboAddress_Click() {
    if (DontNavigate) return;
    timTimerEnabled = true;
    navigateBox();
}

void frmBrowser::cboAddress_KeyPress(int KeyAscii) {
    if (KeyAscii == 13) Steps(OnError::Ignore)([this] { cboAddress_Click(); });
}

void frmBrowser::NavigateTo(const QString& address) {
    // A file name that is not UTF-8 goes as its file address, which carries the name's own bytes.
    cboAddress->setEditText(
        native::hasStandIns(address) ? native::fileUrl(address).toString(QUrl::FullyEncoded) : address);
    cboAddress_Click();
    UpdateAddressList();
}

void frmBrowser::OpenPublisherPage(const QString& PagePath) {
    NavigateTo(kPublisherBase + PagePath);
}

void frmBrowser::UpdateAddressList() {
    setWindowTitle(surferCaption(WebBrowser->locationName()));
    const QString location = m_navigated.isEmpty() ? WebBrowser->locationUrl() : m_navigated;
    const int match = cboAddress->findText(location, Qt::MatchExactly | Qt::MatchCaseSensitive);
    DontNavigate = true;
    if (match >= 0) cboAddress->removeItem(match);
    cboAddress->insertItem(0, location);
    cboAddress->setCurrentIndex(0);
    cboAddress->setEditText(location);
    DontNavigate = false;
}

void frmBrowser::WebBrowser_DownloadComplete() {
    Steps(OnError::Ignore)([this] { setWindowTitle(surferCaption(WebBrowser->locationName())); });
}

void frmBrowser::tbToolBar_ButtonClick(const QString& key) {
    Steps step(OnError::Ignore);
    timTimerEnabled = true;
    if (key == QLatin1String("Back")) {
        step([this] { WebBrowser->goBack(); });
    } else if (key == QLatin1String("Forward")) {
        step([this] { WebBrowser->goForward(); });
    } else if (key == QLatin1String("Refresh")) {
        step([this] { WebBrowser->refresh(); });
    } else if (key == QLatin1String("Home")) {
        step([this] { WebBrowser->navigate(addressUrl(publisherHome())); });
    } else if (key == QLatin1String("Search")) {
        step([this] { WebBrowser->navigate(addressUrl(publisherSearch())); });
    } else if (key == QLatin1String("Stop")) {
        timTimerEnabled = false;
        step([this] { WebBrowser->stop(); });
        step([this] { setWindowTitle(surferCaption(WebBrowser->locationName())); });
    } else if (key == QLatin1String("Offline")) {
        step([this] { mnuOpen_Click(); });
    }
}

void frmBrowser::mnuOpen_Click() {
    // A cancelled dialog ends the command without a word.
    Steps step([](const VbError& e) {
        return e.number() == err::Cancelled ? ErrorAnswer::Abort : secondFormErrorDialog(e);
    });
    if (!step([this] {
            Opener.DialogTitle = QStringLiteral("Browse for offline web pages");
            Opener.Filter = QStringLiteral("WebPages|*.htm; *.html |All Files|*.*");
            Opener.ShowOpen();
        }))
        return;
    if (!Opener.Accepted) return;
    step([this] { NavigateTo(Opener.FileName); });
}

void frmBrowser::mnuClose_Click() {
    Forms::unload(this);
}

void frmBrowser::closeEvent(QCloseEvent* event) {
    // Closing is unloading: the next opening starts again from the start address.
    Forms::unload(this);
    event->accept();
}

void frmBrowser::mnuRefresh_Click() {
    Steps(OnError::Ignore)([this] { WebBrowser->refresh(); });
}

void frmBrowser::mnuHome_Click() {
    Steps(OnError::Ignore)([this] { WebBrowser->navigate(addressUrl(publisherHome())); });
}

void frmBrowser::mnuContents_Click() {
    ShowForm(QStringLiteral("frmHelp"));
}

void frmBrowser::mnuAbout_Click() {
    ShowAbout();
}

} // namespace pb
