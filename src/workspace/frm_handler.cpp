#include "workspace/frm_handler.h"

#include "workspace/error_steps.h"
#include "workspace/module_services.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmHandler", frmHandler)

const QString frmHandler::kDefaultAddress = QStringLiteral("http://www.brenmoor.example/");

LinkwardControl::LinkwardControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LinkwardControl1"));
    m_address = new QLineEdit(frmHandler::kDefaultAddress, this);
    m_address->setObjectName(QStringLiteral("txtAddress"));
    auto* label = new QLabel(QStringLiteral("&Address:"), this);
    label->setBuddy(m_address);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(m_address, 1);
}

QString LinkwardControl::address() const {
    return m_address->text().trimmed();
}

void LinkwardControl::setAddress(const QString& address) {
    m_address->setText(address);
}

frmHandler::frmHandler() {
    setObjectName(QStringLiteral("frmHandler"));
    setWindowTitle(QStringLiteral("Linkward"));
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/icons/mdi-linkward.png"))
                           .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    LinkwardControl1 = new LinkwardControl(this);
    cmdCustom = new QPushButton(QStringLiteral("WebSurfer"), this);
    cmdCustom->setObjectName(QStringLiteral("cmdCustom"));
    cmdCustom->setEnabled(Forms::isRegistered(QStringLiteral("frmBrowser")));
    connect(cmdCustom, &QPushButton::clicked, this, &frmHandler::cmdCustom_Click);
    auto* row = new QHBoxLayout;
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addWidget(LinkwardControl1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(cmdCustom, 0, Qt::AlignRight);
    setMinimumWidth(460);
}

void frmHandler::cmdCustom_Click() {
    Steps step(OnError::Standard);
    step([] { playSound(sound::Navigate); }) && step([this] { ShowSurferAt(LinkwardControl1->address()); });
}

} // namespace pb
