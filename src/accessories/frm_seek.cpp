#include "accessories/frm_seek.h"

#include "accessories/file_lists.h"
#include "platform/native_name.h"
#include "platform/prompts.h"
#include "platform/units.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/vantrel_mdi.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

namespace pb {

PB_REGISTER_WINDOW("frmSeek", frmSeek)

namespace {
const QString kSearch = QStringLiteral("&Search");
const QString kReset = QStringLiteral("&Reset");
const QString kExit = QStringLiteral("E&xit");
const QString kCancel = QStringLiteral("Cancel");
// Events are let through at most this often while searching.
constexpr int kEventPassMs = 16;
} // namespace

frmSeek::frmSeek() : ChildWindow("frmSeek", QStringLiteral("Search for...")) {
    auto* body = new QWidget(m_content);
    auto* v = new QVBoxLayout(body);

    Picture1 = new QWidget(body);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    auto* criteria = new QGridLayout(Picture1);
    drvList = new DriveListBox(Picture1);
    dirList = new DirListBox(Picture1);
    filList = new FileListBox(Picture1);
    auto* lblCriteria = new QLabel(QStringLiteral("Find:"), Picture1);
    txtSearchSpec = new QLineEdit(QStringLiteral("*.*"), Picture1);
    txtSearchSpec->setObjectName(QStringLiteral("txtSearchSpec"));
    criteria->addWidget(drvList, 0, 0);
    criteria->addWidget(dirList, 1, 0);
    criteria->addWidget(lblCriteria, 0, 1);
    criteria->addWidget(txtSearchSpec, 0, 2);
    criteria->addWidget(filList, 1, 1, 1, 2);

    Picture2 = new QWidget(body);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    auto* results = new QGridLayout(Picture2);
    auto* lblfound = new QLabel(QStringLiteral("&Files Found:"), Picture2);
    lblCount = new QLabel(QStringLiteral("0"), Picture2);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblSkipped = new QLabel(Picture2);
    lstFoundFiles = new QListWidget(Picture2);
    lstFoundFiles->setObjectName(QStringLiteral("lstFoundFiles"));
    lstFoundFiles->setUniformItemSizes(true);
    lblfound->setBuddy(lstFoundFiles);
    results->addWidget(lblfound, 0, 0);
    results->addWidget(lblCount, 0, 1);
    results->addWidget(lblSkipped, 0, 2);
    results->addWidget(lstFoundFiles, 1, 0, 1, 3);
    results->setColumnStretch(2, 1);
    Picture2->hide();

    auto* buttons = new QHBoxLayout;
    cmdSearch = new QPushButton(kSearch, body);
    cmdExit = new QPushButton(kExit, body);
    buttons->addStretch(1);
    buttons->addWidget(cmdSearch);
    buttons->addWidget(cmdExit);
    v->addWidget(Picture1, 1);
    v->addWidget(Picture2, 1);
    v->addLayout(buttons);
    m_layout->addWidget(body, 1);

    connect(cmdSearch, &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
    connect(drvList, &QComboBox::activated, this, [this] { drvList_Change(); });
    connect(dirList, &DirListBox::Change, this, [this] { dirList_Change(); });
    // A folder that vanished or cannot be read is told, like one chosen with the keys.
    connect(dirList, &QListWidget::itemDoubleClicked, this, [this] {
        if (dirList->highlightedPath() != dirList->path()) openFolderOrSay(dirList->highlightedPath());
    });
    connect(txtSearchSpec, &QLineEdit::textChanged, this, [this] { txtSearchSpec_Change(); });
    connect(filList, &QListWidget::itemDoubleClicked, this, [this] { filList_DblClick(); });
    connect(lstFoundFiles, &QListWidget::itemDoubleClicked, this, [this] { lstFoundFiles_DblClick(); });
    for (QWidget* w : {static_cast<QWidget*>(dirList), static_cast<QWidget*>(txtSearchSpec),
                       static_cast<QWidget*>(filList), static_cast<QWidget*>(lstFoundFiles)})
        w->installEventFilter(this);
    filList->viewport()->installEventFilter(this);
    lstFoundFiles->viewport()->installEventFilter(this);
    resize(twipsToPixels(7500), twipsToPixels(5500));
}

void frmSeek::Form_Load() {
    Picture1->raise();
    Steps(OnError::Ignore)([&] {
        dirList->setPath(QDir::currentPath());
        drvList->setDriveOf(dirList->path());
    });
    filList->setPattern(txtSearchSpec->text());
}

void frmSeek::Form_Unload() {
    // A search still running stops at its next folder.
    m_unloaded = true;
    SearchFlag = false;
}

void frmSeek::openFolderOrSay(const QString& folder) {
    try {
        dirList->setPath(folder);
    } catch (const VbError&) {
        MsgBox(QStringLiteral("The folder\r\n") + folder + QStringLiteral("\r\ncannot be opened."),
               mb::OKOnly | mb::Exclamation, QStringLiteral("Search for..."));
    }
}

void frmSeek::cmdSearch_Click() {
    // A click that arrives while the search lets events through never starts another one.
    if (m_searching) return;
    if (cmdSearch->text() == kReset) {
        ResetSearch();
        txtSearchSpec->setFocus();
        return;
    }
    if (dirList->highlightedPath() != dirList->path()) {
        openFolderOrSay(dirList->highlightedPath());
        return;
    }
    Picture1->hide();
    Picture2->show();
    cmdExit->setText(kCancel);
    filList->setPattern(txtSearchSpec->text());
    QPointer<frmSeek> self(this);
    DirDiver(dirList->path());
    if (!self || m_unloaded) return;
    filList->setPath(dirList->path());
    cmdSearch->setText(kReset);
    cmdSearch->setFocus();
    cmdExit->setText(kExit);
    if (m_closeAfterSearch) Forms::unload(this);
}

bool frmSeek::letEventsThrough() {
    if (m_sinceEvents.elapsed() >= kEventPassMs) {
        flushFound();
        QPointer<frmSeek> self(this);
        QCoreApplication::processEvents();
        if (!self) return false;
        m_sinceEvents.restart();
    }
    return SearchFlag && !m_unloaded;
}

void frmSeek::flushFound() {
    // The list shows each path readable; a name that is not UTF-8 keeps its own bytes beside.
    const int first = lstFoundFiles->count();
    QStringList shown;
    shown.reserve(m_pending.size());
    for (const QString& path : std::as_const(m_pending))
        shown << native::shown(path);
    lstFoundFiles->addItems(shown);
    for (int i = 0; i < m_pending.size(); ++i)
        if (native::hasStandIns(m_pending[i]))
            lstFoundFiles->item(first + i)->setData(Qt::UserRole, m_pending[i]);
    m_pending.clear();
    lblCount->setText(m_found == 0 ? QStringLiteral("0") : convert::signPlace(m_found));
}

bool frmSeek::DirDiver(const QString& folder) {
    m_searching = true;
    SearchFlag = true;
    m_found = lstFoundFiles->count();
    m_skipped = 0;
    lblSkipped->clear();
    const NamePattern pattern(txtSearchSpec->text());
    FolderWalk walk;
    walk.list = [&](const QString& f, FolderListing& out) { return lister(f, pattern, out); };
    walk.keepGoing = [this] { return letEventsThrough(); };
    walk.found = [this](const QString& path) {
        if (m_found >= kFoundCap) {
            flushFound();
            MsgBox(QStringLiteral("You've filled the list box. Abandoning search..."), mb::OKOnly);
            return false;
        }
        m_pending << path;
        ++m_found;
        return true;
    };
    QPointer<frmSeek> self(this);
    m_sinceEvents.start();
    const FolderWalk::Result r = walk.run(folder);
    if (!self) return true;
    flushFound();
    m_skipped = r.skipped;
    if (r.skipped > 0)
        lblSkipped->setText(r.skipped == 1 ? QStringLiteral("(1 folder could not be read)")
                                           : QStringLiteral("(%1 folders could not be read)").arg(r.skipped));
    m_searching = false;
    return r.abandoned;
}

void frmSeek::cmdExit_Click() {
    if (cmdExit->text() == kExit)
        Forms::unload(this);
    else
        SearchFlag = false;
}

void frmSeek::closeEvent(QCloseEvent* event) {
    if (m_searching) {
        // The walk is on the stack: stop it, and close once it has returned.
        SearchFlag = false;
        m_closeAfterSearch = true;
        event->ignore();
        return;
    }
    ChildWindow::closeEvent(event);
}

void frmSeek::ResetSearch() {
    lstFoundFiles->clear();
    m_found = 0;
    lblCount->setText(QStringLiteral("0"));
    lblSkipped->clear();
    Picture2->hide();
    cmdSearch->setText(kSearch);
    cmdExit->setText(kExit);
    Picture1->show();
    openFolderOrSay(QDir::currentPath());
    drvList->setDriveOf(dirList->path());
}

void frmSeek::drvList_Change() {
    try {
        dirList->setPath(drvList->drive());
    } catch (const VbError&) {
        drvList->setDriveOf(dirList->path());
    }
}

void frmSeek::dirList_Change() {
    filList->setPath(dirList->path());
}

void frmSeek::txtSearchSpec_Change() {
    filList->setPattern(txtSearchSpec->text());
}

void frmSeek::filList_DblClick() {
    const QString name = filList->FileName();
    if (name.isEmpty()) return;
    const QString path = joinPath(dirList->path(), name);
    Steps(OnError::Ignore)([&] { Forms::get<VantrelMDI>()->OpenMyFile(path, false); });
}

void frmSeek::lstFoundFiles_DblClick() {
    const QListWidgetItem* item = lstFoundFiles->currentItem();
    if (!item) return;
    const QVariant own = item->data(Qt::UserRole);
    Forms::get<VantrelMDI>()->OpenMyFile(own.isValid() ? own.toString() : item->text(), false);
}

bool frmSeek::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (watched == dirList && t == QEvent::FocusOut) {
        openFolderOrSay(dirList->highlightedPath());
    } else if (watched == txtSearchSpec && t == QEvent::FocusIn) {
        QTimer::singleShot(0, txtSearchSpec, [box = txtSearchSpec] { box->selectAll(); });
    } else if ((t == QEvent::FocusIn || t == QEvent::MouseMove) &&
               (watched == filList || watched == filList->viewport())) {
        filList->setToolTip(native::shown(filList->FileName()));
    } else if ((t == QEvent::FocusIn || t == QEvent::MouseMove) &&
               (watched == lstFoundFiles || watched == lstFoundFiles->viewport())) {
        const QListWidgetItem* item = lstFoundFiles->currentItem();
        lstFoundFiles->setToolTip(item ? item->text() : QString());
    }
    return ChildWindow::eventFilter(watched, event);
}

} // namespace pb
