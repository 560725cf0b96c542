// The print dialog.
#include "phonebook/frm_print.h"

#include "phonebook/data.h"
#include "platform/settings_store.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/text_job.h"
#include "workspace/window_roles.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmPrint", frmPrint)

namespace {

QString key(int i) {
    return QStringLiteral("PrintOption%1").arg(i);
}

QPushButton* pictureButton(const QString& icon, const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(QIcon(icon), QString(), parent);
    b->setIconSize(QSize(32, 32));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmPrint::frmPrint() {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Print..."));
    setMinimumWidth(260); // room for the caption
    auto* layout = new QVBoxLayout(this);
    const auto frame = [this, layout](const QString& caption, const QString& first, const QString& second,
                                      QRadioButton** a, QRadioButton** b) {
        auto* f = new QGroupBox(caption, this);
        auto* box = new QVBoxLayout(f);
        // Two frames, two independent groups; neither choice is made until the user makes it.
        *a = new QRadioButton(first, f);
        *b = new QRadioButton(second, f);
        box->addWidget(*a);
        box->addWidget(*b);
        layout->addWidget(f);
        return f;
    };
    Frame1 = frame(QStringLiteral("What?"), QStringLiteral("This Record"), QStringLiteral("All Records"),
                   &Option1, &Option2);
    Frame2 = frame(QStringLiteral("Where?"), QStringLiteral("To a File"), QStringLiteral("To a Printer"),
                   &Option3, &Option4);
    auto* buttons = new QHBoxLayout;
    cmdPrint =
        pictureButton(QStringLiteral(":/icons/tb07-print.png"), QStringLiteral("Print Selection"), this);
    cmdExit =
        pictureButton(QStringLiteral(":/icons/opt-cancel.png"), QStringLiteral("Exit This Window"), this);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdExit);
    layout->addLayout(buttons);
    connect(cmdPrint, &QPushButton::clicked, this, &frmPrint::cmdPrint_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmPrint::cmdExit_Click);
}

QRadioButton* frmPrint::option(int i) const {
    const std::array<QRadioButton*, 4> all = {Option1, Option2, Option3, Option4};
    return all[static_cast<std::size_t>(i - 1)];
}

void frmPrint::Form_Load() {
    Steps step(OnError::Ignore);
    // A later key of a frame set on clears the earlier: both stored on, the second wins.
    for (int i = 1; i <= 4; ++i)
        step([&] {
            option(i)->setChecked(convert::toBool(
                SettingsStore::GetSetting(kAppName, kSection, key(i), QStringLiteral("False"))));
        });
}

void frmPrint::Form_Unload() {
    // A settings store that cannot be written keeps its old choices; the window still goes.
    Steps step(OnError::Ignore);
    for (int i = 1; i <= 4; ++i)
        step([&] {
            SettingsStore::SaveSetting(kAppName, kSection, key(i), convert::fromBool(option(i)->isChecked()));
        });
}

void frmPrint::cmdExit_Click() {
    Forms::unload(this);
}

void frmPrint::cmdPrint_Click() {
    const bool record = Option1->isChecked();
    const bool all = Option2->isChecked();
    const bool toFile = Option3->isChecked();
    const bool toPrinter = Option4->isChecked();
    if (!(record || all) || !(toFile || toPrinter)) return;
    // Failures of the print itself are told by the editor's own box; anything else ends the command.
    Steps step(OnError::LeaveSilently);
    QString summary;
    if (record) step([&] { summary = Forms::get<Data>()->RecordSummaryText(); });
    TextViewer* editor = nullptr;
    step([&] { editor = &windowAs<TextViewer>(QStringLiteral("frmEditor")); });
    if (step.left()) return;
    if (toFile) {
        // The user asked to see the text in the editor: it takes the editor's place there.
        if (record && !step([&] { editor->replaceDocument(summary); })) return;
        if (all && !MakePrintFile()) return;
        Forms::unload(this);
        ShowForm(QStringLiteral("frmEditor"));
        step([] { windowAs<TextViewer>(QStringLiteral("frmEditor")).refreshDocument(); });
        return;
    }
    // The printer cases print from a document of their own: the editor's text is left alone.
    if (record)
        step([&] { editor->printText(summary); });
    else if (WritePrintFile())
        step([&] { editor->printFile(printFilePath()); });
}

} // namespace pb
