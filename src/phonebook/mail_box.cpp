#include "phonebook/mail_box.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace pb {

MailBox::MailBox(bool multiLine, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (multiLine) {
        m_page = new QPlainTextEdit(this);
        m_page->setMinimumHeight(80);
        layout->addWidget(m_page);
    } else {
        m_line = new QLineEdit(this);
        layout->addWidget(m_line);
    }
    setFocusProxy(editor());
}

QString MailBox::text() const {
    return m_page ? m_page->toPlainText() : m_line->text();
}

void MailBox::setText(const QString& text) {
    if (m_page)
        m_page->setPlainText(text);
    else
        m_line->setText(text);
}

void MailBox::clear() {
    if (m_page)
        m_page->clear();
    else
        m_line->clear();
}

QWidget* MailBox::editor() const {
    return m_page ? static_cast<QWidget*>(m_page) : m_line;
}

} // namespace pb
