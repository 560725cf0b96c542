// The phone book window's controls and look.
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/picture_file.h"
#include "platform/units.h"
#include "platform/vb_error.h"
#include "workspace/error_steps.h"
#include "workspace/menu_builder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QToolBar>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("Data", Data)

namespace {

// The window's surface: its colour, with the built-in picture drawn at its own
// size from the top-left corner, behind the controls.
class Surface : public QWidget {
public:
    explicit Surface(Data* owner) : QWidget(owner), m_owner(owner) {
        m_picture.load(QStringLiteral(":/pictures/databack.jpg"));
    }
    // Painted here rather than set in the palette, which every child would inherit.
    void setColour(const QColor& c) {
        m_colour = c;
        update();
    }
    void setPicture(const QPixmap& p) {
        m_picture = p;
        update();
    }
    const QPixmap& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), m_colour.isValid() ? m_colour : palette().color(QPalette::Window));
        if (!m_picture.isNull()) p.drawPixmap(0, 0, m_picture);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        // The right button on the window's own surface pops up its "BackGround" menu; a
        // caption or a box passes its release on to here, and that is no click on the surface.
        if (e->button() == Qt::RightButton && m_owner->mnuBackColor &&
            isBare(childAt(e->position().toPoint()))) {
            Popup::show(m_owner->mnuBackColor, e->globalPosition().toPoint());
            e->accept();
        }
    }

private:
    // The picture preview shows nothing while the record has no picture: there the user
    // sees only the surface.
    bool isBare(const QWidget* child) const {
        return !child || ((child == m_owner->picContainer || child == m_owner->imgPreview) &&
                          m_owner->imgPreview->pixmap().isNull());
    }

    Data* m_owner;
    QColor m_colour;
    QPixmap m_picture;
};

// How many characters each field box lets the user type.
constexpr std::array<int, 8> kTypingLimits = {19, 20, 27, 33, 40, 100, 160, 19};

} // namespace

Data::Data() {
    setObjectName(QStringLiteral("Data"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls();
    buildMenus();
    buildToolbars();
    resetState();
    connectFindControls();
    // Never smaller than its design size: the boxes and the list need the room.
    setMinimumSize(twipsToPixels(14265), twipsToPixels(9500));
    resize(twipsToPixels(14265), twipsToPixels(9500));
}

Data::~Data() = default;

void Data::buildControls() {
    auto* content = new QWidget;
    auto* outer = new QVBoxLayout(content);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    menuBar = new QMenuBar(content);
    menuBar->setNativeMenuBar(false);
    menuBar->hide();

    CoolBar1 = new QWidget(content);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    auto* cool = new QHBoxLayout(CoolBar1);
    cool->setContentsMargins(2, 0, 2, 0);
    Toolbar1 = new QToolBar(QStringLiteral("Toolbar1"), CoolBar1);
    Toolbar2 = new QToolBar(QStringLiteral("Toolbar2"), CoolBar1);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    for (QToolBar* t : {Toolbar1, Toolbar2})
        t->setIconSize(QSize(24, 24));
    cool->addWidget(Toolbar1);
    cool->addWidget(Toolbar2);
    cool->addStretch(1);
    outer->addWidget(CoolBar1);

    auto* surface = new Surface(this);
    m_surface = surface;
    outer->addWidget(m_surface, 1);
    auto* columns = new QHBoxLayout(m_surface);
    columns->setContentsMargins(14, 14, 14, 14);
    columns->setSpacing(16);

    // Left: the find box with its options, and the record list.
    auto* left = new QVBoxLayout;
    txtFind = new QLineEdit(m_surface);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    auto* lblFind = new QLabel(QStringLiteral("Find:"), m_surface);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    lblFind->setBuddy(txtFind);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(lblFind);
    findRow->addWidget(txtFind, 1);
    left->addLayout(findRow);
    auto* opts = new QHBoxLayout;
    OptFirst = new QRadioButton(m_surface);
    OptLast = new QRadioButton(m_surface);
    OptEmail = new QRadioButton(m_surface);
    OptFirst->setChecked(true);
    for (QRadioButton* o : {OptFirst, OptLast, OptEmail})
        opts->addWidget(o);
    left->addLayout(opts);
    lstRecord = new QListView(m_surface);
    lstRecord->setObjectName(QStringLiteral("lstRecord"));
    lstRecordModel = new RecordListModel(this);
    lstRecord->setModel(lstRecordModel);
    lstRecord->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecord->setUniformItemSizes(true); // instant on the largest book
    lstRecord->setMinimumWidth(250);
    // A pick with the mouse is a click; with the keys, the highlight moving while the
    // list has the focus (a mouse press moves it too, and then the click follows).
    connect(lstRecord, &QListView::clicked, this, [this] { lstRecord_Click(); });
    connect(lstRecord->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (lstRecord->hasFocus() && QApplication::mouseButtons() == Qt::NoButton && !m_quietList)
            lstRecord_Click();
    });
    left->addWidget(lstRecord, 1);
    columns->addLayout(left, 0);

    // Middle: the captioned field boxes, the picture name and the record number.
    auto* form = new QGridLayout;
    form->setVerticalSpacing(8);
    const int rows[7] = {0, 1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 8; ++i) {
        txtInfo[i] = new FieldBox(m_surface);
        txtInfo[i]->setObjectName(QStringLiteral("txtInfo%1").arg(i));
        txtInfo[i]->setTypingLimit(kTypingLimits[i]);
    }
    for (int i = 0; i < 7; ++i) {
        lblinfo[i] = new QLabel(m_surface);
        lblinfo[i]->setObjectName(QStringLiteral("lblinfo%1").arg(i));
        lblinfo[i]->setBuddy(txtInfo[i]);
        form->addWidget(lblinfo[i], rows[i], 0);
        form->addWidget(txtInfo[i], rows[i], 1);
    }
    form->addWidget(txtInfo[7], 7, 1);
    auto* recLabel = new QLabel(QStringLiteral("Record"), m_surface);
    txtRecord = new FieldBox(m_surface);
    txtRecord->setObjectName(QStringLiteral("txtRecord"));
    txtRecord->setMaximumWidth(90);
    form->addWidget(recLabel, 8, 0);
    form->addWidget(txtRecord, 8, 1, Qt::AlignLeft);
    form->setColumnStretch(1, 1);
    form->setRowStretch(9, 1);
    columns->addLayout(form, 1);

    // Right: the picture preview and the mail panel.
    auto* right = new QVBoxLayout;
    picContainer = new QWidget(m_surface);
    picContainer->setObjectName(QStringLiteral("picContainer"));
    picContainer->setFixedSize(200, 200);
    imgPreview = new QLabel(picContainer);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setGeometry(0, 0, 200, 200);
    imgPreview->setAlignment(Qt::AlignCenter);
    right->addWidget(picContainer);
    auto* mail = new QGroupBox(QStringLiteral("Mail"), m_surface);
    mail->setObjectName(QStringLiteral("fraMail"));
    auto* mailForm = new QFormLayout(mail);
    // The captions name what the mail uses each box for: the send takes the name, the
    // subject and the message; the address box only shows the contact's address.
    const char* mailCaptions[4] = {"Name:", "E-mail:", "Subject:", "Message:"};
    const char* mailTips[4] = {"Full Name", "E-mail", "Subject", "Message"};
    for (int i = 0; i < 4; ++i) {
        txtForMail[i] = new MailBox(i == 3, mail);
        txtForMail[i]->setObjectName(QStringLiteral("txtForMail%1").arg(i));
        txtForMail[i]->setToolTip(QString::fromLatin1(mailTips[i]));
        txtForMail[i]->editor()->setToolTip(QString::fromLatin1(mailTips[i]));
        mailForm->addRow(QString::fromLatin1(mailCaptions[i]), txtForMail[i]);
    }
    right->addWidget(mail);
    right->addStretch(1);
    columns->addLayout(right, 0);

    setWidget(content);

    // Shift + arrows move between records wherever the focus is, except inside
    // a text box, where they select text as usual.
    for (QWidget* w : {static_cast<QWidget*>(lstRecord), m_surface, static_cast<QWidget*>(OptFirst),
                       static_cast<QWidget*>(OptLast), static_cast<QWidget*>(OptEmail)})
        w->installEventFilter(this);
    for (int i = 0; i < 7; ++i)
        txtInfo[i]->installEventFilter(this); // txtInfo_GotFocus
    // The window's shortcuts come before a text box's own use of the same keys.
    for (QLineEdit* box : std::initializer_list<QLineEdit*>{txtInfo[7], txtRecord, txtFind})
        box->installEventFilter(this);
    for (MailBox* box : txtForMail)
        box->editor()->installEventFilter(this);
}

QAction* Data::action(const QString& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* Data::toolbarButton(QToolBar* bar, int position) const {
    const QList<QAction*> all = bar->actions();
    return position >= 1 && position <= all.size() ? all[position - 1] : nullptr;
}

void Data::setBackColor(int32_t stored) {
    m_backColor = stored;
    static_cast<Surface*>(m_surface)->setColour(colourFromStored(stored));
}

void Data::setBackPicture(const QString& file) {
    static_cast<Surface*>(m_surface)->setPicture(
        file.isEmpty() ? QPixmap() : QPixmap::fromImage(readPicture(file, PictureView::onScreen())));
}

bool Data::hasBackPicture() const {
    return !backPicture().isNull();
}

QPixmap Data::backPicture() const {
    return static_cast<Surface*>(m_surface)->picture();
}

void Data::labelBackcolor() {
    const QColor c = colourFromStored(m_backColor);
    for (int i = 0; i < 7; ++i) {
        QPalette p = txtInfo[i]->palette();
        p.setColor(QPalette::Base, c);
        txtInfo[i]->setPalette(p);
    }
}

void Data::textFont() {
    const CommonDialog& d = dlgFileOpen[1];
    Steps step(OnError::Ignore);
    // Each attribute is a step of its own: one that fails leaves the box's own value.
    using Change = std::function<void(QFont&)>;
    const auto set = [&](QWidget* box, const Change& change) {
        step([&] {
            QFont f = box->font();
            change(f);
            box->setFont(f);
        });
    };
    const Change name = [&](QFont& f) { f.setFamily(d.FontName); };
    const Change size = [&](QFont& f) {
        // A size no box can show (from a damaged setting) would collapse the boxes.
        if (!(d.FontSize > 0 && d.FontSize <= kMaxFieldFontSize)) throw VbError(380);
        f.setPointSizeF(d.FontSize);
    };
    const Change bold = [&](QFont& f) { f.setBold(d.FontBold); };
    const Change italic = [&](QFont& f) { f.setItalic(d.FontItalic); };
    const Change underline = [&](QFont& f) { f.setUnderline(d.FontUnderline); };
    const Change strike = [&](QFont& f) { f.setStrikeOut(d.FontStrikethru); };
    for (int i = 0; i < 7; ++i) {
        for (const auto& change : {name, size, bold, italic})
            set(txtInfo[i], change);
        step([&] {
            QPalette p = txtInfo[i]->palette();
            p.setColor(QPalette::Text, colourFromStored(d.Color));
            txtInfo[i]->setPalette(p);
        });
        set(txtInfo[i], underline);
        set(txtInfo[i], strike);
    }
    // The mail boxes take neither the size nor the colour; the find box only name and size.
    for (MailBox* box : txtForMail)
        for (const auto& change : {name, bold, italic, underline, strike})
            set(box, change);
    set(txtFind, name);
    set(txtFind, size);
}

void Data::putLabels() {
    for (int i = 0; i < 7; ++i)
        lblinfo[i]->setText(pbm().Label[i]);
}

void Data::txtInfo_GotFocus(int Index) {
    Q_UNUSED(Index);
    putLabels();
    for (int i = 0; i < 7; ++i)
        txtInfo[i]->update();
}

void Data::keyPressEvent(QKeyEvent* event) {
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (event->modifiers() & Qt::ControlModifier) shift |= 2;
    if (event->modifiers() & Qt::AltModifier) shift |= 4;
    int code = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        code = 37;
        break;
    case Qt::Key_Up:
        code = 38;
        break;
    case Qt::Key_Right:
        code = 39;
        break;
    case Qt::Key_Down:
        code = 40;
        break;
    default:
        QMdiSubWindow::keyPressEvent(event);
        return;
    }
    if (shift == 1) {
        Form_KeyDown(code, shift);
        event->accept();
        return;
    }
    QMdiSubWindow::keyPressEvent(event);
}

bool Data::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        (qobject_cast<QLineEdit*>(watched) || qobject_cast<QPlainTextEdit*>(watched))) {
        // Left unaccepted, the key goes to the window's menu item instead of the box.
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        for (QAction* a : actions())
            if (a->isEnabled() && a->shortcut() == keys) return true;
    }
    if (event->type() == QEvent::FocusIn && watched == lstRecord) {
        // A list without a highlight highlights its first line as it takes the focus:
        // that is no pick of record 1.
        const QScopedValueRollback quiet(m_quietList, true);
        static_cast<QObject*>(lstRecord)->event(event);
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < 7; ++i)
            if (watched == txtInfo[i]) txtInfo_GotFocus(i);
        return QMdiSubWindow::eventFilter(watched, event);
    }
    // In the many-line message box Shift + arrows select lines of the message, as in any editor.
    if (event->type() == QEvent::KeyPress && !qobject_cast<FieldBox*>(watched) &&
        !qobject_cast<QPlainTextEdit*>(watched)) {
        auto* k = static_cast<QKeyEvent*>(event);
        const bool arrow = k->key() == Qt::Key_Left || k->key() == Qt::Key_Right || k->key() == Qt::Key_Up ||
                           k->key() == Qt::Key_Down;
        if (arrow && (k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
                         Qt::ShiftModifier) {
            keyPressEvent(k);
            return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void Data::closeEvent(QCloseEvent* event) {
    // Closing the window is its unload; the registry runs Form_Unload once.
    Forms::unload(this);
    event->accept();
}

} // namespace pb
