#include "workspace/vantrel_mdi.h"

#include "data/module_phonebook.h"
#include "platform/picture_file.h"
#include "platform/settings_store.h"
#include "platform/units.h"
#include "platform/vb_convert.h"
#include "platform/vb_error.h"
#include "platform/web_view.h"
#include "workspace/error_steps.h"
#include "workspace/frm_splash.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"
#include "workspace/viewer_pane.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QIcon>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <algorithm>

namespace pb {

namespace {

// The publisher's site, shown in the frame's normal caption.
const QString kPublisherAddress = QStringLiteral("www.brenmoor.example");

// The workspace's background: the colour, and the picture at its own size from the top-left corner.
QBrush backgroundBrush(const QColor& colour, const QPixmap& picture, const QSize& size) {
    if (picture.isNull()) return QBrush(colour);
    QPixmap canvas(size.expandedTo(picture.size()));
    canvas.fill(colour);
    QPainter p(&canvas);
    p.drawPixmap(0, 0, picture);
    return QBrush(canvas);
}

} // namespace

VantrelMDI::VantrelMDI() {
    setObjectName(QStringLiteral("VantrelMDI"));
    setWindowTitle(normalCaption());
    setWindowIcon(QIcon(QStringLiteral(":/pictures/dorvane.png")));
    m_split = new QSplitter(Qt::Vertical, this);
    m_split->setChildrenCollapsible(true);
    m_pane = new ViewerPane(m_split);
    m_area = new QMdiArea(m_split);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->viewport()->installEventFilter(this);
    m_split->addWidget(m_pane);
    m_split->addWidget(m_area);
    m_split->setStretchFactor(1, 1);
    m_split->setSizes({220, 560});
    setCentralWidget(m_split);
    buildMenus();
    m_ownMenus = menuBar()->actions();
    connect(m_area, &QMdiArea::subWindowActivated, this, &VantrelMDI::showMenusOf);
    buildToolbar();
    buildStatusBar();
    resize(1100, 800);
    applyBackground();
    // The web surfer lives in this window.
    prepareWebViewHost(this);
}

QString VantrelMDI::normalCaption() {
    return QStringLiteral("Dorvane") + QChar(0x2122) + QString(13, QLatin1Char(' ')) + kPublisherAddress;
}

void VantrelMDI::setCaption(const QString& text) {
    setWindowTitle(text);
    if (captionObserver) captionObserver(text);
}

void VantrelMDI::setProgressCaption(const QString& text, bool final) {
    if (captionObserver) captionObserver(text);
    // Looking at the clock costs more than the line: only every 64th time.
    if (!final && (++m_progressCalls & 63) != 0) return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (final || now - m_lastCaptionPaint >= 16) {
        setWindowTitle(text);
        m_lastCaptionPaint = now;
    }
}

void VantrelMDI::MDIForm_Load() {
    // Any failure clears the picture name and ends the load: on a first run the
    // picture "0" does not exist, so the sound setting is not read and sounds stay off.
    Steps step(OnError::LeaveSilently);
    const auto get = [](const char* key, const char* def) {
        return SettingsStore::GetSetting(kAppName, kSection, QString::fromLatin1(key),
                                         QString::fromLatin1(def));
    };
    const bool ok = step([&] { BackPictureFile = get("MDIFormBackPicture", "0"); }) &&
                    step([&] { setBackColor(convert::toInt32(get("MDIFormBackColor", "0"))); }) &&
                    step([&] { setBackPicture(BackPictureFile); }) &&
                    step([&] { pbm().PlaySoundEffect = convert::toBool(get("playSoundEffect", "True")); });
    if (!ok) BackPictureFile.clear();
}

void VantrelMDI::MDIForm_Unload() {
    // The registry's unload writes the frame's keys and those of every window it closes at once.
    Steps step(OnError::Ignore);
    step([&] {
        SettingsStore::SaveSetting(kAppName, kSection, QStringLiteral("MDIFormBackPicture"), BackPictureFile);
    });
    step([&] {
        SettingsStore::SaveSetting(kAppName, kSection, QStringLiteral("MDIFormBackColor"),
                                   QString::number(m_backColor));
    });
    step([&] {
        SettingsStore::SaveSetting(kAppName, kSection, QStringLiteral("playSoundEffect"),
                                   convert::fromBool(pbm().PlaySoundEffect));
    });
    for (Form* f : Forms::loaded())
        if (f != this && !dynamic_cast<frmSplash*>(f)) step([&] { Forms::unload(f); });
    step([] { Forms::unload<frmSplash>(); });
    step([] { releaseErrHelp(); });
}

void VantrelMDI::adopt(QWidget* child) {
    // Shown first: a hidden workspace would place the child again when it shows.
    if (!isVisible()) show();
    auto* sub = qobject_cast<QMdiSubWindow*>(child);
    if (!sub || sub->mdiArea() == m_area) return;
    // The workspace puts a new child wherever it overlaps least, often a corner. A child
    // keeps the place its settings gave it; one without comes up in the middle.
    const bool placed = sub->testAttribute(Qt::WA_Moved);
    const QPoint own = sub->pos();
    m_area->addSubWindow(sub);
    if (placed) {
        sub->move(own);
    } else {
        const QRect room = m_area->viewport()->rect();
        const QPoint middle = room.center() - sub->rect().center();
        sub->move(std::max(0, middle.x()), std::max(0, middle.y()));
    }
}

void VantrelMDI::showMenusOf(QMdiSubWindow* active) {
    // While another application is in front no child is active, yet the current one stays ours.
    if (!active) active = m_area->currentSubWindow();
    QMenuBar* childBar = nullptr;
    if (auto* form = dynamic_cast<Form*>(active); form && !active->isHidden()) childBar = form->childMenus();
    const QList<QAction*> wanted = childBar ? childBar->actions() : m_ownMenus;
    if (menuBar()->actions() == wanted) return;
    for (QAction* a : menuBar()->actions())
        menuBar()->removeAction(a);
    menuBar()->addActions(wanted);
    // The child's menus go with it.
    if (childBar)
        connect(childBar, &QObject::destroyed, this, &VantrelMDI::showOwnMenus, Qt::UniqueConnection);
}

void VantrelMDI::showOwnMenus() {
    for (QAction* a : menuBar()->actions())
        menuBar()->removeAction(a);
    menuBar()->addActions(m_ownMenus);
}

void VantrelMDI::setBackColor(int32_t stored) {
    m_backColor = stored;
    applyBackground();
}

void VantrelMDI::setBackPicture(const QString& file) {
    if (file.isEmpty()) {
        m_picture = QPixmap();
    } else {
        m_picture = QPixmap::fromImage(readPicture(file, PictureView::onScreen()));
    }
    applyBackground();
}

void VantrelMDI::applyBackground() {
    m_area->setBackground(backgroundBrush(colourFromStored(m_backColor), m_picture, m_area->size()));
}

void VantrelMDI::closeEvent(QCloseEvent* event) {
    // The children go first, each with its own unload, then the frame's own; their settings
    // reach the file together.
    SettingsStore::Batch settings;
    for (Form* f : Forms::loaded())
        if (f != this && f->isMdiChild()) Forms::unload(f);
    Forms::unload(this);
    Steps(OnError::Ignore)([&] { settings.finish(); });
    event->accept();
}

bool VantrelMDI::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_time || watched == m_date || watched == statusBar()) &&
        event->type() == QEvent::MouseButtonRelease) {
        StatusBar1_PanelClick();
        return true;
    }
    if (watched == m_area->viewport()) {
        if (event->type() == QEvent::Resize && hasBackPicture()) applyBackground();
        // The right button over the empty background pops up the colour menu. A child
        // passes on a release it does not use, so the point must be clear of every child.
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::RightButton && mnuRC &&
                !m_area->viewport()->childAt(e->position().toPoint())) {
                Popup::show(mnuRC, e->globalPosition().toPoint());
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace pb
