// The options dialog.
#include "phonebook/frm_options.h"

#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/picture_file.h"
#include "platform/printer.h"
#include "platform/prompts.h"
#include "platform/units.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmOptions", frmOptions)

namespace {

// The export commands are the phone book window's menu items: an export is offered
// while its item has a command.
const char* const kExportItems[3] = {"mnuSaveAsHtml", "mnuSaveAs", "mnuTransform"};

QAction* exportItem(Data* data, int i) {
    QAction* a = data ? data->action(QString::fromLatin1(kExportItems[i])) : nullptr;
    return a && a->isEnabled() ? a : nullptr;
}

} // namespace

frmOptions::frmOptions() {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    buildControls();
}

void frmOptions::buildControls() {
    auto* layout = new QVBoxLayout(this);
    SSTab = new QTabWidget(this);
    layout->addWidget(SSTab);

    const auto check = [this](QWidget* parent, const char* caption) {
        auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
        connect(c, &QCheckBox::clicked, this, &frmOptions::choiceClicked);
        return c;
    };
    const auto option = [this](QWidget* parent, const QString& caption, bool arms) {
        auto* o = new QRadioButton(caption, parent);
        if (arms) connect(o, &QRadioButton::clicked, this, &frmOptions::choiceClicked);
        return o;
    };

    auto* visual = new QWidget;
    auto* vGrid = new QHBoxLayout(visual);
    auto* samples = new QVBoxLayout;
    lblColor = new QLabel(QStringLiteral("Sample Font"), visual);
    lblColor->setObjectName(QStringLiteral("lblColor"));
    lblColor->setAutoFillBackground(true);
    lblColor->setAlignment(Qt::AlignCenter);
    lblColor->setMinimumSize(220, 60);
    // A styled frame keeps all four edges visible on a white sample or preview.
    lblColor->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    ImagePrev = new QLabel(visual);
    ImagePrev->setObjectName(QStringLiteral("ImagePrev"));
    ImagePrev->setFixedSize(160, 100);
    ImagePrev->setScaledContents(true);
    ImagePrev->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    samples->addWidget(lblColor);
    samples->addWidget(ImagePrev);
    vGrid->addLayout(samples);
    auto* vButtons = new QVBoxLayout;
    cmdColor = new QPushButton(QStringLiteral("Change"), visual);
    cmdRestore = new QPushButton(QStringLiteral("Restore"), visual);
    cmdCustomLabel = new QPushButton(QStringLiteral("Customize Label"), visual);
    connect(cmdColor, &QPushButton::clicked, this, &frmOptions::cmdColor_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmOptions::cmdRestore_Click);
    connect(cmdCustomLabel, &QPushButton::clicked, this, &frmOptions::cmdCustomLabel_Click);
    chkAuto = check(visual, "Keep Automatic Label");
    chkNoSound = check(visual, "Cancel Sound Effects");
    for (QWidget* w : {static_cast<QWidget*>(cmdColor), static_cast<QWidget*>(cmdRestore),
                       static_cast<QWidget*>(cmdCustomLabel), static_cast<QWidget*>(chkAuto),
                       static_cast<QWidget*>(chkNoSound)})
        vButtons->addWidget(w);
    vButtons->addStretch(1);
    vGrid->addLayout(vButtons);
    SSTab->addTab(visual, QStringLiteral("Visual Effects"));

    auto* sort = new QWidget;
    auto* fraSort = new QGroupBox(QStringLiteral("Sort PhoneBook DataBase"), sort);
    auto* sortBox = new QVBoxLayout(fraSort);
    optDont = option(fraSort, QStringLiteral("No sorting"), false);
    optSortBy0 = option(fraSort, QString(), true);
    optSortBy1 = option(fraSort, QString(), true);
    for (QRadioButton* o : {optDont, optSortBy0, optSortBy1})
        sortBox->addWidget(o);
    (new QVBoxLayout(sort))->addWidget(fraSort);
    SSTab->addTab(sort, QStringLiteral("Sort"));

    auto* print = new QWidget;
    auto* fraPrinter = new QGroupBox(QStringLiteral("Printer Fonts"), print);
    auto* printBox = new QVBoxLayout(fraPrinter);
    chkPrintBold = check(fraPrinter, "Bold");
    chkPrintItalic = check(fraPrinter, "Italic");
    chkPrintUnderline = check(fraPrinter, "Underline");
    chkPrintColor = check(fraPrinter, "Select Print Color");
    for (QCheckBox* c : {chkPrintBold, chkPrintItalic, chkPrintUnderline, chkPrintColor})
        printBox->addWidget(c);
    auto* printLayout = new QVBoxLayout(print);
    printLayout->addWidget(fraPrinter);
    chkPrintSetup = check(print, "Show Printer Setup");
    printLayout->addWidget(chkPrintSetup);
    SSTab->addTab(print, QStringLiteral("Print"));

    auto* backup = new QWidget;
    chkBackUp = check(backup, "Create a BackUp for PhoneBook DataBase");
    auto* backupLayout = new QVBoxLayout(backup);
    backupLayout->addWidget(chkBackUp);
    backupLayout->addStretch(1);
    SSTab->addTab(backup, QStringLiteral("BackUp"));

    auto* exports = new QWidget;
    auto* fraExport = new QGroupBox(QStringLiteral("Export PhoneBook DataBase"), exports);
    auto* exportBox = new QVBoxLayout(fraExport);
    optCancelExport = option(fraExport, QStringLiteral("Do not export"), false);
    optExportMdb = option(fraExport, QStringLiteral("To a database file (.sqlite) "), true);
    optExportWeb = option(fraExport, QStringLiteral("To a web page (.htm)"), true);
    optExportText = option(fraExport, QStringLiteral("To a text file (.txt)"), true);
    for (QRadioButton* o : {optCancelExport, optExportMdb, optExportWeb, optExportText})
        exportBox->addWidget(o);
    (new QVBoxLayout(exports))->addWidget(fraExport);
    SSTab->addTab(exports, QStringLiteral("Export"));
    connect(SSTab, &QTabWidget::currentChanged, this, &frmOptions::SSTab_Click);

    // No option is set when the dialog opens.
    for (QRadioButton* o :
         {optDont, optSortBy0, optSortBy1, optCancelExport, optExportMdb, optExportWeb, optExportText})
        o->setAutoExclusive(false);
    auto* sortGroup = new QButtonGroup(this);
    auto* exportGroup = new QButtonGroup(this);
    for (QRadioButton* o : {optDont, optSortBy0, optSortBy1})
        sortGroup->addButton(o);
    for (QRadioButton* o : {optCancelExport, optExportMdb, optExportWeb, optExportText})
        exportGroup->addButton(o);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOk = new QPushButton(QIcon(QStringLiteral(":/icons/opt-ok.png")), QStringLiteral("OK"), this);
    cmdCancel =
        new QPushButton(QIcon(QStringLiteral(":/icons/opt-cancel.png")), QStringLiteral("Cancel"), this);
    cmdApply = new QPushButton(QIcon(QStringLiteral(":/icons/opt-apply.png")), QStringLiteral("Apply"), this);
    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);
    for (QPushButton* b : {cmdOk, cmdCancel, cmdApply}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
}

void frmOptions::showSampleFont(const QFont& font, int32_t textColour) {
    QPalette p = lblColor->palette();
    p.setColor(QPalette::WindowText, colourFromStored(textColour));
    lblColor->setPalette(p);
    lblColor->setFont(font);
}

void frmOptions::showSampleBackColour(int32_t stored) {
    QPalette p = lblColor->palette();
    p.setColor(QPalette::Window, colourFromStored(stored));
    lblColor->setPalette(p);
}

void frmOptions::Form_Load() {
    ModulePhoneBook& m = pbm();
    Data* data = Forms::find<Data>();
    Steps step(OnError::Ignore);
    if (data) {
        step([&] { showSampleBackColour(data->backColor()); });
        step([&] {
            showSampleFont(data->txtInfo[0]->font(),
                           colourToStored(data->txtInfo[0]->palette().color(QPalette::Text)));
        });
        step([&] {
            data->dlgFileOpen[0].FileName = data->BackPic;
            ImagePrev->setPixmap(data->BackPic.isEmpty()
                                     ? QPixmap()
                                     : QPixmap::fromImage(readPicture(
                                           data->BackPic, PictureView::stretched(ImagePrev->size()))));
        });
    }
    chkAuto->setChecked(m.KeepAutomaticLabel);
    chkNoSound->setChecked(!m.PlaySoundEffect);
    optSortBy0->setText(QStringLiteral("By ") + m.Label[0]);
    optSortBy1->setText(QStringLiteral("By ") + m.Label[1]);
    // An export whose command does not exist yet cannot be chosen.
    QRadioButton* const exports[3] = {optExportWeb, optExportText, optExportMdb};
    for (int i = 0; i < 3; ++i)
        exports[i]->setEnabled(exportItem(data, i) != nullptr);
    cmdApply->setEnabled(false);
}

void frmOptions::choiceClicked() {
    cmdApply->setEnabled(true);
}

void frmOptions::SSTab_Click() {
    playSound(sound::TabChange);
}

void frmOptions::cmdApply_Click() {
    ModulePhoneBook& m = pbm();
    // Every choice is taken now: a sort reloads the phone book window, which unloads
    // this dialog, and the later steps must still happen.
    const struct {
        bool autoLabel, noSound, sortFirst, sortLast, bold, italic, underline, printColour, printSetup,
            backup;
        bool exports[3];
    } c{chkAuto->isChecked(),
        chkNoSound->isChecked(),
        optSortBy0->isChecked(),
        optSortBy1->isChecked(),
        chkPrintBold->isChecked(),
        chkPrintItalic->isChecked(),
        chkPrintUnderline->isChecked(),
        chkPrintColor->isChecked(),
        chkPrintSetup->isChecked(),
        chkBackUp->isChecked(),
        {optExportWeb->isChecked(), optExportText->isChecked(), optExportMdb->isChecked()}};
    const QPointer<frmOptions> self(this);
    const auto data = [] { return Forms::find<Data>(); };
    Steps step(OnError::Ignore);
    if (Data* d = data()) {
        if (d->changedColorFlag) {
            step([&] { d->setBackColor(d->dlgFileOpen[0].Color); });
            step([&] { d->labelBackcolor(); });
            step([&] { d->textFont(); });
            d->changedColorFlag = false;
        }
        if (d->changedPicFlag) {
            step([&] { d->setBackPicture(d->dlgFileOpen[0].FileName); }) &&
                step([&] { d->BackPic = d->dlgFileOpen[0].FileName; });
            d->changedPicFlag = false;
        }
        d->dlgFileOpen[0].FileName.clear();
    }
    m.KeepAutomaticLabel = c.autoLabel;
    if (c.autoLabel && data()) step([&] { data()->putLabels(); });
    m.PlaySoundEffect = !c.noSound;
    if (c.sortFirst && data()) step([&] { data()->mnuSortFirst_Click(); });
    if (c.sortLast && data()) step([&] { data()->mnuSortLast_Click(); });
    PrinterFont& pf = printerFont();
    pf.bold = c.bold;
    pf.italic = c.italic;
    pf.underline = c.underline;
    if (c.printColour && data()) {
        step([&] {
            CommonDialog& fd = data()->dlgFileOpen[1];
            const CommonDialog fieldFont = fd;
            fd.DialogTitle = QStringLiteral("Printer Font");
            fd.Flags = 259;
            try {
                fd.ShowFont();
            } catch (const VbError&) {
            }
            if (fd.Accepted) {
                pf.color = fd.Color;
                pf.name = fd.FontName;
                pf.size = fd.FontSize;
                pf.bold = fd.FontBold;
                pf.italic = fd.FontItalic;
                pf.underline = fd.FontUnderline;
            }
            // The dialog goes back to holding the field font.
            fd = fieldFont;
        });
    }
    if (c.printSetup && data()) {
        step([&] {
            CommonDialog& sd = data()->dlgFileOpen[0];
            sd.DialogTitle = QStringLiteral("Printer Setup");
            sd.CancelError = true;
            sd.Flags = 64;
            try {
                sd.ShowPrinter();
            } catch (const VbError&) {
                // a cancel only ends this step
            }
        });
    }
    if (c.backup && data()) step([&] { data()->saveDataBaseAs(); });
    for (int i = 0; i < 3; ++i)
        if (c.exports[i])
            step([&] {
                if (QAction* a = exportItem(data(), i)) a->trigger();
            });
    if (self) self->cmdApply->setEnabled(false);
}

void frmOptions::cmdOk_Click() {
    const QPointer<frmOptions> self(this);
    Steps step(OnError::Ignore);
    step([&] { hide(); });
    if (cmdApply->isEnabled()) step([&] { cmdApply_Click(); });
    if (self) Forms::unload(self.data());
}

void frmOptions::cmdCancel_Click() {
    Forms::unload(this);
}

void frmOptions::cmdColor_Click() {
    Steps(OnError::Ignore)([] {
        if (Data* d = Forms::find<Data>())
            Popup::show(d->action(QStringLiteral("mnuSettings"))->menu(), QCursor::pos());
    });
}

void frmOptions::cmdRestore_Click() {
    Steps(OnError::Ignore)([] {
        if (Data* d = Forms::find<Data>())
            Popup::show(d->action(QStringLiteral("mnuRestore"))->menu(), QCursor::pos());
    });
}

void frmOptions::cmdCustomLabel_Click() {
    ModulePhoneBook& m = pbm();
    Data* d = Forms::find<Data>();
    if (!d) return;
    Steps step([](const VbError& e) {
        MsgBox(e.description(), mb::OKOnly | mb::Critical,
               QStringLiteral("ERROR") + QString::number(e.number()) + QLatin1Char(' ') + e.description());
        return ErrorAnswer::Ignore;
    });
    if (MsgBox(QStringLiteral("Do you want to change labels text?"), mb::YesNoCancel | mb::Question,
               QStringLiteral("Customize Label")) != mb::Yes)
        return;
    for (int i = 0; i < 7; ++i) {
        step([&] {
            const std::optional<QString> text =
                InputBoxOrCancel(QStringLiteral("Type text for label ") + convert::signPlace(i + 1),
                                 QStringLiteral("Renaming labels"), m.Label[i]);
            // Cancel keeps the caption; an empty answer empties it.
            if (text) d->lblinfo[i]->setText(*text);
        });
    }
    for (int i = 0; i < 7; ++i)
        m.Label[i] = d->lblinfo[i]->text();
    step([&] {
        d->OptFirst->setText(m.Label[0]);
        d->OptLast->setText(m.Label[1]);
        d->OptEmail->setText(m.Label[3]);
    });
    step([&] {
        d->action(QStringLiteral("mnuSortFirst"))->setText(QStringLiteral("Sort by ") + m.Label[0]);
        d->action(QStringLiteral("mnuSortLast"))->setText(QStringLiteral("Sort by ") + m.Label[1]);
    });
}

} // namespace pb
