// The text editor window: controls, menus, toolbar, settings, load and unload.
#include "accessories/frm_recordset.h"

#include "accessories/editor_icons.h"
#include "data/property_bag.h"
#include "data/working_files.h"
#include "platform/units.h"
#include "workspace/error_steps.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace pb {

PB_REGISTER_WINDOW("frmEditor", frmRecordset)

namespace {

// Where the box sits in the window's client area, and the margin it keeps, in twips.
constexpr int kBoxLeft = 120;
constexpr int kBoxTop = 480;
constexpr int kMargin = 90;
constexpr int kToolbarHeight = 330;
constexpr int kClientWidth = 7365;
constexpr int kClientHeight = 4515;

// A stored size or place is believed only within what a desktop can show.
constexpr double kLargestTwips = 200'000;

float storedTwips(const QVariant& v, bool isSize) {
    bool ok = false;
    const float f = v.toFloat(&ok);
    if (!ok || !std::isfinite(f) || std::fabs(f) > kLargestTwips || (isSize && f < 1))
        throw VbError(err::Overflow);
    return f;
}

// A key the bag does not hold is a failed read: the property keeps its value.
QVariant need(const PropertyBag& bag, const char* key) {
    const QString name = QString::fromLatin1(key);
    if (!bag.contains(name)) throw VbError(err::TypeMismatch);
    return bag.ReadProperty(name);
}

} // namespace

frmRecordset::frmRecordset() {
    setObjectName(QStringLiteral("frmRecordset"));
    setWindowTitle(QStringLiteral("TextEditor"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The menus show in the frame's bar while the editor is active (childMenus).
    menuBar = new QMenuBar(content);
    menuBar->setNativeMenuBar(false);
    menuBar->hide();
    m_client = new QWidget(content);
    m_client->installEventFilter(this);
    layout->addWidget(m_client, 1);
    Toolbar1 = new QToolBar(m_client);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setGeometry(0, 0, twipsToPixels(kClientWidth), twipsToPixels(kToolbarHeight));
    Toolbar1->setIconSize(QSize(16, 16));
    Rtf = new RichTextBox(m_client);
    Rtf->setGeometry(twipsToPixels(kBoxLeft), twipsToPixels(kBoxTop),
                     twipsToPixels(kClientWidth - kBoxLeft - kMargin),
                     twipsToPixels(kClientHeight - kBoxTop - kMargin));
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(12);
    Rtf->setFont(font);
    Rtf->document()->setDefaultFont(font);
    QPalette pal = Rtf->palette();
    pal.setColor(QPalette::Base, colourFromStored(kWindowBackground));
    Rtf->setPalette(pal);
    Rtf->setProperty("backColor", kWindowBackground);
    Rtf->viewport()->installEventFilter(this);
    // The right button opens the editor's own menu, never the box's standard one.
    Rtf->setContextMenuPolicy(Qt::PreventContextMenu);
    Rtf->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    connect(Rtf, &QTextEdit::cursorPositionChanged, this, &frmRecordset::Rtf_SelChange);
    connect(Rtf, &QTextEdit::selectionChanged, this, &frmRecordset::Rtf_SelChange);
    setWidget(content);
    // Every dialog of the editor ends its command on a cancel, from the first use on.
    frmRecordsetCD.CancelError = true;
    buildMenus();
    buildToolbar();
    resize(twipsToPixels(kClientWidth) + 12, twipsToPixels(kClientHeight) + 32);
    m_normal = geometry();
}

QString frmRecordset::EditorSettingsFile() {
    return AppPath() + QLatin1String(working::kEditorSettings);
}

QAction* frmRecordset::action(const QString& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* frmRecordset::toolbarButton(const QString& key) const {
    const auto it = m_buttons.find(key);
    return it == m_buttons.end() ? nullptr : it->second;
}

void frmRecordset::buildMenus() {
    MenuBuilder b{this, menuBar, m_actions};
    QMenu* file = b.top("mnuFile", "&File");
    b.item(file, "mnuNew", "&New", "Ctrl+N", [this] { mnuNew_Click(); });
    b.item(file, "mnuOpen", "&Open...", "Ctrl+O", [this] { mnuOpen_Click(); });
    b.item(file, "mnuSaveAs", "&Save As...", "Ctrl+S", [this] { mnuSaveAs_Click(); });
    b.sep(file);
    b.item(file, "mnuPrint", "&Print", "Ctrl+P", [this] { mnuPrint_Click(); });
    b.item(file, "mnuSend", "Se&nd...", "Ctrl+M", [this] { mnuSend_Click(); });
    b.sep(file);
    b.item(file, "mnuExit", "Close Text&Editor", "Alt+Backspace", [this] { mnuExit_Click(); });

    QMenu* edit = b.top("mnuEdit", "&Edit");
    b.item(edit, "mnuInsertImage", "Insert &Image...", nullptr, [this] { mnuInsertImage_Click(); });
    b.sep(edit);
    b.item(edit, "mnuAL", "Align &Left", nullptr, [this] { mnuAL_Click(); });
    b.item(edit, "mnuAC", "Align &Center", nullptr, [this] { mnuAC_Click(); });
    b.item(edit, "mnuAR", "Align &Right", nullptr, [this] { mnuAR_Click(); });
    b.sep(edit);
    b.item(edit, "mnuFind", "&Find", "Ctrl+F", [this] { mnuFind_Click(); });
    b.item(edit, "mnuFindNext", "Find Next", "F3", [this] { mnuFindNext_Click(); });
    b.sep(edit);
    b.item(edit, "mnuCopy", "C&opy", "Ctrl+C", [this] { mnuCopy_Click(); });
    b.item(edit, "mnuCut", "C&ut", "Ctrl+X", [this] { mnuCut_Click(); });
    b.item(edit, "mnuPaste", "P&aste", "Ctrl+V", [this] { mnuPaste_Click(); });
    b.sep(edit);
    b.item(edit, "mnuSelect", "&Select All", "Ctrl+A", [this] { mnuSelect_Click(); });
    b.item(edit, "mnuClear", "Cl&ear All", nullptr, [this] { mnuClear_Click(); });
    b.sep(edit);
    b.item(edit, "mnuRefresh", "&Refresh", nullptr, [this] { mnuRefresh_Click(); });

    QMenu* view = b.top("mnuView", "&View");
    b.item(view, "mnuVantrel", "&Vantrel", nullptr, [] {});
    view->menuAction()->setEnabled(false);
    b.top("mnuTools", "&Tools")->menuAction()->setEnabled(false);
    b.onlineMenu(OnlineMenu::Editor);

    b.windowMenu();

    QMenu* help = b.top("mnuHelp", "&Help");
    b.item(help, "mnuContents", "&Contents...", "F1", [] { ShowForm(QStringLiteral("frmHelp")); });
    b.sep(help);
    // The about window comes without a sound of its own and is not modal.
    b.item(help, "mnuAbout", "&About Dorvane...", nullptr, ShowAbout);

    // The right-click menu.
    mnuRClick = new QMenu(QStringLiteral("RightClick"), this);
    mnuRClick->setObjectName(QStringLiteral("mnuRClick"));
    const auto r = [&](const char* name, const char* caption, MenuBuilder::Handler h) {
        b.item(mnuRClick, name, caption, nullptr, std::move(h));
    };
    r("mnuRInsertImage", "Insert Image...", [this] { mnuInsertImage_Click(); });
    b.sep(mnuRClick);
    r("mnuROpen", "Open...", [this] { mnuOpen_Click(); });
    r("mnuRSaveAS", "Save As...", [this] { mnuSaveAs_Click(); });
    b.sep(mnuRClick);
    r("mnuRPrint", "Print", [this] { mnuPrint_Click(); });
    r("mnuRSend", "Send...", [this] { mnuSend_Click(); });
    b.sep(mnuRClick);
    r("mnuRFont", "Font", [this] { mnuRFont_Click(); });
    r("mnuRBC", "BackColor", [this] { mnuRBC_Click(); });
    b.sep(mnuRClick);
    r("mnuRAL", "Align Left", [this] { setAlignment(0); });
    r("mnuRAC", "Align Center", [this] { setAlignment(2); });
    r("mnuRAR", "Align Right", [this] { setAlignment(1); });
    b.sep(mnuRClick);
    r("mnuRFind", "Find", [this] { mnuFind_Click(); });
    r("mnuRFindNext", "Find Next", [this] { mnuFindNext_Click(); });
    b.sep(mnuRClick);
    r("mnuRCopy", "Copy", [this] { mnuCopy_Click(); });
    r("mnuRCut", "Cut", [this] { mnuCut_Click(); });
    r("mnuRPaste", "Paste", [this] { mnuPaste_Click(); });
    b.sep(mnuRClick);
    r("mnuRSelectAll", "Select All", [this] { mnuSelect_Click(); });
    r("mnuRClear", "Clear All", [this] { mnuClear_Click(); });
}

void frmRecordset::buildToolbar() {
    static const char* const groups[][4] = {{"New", "Open", "Save", nullptr},
                                            {"Print", "Mail", nullptr, nullptr},
                                            {"Cut", "Copy", "Paste", "Delete"},
                                            {"Find", nullptr, nullptr, nullptr},
                                            {"Bold", "Italic", "Underline", "Strike Through"},
                                            {"Align Left", "Center", "Align Right", "Justify"}};
    bool first = true;
    for (const auto& group : groups) {
        if (!first) Toolbar1->addSeparator();
        first = false;
        for (const char* k : group) {
            if (!k) continue;
            const QString key = QString::fromLatin1(k);
            QAction* a = Toolbar1->addAction(editorIcon(key), key);
            a->setData(key);
            a->setToolTip(key == QLatin1String("Mail") ? QStringLiteral("Send") : key);
            a->setObjectName(QStringLiteral("tb") + QString(key).remove(QLatin1Char(' ')));
            static const QStringList checkable = {
                QStringLiteral("Bold"),           QStringLiteral("Italic"),     QStringLiteral("Underline"),
                QStringLiteral("Strike Through"), QStringLiteral("Align Left"), QStringLiteral("Center"),
                QStringLiteral("Align Right"),    QStringLiteral("Justify")};
            a->setCheckable(checkable.contains(key));
            connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
            m_buttons[key] = a;
        }
    }
}

void frmRecordset::Form_Load() {
    // Nothing here is reported: a missing or damaged file leaves the layout values.
    PropertyBag bag;
    Steps step(OnError::Ignore);
    step([&] {
        // The first load leaves an empty file behind, as the settings file is opened for writing too.
        const QString path = EditorSettingsFile();
        if (!QFileInfo::exists(path)) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
        }
        bag = loadBagFile(path);
    });
    LoadEditorSettings(bag);
    Form_Resize();
}

void frmRecordset::LoadEditorSettings(const PropertyBag& bag) {
    Steps step(OnError::Ignore);
    QRect g = geometry();
    bool placed = false;
    step([&] { g.setWidth(twipsToPixels(storedTwips(need(bag, "frmRecordsetWidth"), true))); });
    step([&] { g.setHeight(twipsToPixels(storedTwips(need(bag, "frmRecordsetHeight"), true))); });
    step([&] {
        g.moveTop(twipsToPixels(storedTwips(need(bag, "frmRecordsetTop"), false)));
        placed = true;
    });
    step([&] {
        g.moveLeft(twipsToPixels(storedTwips(need(bag, "frmRecordsetLeft"), false)));
        placed = true;
    });
    // Moved only by a stored place: without one the frame puts the window in view.
    resize(g.size());
    if (placed) move(g.topLeft());
    m_normal = g;
    step([&] {
        const QVariant v = need(bag, "frmRecordsetWindowState");
        bool ok = false;
        const int state = v.toInt(&ok);
        if (!ok || state < 0 || state > 2) throw VbError(err::Overflow);
        setWindowState(state == 2   ? Qt::WindowMaximized
                       : state == 1 ? Qt::WindowMinimized
                                    : Qt::WindowNoState);
    });
    step([&] {
        bool ok = false;
        const int32_t colour = static_cast<int32_t>(need(bag, "rtfBackColor").toLongLong(&ok));
        if (!ok) throw VbError(err::TypeMismatch);
        QPalette pal = Rtf->palette();
        pal.setColor(QPalette::Base, colourFromStored(colour));
        Rtf->setPalette(pal);
        Rtf->setProperty("backColor", colour);
    });
    QFont font = Rtf->font();
    step([&] {
        const QVariant v = need(bag, "rtfTextSize");
        const double size = v.canConvert<PropertyBag::Currency>()
                                ? v.value<PropertyBag::Currency>().tenThousandths / 10000.0
                                : v.toDouble();
        if (!std::isfinite(size) || size < 1 || size > 1638) throw VbError(err::Overflow);
        font.setPointSizeF(size);
    });
    const auto flag = [&](const char* key, auto apply) {
        step([&] {
            const QVariant v = need(bag, key);
            if (v.userType() != QMetaType::Bool) throw VbError(err::TypeMismatch);
            apply(v.toBool());
        });
    };
    flag("rtfTextUnderline", [&](bool on) { font.setUnderline(on); });
    flag("rtfTextStrikeThrough", [&](bool on) { font.setStrikeOut(on); });
    flag("rtfTextBold", [&](bool on) { font.setBold(on); });
    flag("rtfTextItalic", [&](bool on) { font.setItalic(on); });
    step([&] {
        const QString name = need(bag, "rtfTextName").toString();
        if (name.isEmpty()) throw VbError(err::TypeMismatch);
        // The family asked for is kept even when the desktop lacks it.
        font.setFamilies({name});
        font.setFamily(name);
    });
    Rtf->setFont(font);
    Rtf->document()->setDefaultFont(font);
    // The font dialog and the printer always start from the box's font.
    frmRecordsetCD.FontSize = static_cast<float>(font.pointSizeF());
    frmRecordsetCD.FontUnderline = font.underline();
    frmRecordsetCD.FontStrikethru = font.strikeOut();
    frmRecordsetCD.FontBold = font.bold();
    frmRecordsetCD.FontItalic = font.italic();
    frmRecordsetCD.FontName = font.family();
}

void frmRecordset::SaveEditorSettings(PropertyBag& bag) const {
    const QRect g = isMaximized() || isMinimized() ? m_normal : geometry();
    bag.WriteProperty(QStringLiteral("frmRecordsetWidth"), static_cast<float>(pixelsToTwips(g.width())));
    bag.WriteProperty(QStringLiteral("frmRecordsetHeight"), static_cast<float>(pixelsToTwips(g.height())));
    bag.WriteProperty(QStringLiteral("frmRecordsetTop"), static_cast<float>(pixelsToTwips(g.top())));
    bag.WriteProperty(QStringLiteral("frmRecordsetLeft"), static_cast<float>(pixelsToTwips(g.left())));
    bag.WriteProperty(QStringLiteral("frmRecordsetWindowState"), static_cast<qint16>(isMaximized() ? 2 : 0));
    bag.WriteProperty(QStringLiteral("rtfBackColor"), Rtf->property("backColor").toInt());
    const QFont f = Rtf->font();
    bag.WriteProperty(QStringLiteral("rtfTextSize"),
                      QVariant::fromValue(PropertyBag::Currency{std::llround(f.pointSizeF() * 10000)}));
    bag.WriteProperty(QStringLiteral("rtfTextUnderline"), f.underline());
    bag.WriteProperty(QStringLiteral("rtfTextStrikeThrough"), f.strikeOut());
    bag.WriteProperty(QStringLiteral("rtfTextBold"), f.bold());
    bag.WriteProperty(QStringLiteral("rtfTextItalic"), f.italic());
    bag.WriteProperty(QStringLiteral("rtfTextName"), f.family());
}

void frmRecordset::Form_Unload() {
    Steps step(OnError::Ignore);
    // Minimised, the normal place and size are saved, with the normal state.
    step([&] {
        if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    });
    step([&] {
        PropertyBag bag;
        SaveEditorSettings(bag);
        saveBagFile(EditorSettingsFile(), bag);
    });
}

void frmRecordset::Form_Resize() {
    if (isMinimized()) return;
    const QSize inner = m_client->size();
    const int top = Rtf->y();
    const int left = Rtf->x();
    const int h = inner.height() - twipsToPixels(kMargin) - top;
    const int w = inner.width() - left - twipsToPixels(kMargin);
    if (h >= 0) Rtf->resize(Rtf->width(), h);
    if (w >= 0) Rtf->resize(w, Rtf->height());
    Toolbar1->resize(inner.width(), Toolbar1->height());
}

void frmRecordset::rememberNormalGeometry() {
    if (!isMaximized() && !isMinimized()) m_normal = geometry();
}

void frmRecordset::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    rememberNormalGeometry();
}

void frmRecordset::moveEvent(QMoveEvent* event) {
    QMdiSubWindow::moveEvent(event);
    rememberNormalGeometry();
}

void frmRecordset::closeEvent(QCloseEvent* event) {
    // The window's close box unloads it like Close TextEditor.
    Forms::unload(this);
    event->accept();
}

bool frmRecordset::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) Form_Resize();
    if (Rtf && watched == Rtf->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::RightButton) {
            mnuRClick->popup(e->globalPosition().toPoint());
            return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void frmRecordset::mnuExit_Click() {
    Forms::unload(this);
}

} // namespace pb
