#include "accessories/frm_diaries.h"

#include "data/working_files.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "platform/units.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/window_roles.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolBar>

namespace pb {

PB_REGISTER_WINDOW("frmDiaries", frmDiaries)

frmDiaries::frmDiaries()
    : ChildWindow("frmDiaries", QStringLiteral("NotePapers")),
      m_book(AppPath() + QLatin1String(working::kNotes)) {
    Toolbar = new QToolBar(QStringLiteral("Toolbar"), m_content);
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    Toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const struct {
        const char* key;
        const char* text;
        const char* icon;
    } buttons[] = {{"OpenNew", "Open new", "tb01-newrecord"},
                   {"FindRecord", "Find ", "tb08-find"},
                   {"SaveRecord", "Save Note", "tb02-save"},
                   {"Back", "Previous Note", "tb13-previous"},
                   {"Forward", "Next Note", "tb16-next"},
                   {"Drawing", "Apply PhoneBook Color and Font", "tb26-options"},
                   {"GoPrevious", "Previous", "tb15-beginning"},
                   {"GoNext", "Next", "tb14-end"}};
    for (const auto& b : buttons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* a = Toolbar->addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.icon))),
                                        QString::fromLatin1(b.text));
        a->setObjectName(QStringLiteral("tb") + key);
        a->setData(key);
        connect(a, &QAction::triggered, this, [this, key] { Toolbar_ButtonClick(key); });
    }
    m_layout->addWidget(Toolbar);

    auto* body = new QWidget(m_content);
    auto* v = new QVBoxLayout(body);
    auto* dateRow = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("Note Date:"), body);
    Label1->setAutoFillBackground(true);
    txtDate = new QLineEdit(body);
    txtDate->setObjectName(QStringLiteral("txtDate"));
    txtDate->setMaxLength(DiaryBook::kDateLength);
    dateRow->addWidget(Label1);
    dateRow->addWidget(txtDate, 1);
    v->addLayout(dateRow);
    txtDiaries = new QPlainTextEdit(body);
    txtDiaries->setObjectName(QStringLiteral("txtDiaries"));
    txtDiaries->setToolTip(QStringLiteral("max 960 char"));
    v->addWidget(txtDiaries, 1);
    m_layout->addWidget(body, 1);
    connect(txtDiaries, &QPlainTextEdit::textChanged, this, [this] { keepTextInBounds(); });
    txtDate->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
        if (from == txtDate) dateFocusLeft(m_dateLeftFor, to);
    });
    resize(twipsToPixels(7000), twipsToPixels(5500));
}

void frmDiaries::Form_Load() {
    Steps step(OnError::Ignore);
    PageNumber = 1;
    setWindowTitle(DiaryBook::caption(PageNumber));
    step([&] { m_book.open(); });
    step([&] {
        const DiaryBook::Page page = m_book.read(1);
        txtDate->setText(page.date);
        txtDiaries->setPlainText(page.text);
    });
}

void frmDiaries::Form_Unload() {
    // The focus leaves the date box as the window goes: no note then.
    m_unloading = true;
    // The shown page is not saved.
    m_book.close();
}

void frmDiaries::showPage(int page) {
    Steps step(OnError::Ignore);
    step([&] {
        const DiaryBook::Page p = m_book.read(page);
        txtDate->setText(p.date);
        txtDiaries->setPlainText(p.text);
    });
    setWindowTitle(DiaryBook::caption(page));
    PageNumber = page;
}

void frmDiaries::NextPage() {
    if (PageNumber >= DiaryBook::kLastPage) return;
    showPage(PageNumber + 1);
}

void frmDiaries::PreviousPage() {
    if (PageNumber <= 1) return;
    showPage(PageNumber - 1);
}

void frmDiaries::SavePage() {
    try {
        const QString stored =
            m_book.save(PageNumber, txtDate->text(), txtDiaries->toPlainText(), clockNow());
        txtDate->setText(stored);
    } catch (const VbError& e) {
        // The date box keeps what it had: nothing was stored.
        MsgBox(QStringLiteral("Note %1 could not be saved.\r\n").arg(PageNumber) + e.description(),
               mb::OKOnly | mb::Exclamation, QStringLiteral("NotePapers"));
    }
}

void frmDiaries::txtDate_LostFocus() {
    // The note leaves the keyboard where the user went: what they type next is for the text.
    prompts().notice(QStringLiteral("Date will be entered automatically upon saving.\r\n"
                                    "You can add your own date, else delete everything\r\n"
                                    "in date box and re-save."),
                     mb::OKOnly | mb::Information, QStringLiteral("~"));
}

bool frmDiaries::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtDate && event->type() == QEvent::FocusOut)
        m_dateLeftFor = static_cast<QFocusEvent*>(event)->reason();
    return ChildWindow::eventFilter(watched, event);
}

void frmDiaries::dateFocusLeft(Qt::FocusReason reason, QWidget* to) {
    // Only the user's own move to another control of this window: not another program, not a
    // menu, not the window being brought up or activated.
    const bool byUser = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                        reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
    if (byUser && !m_unloading && !QCoreApplication::closingDown() && to && to != txtDate && isAncestorOf(to))
        txtDate_LostFocus();
}

void frmDiaries::keepTextInBounds() {
    const QString text = txtDiaries->toPlainText();
    if (DiaryBook::storedLength(text) <= DiaryBook::kTextLength) return;
    QString cut = text;
    while (DiaryBook::storedLength(cut) > DiaryBook::kTextLength)
        cut.chop(1);
    QTextCursor c = txtDiaries->textCursor();
    const int at = std::min(c.position(), static_cast<int>(cut.size()));
    txtDiaries->setPlainText(cut);
    c = txtDiaries->textCursor();
    c.setPosition(at);
    txtDiaries->setTextCursor(c);
}

void frmDiaries::Toolbar_ButtonClick(const QString& key) {
    Steps step(OnError::Ignore);
    if (key == QLatin1String("SaveRecord"))
        step([&] { SavePage(); });
    else if (key == QLatin1String("Back"))
        step([&] { PreviousPage(); });
    else if (key == QLatin1String("Forward"))
        step([&] { NextPage(); });
    else if (key == QLatin1String("Drawing"))
        step([&] { applyPhoneBookLook(); });
}

void frmDiaries::applyPhoneBookLook() {
    const auto* book = loadedWindowAs<PhoneBookWindow>(QStringLiteral("Data"));
    if (!book) return;
    const PhoneBookWindow::Look look = book->look();
    const QColor back = colourFromStored(look.backColor);
    for (QWidget* w : {static_cast<QWidget*>(m_content), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(txtDate), static_cast<QWidget*>(txtDiaries)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, back);
        p.setColor(QPalette::Base, back);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    txtDiaries->setFont(look.textFont);
    QPalette p = txtDiaries->palette();
    p.setColor(QPalette::Text, look.textColor);
    txtDiaries->setPalette(p);
    update();
}

} // namespace pb
