#include "workspace/frm_about.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmAbout", frmAbout)

frmAbout::frmAbout() {
    setObjectName(QStringLiteral("frmAbout"));
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/dorvane.png")));
    lblDescription =
        new QLabel(QStringLiteral("\"An application for saving phonebook and contact information\""), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);
    auto* row = new QHBoxLayout;
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addWidget(lblDescription, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(cmdOk, 0, Qt::AlignRight);
    setMinimumWidth(380);
}

QString frmAbout::versionCaption() {
    return QStringLiteral("Dorvane v.%1.%2.%3")
        .arg(DORVANE_VERSION_MAJOR)
        .arg(DORVANE_VERSION_MINOR)
        .arg(DORVANE_VERSION_PATCH);
}

void frmAbout::Form_Load() {
    setWindowTitle(versionCaption());
}

void frmAbout::cmdOk_Click() {
    Forms::unload(this);
}

} // namespace pb
