#include "workspace/frm_help.h"

#include "platform/units.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmHelp", frmHelp)

namespace {
const char* const kHelpText = "The first time Dorvane runs it creates a default database.\r\n"
                              "\r\n"
                              "To create a database of your own choose \"New Database\"\r\n"
                              "in the File menu. To open another one choose \"Open\" in\r\n"
                              "the File menu or click the Open button of the toolbar.\r\n"
                              "\r\n"
                              "To add a record type its fields, then click the \"Save\"\r\n"
                              "icon or press Ctrl+S. The New Record items of the File\r\n"
                              "menu insert records wherever you like.\r\n"
                              "\r\n"
                              "Fonts, colours and the background are set in \"Options\"\r\n"
                              "in the Tools menu, or with the Options button (the gear)\r\n"
                              "of the toolbar. A right click on the window's empty\r\n"
                              "surface changes them at once.\r\n"
                              "\r\n"
                              "Each record can have movie, sound or other file\r\n"
                              "attachments: choose \"Attach to this Record\" in the File\r\n"
                              "menu or press Ctrl+A.\r\n"
                              "\r\n"
                              "The database can be exported as text, web pages or a\r\n"
                              "database file (.sqlite): choose \"Management\", then\r\n"
                              "\"Export Database\" in the File menu.";
} // namespace

frmHelp::frmHelp() {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    lblHelp = new QLabel(QStringLiteral("Dorvane Help"), this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    QFont big = lblHelp->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblHelp->setFont(big);
    txtHelp = new QPlainTextEdit(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setPlainText(
        QString::fromLatin1(kHelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    txtHelp->setReadOnly(true);
    txtHelp->setLineWrapMode(QPlainTextEdit::NoWrap);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(cmdCancel, &QPushButton::clicked, this, &frmHelp::cmdCancel_Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHelp);
    layout->addWidget(txtHelp, 1);
    layout->addWidget(cmdCancel, 0, Qt::AlignRight);
}

void frmHelp::Form_Load() {
    resize(twipsToPixels(7155), twipsToPixels(6840));
}

void frmHelp::cmdCancel_Click() {
    Forms::unload(this);
}

} // namespace pb
