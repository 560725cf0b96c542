#include "workspace/frm_help.h"

#include "platform/units.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmHelp", frmHelp)

namespace {
const char* const kHelpText =
    "The first time Dorvane runs it creates a default database for you.\r\n"
    "\r\n"
    "To create a database of your own choose \"New Database\" from the File menu.\r\n"
    "To open another database choose \"Open\" from the File menu or click the\r\n"
    "Open button on the toolbar.\r\n"
    "\r\n"
    "To add a record type its fields and click the \"Save\" icon or press Ctrl+S.\r\n"
    "Use the New Record items of the File menu to insert records where you like.\r\n"
    "\r\n"
    "Fonts, colours and the background are set in \"Options\" in the Tools menu,\r\n"
    "or with the paint icon on the toolbar. A right click on the empty part of\r\n"
    "the phone book window changes the colours at once.\r\n"
    "\r\n"
    "Each record can have movie, sound or other file attachments: choose\r\n"
    "\"Attach to this Record\" in the File menu or press Ctrl+A.\r\n"
    "\r\n"
    "The database can be exported as text, web pages or an Access database:\r\n"
    "choose \"Management\", then \"Export Database\" in the File menu.\r\n"
    "\r\n"
    "The Lock button keeps the records safe from changes until you unlock it.";
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
