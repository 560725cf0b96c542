#include "workspace/top_window.h"

#include "workspace/vantrel_mdi.h"

#include <QCloseEvent>

namespace pb {

TopWindow::TopWindow() : QDialog(Forms::get<VantrelMDI>()) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void TopWindow::reject() {
    Forms::unload(this);
}

void TopWindow::closeEvent(QCloseEvent* event) {
    Forms::unload(this);
    event->accept();
}

} // namespace pb
