#include "accessories/child_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

namespace pb {

ChildWindow::ChildWindow(const char* name, const QString& caption) {
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(caption);
    m_content = new QWidget;
    m_layout = new QVBoxLayout(m_content);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    setWidget(m_content);
}

QMenuBar* ChildWindow::menus() {
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(m_content);
        m_menuBar->setNativeMenuBar(false);
        m_menuBar->hide();
    }
    return m_menuBar;
}

QAction* ChildWindow::action(const QString& name) const {
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    Forms::unload(this);
    event->accept();
}

} // namespace pb
