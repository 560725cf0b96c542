// The look commands of the phone book window: colours, fonts, size and background.
#include "phonebook/data.h"
#include "phonebook/frm_options.h"
#include "platform/picture_file.h"
#include "platform/units.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"

#include <QLabel>
#include <QPushButton>

namespace pb {

namespace {

constexpr int kColourFlags = 1; // open on the colour held
constexpr int kFontFlags = 259; // screen and printer fonts, with effects

void setFactoryFont(CommonDialog& d) {
    d.FontName = QStringLiteral("MS Sans Serif");
    d.FontSize = 12;
    d.Color = 0;
    d.FontBold = false;
    d.FontItalic = false;
    d.FontStrikethru = false;
    d.FontUnderline = false;
}

QFont fontOf(const CommonDialog& d) {
    QFont f(d.FontName);
    if (d.FontSize > 0 && d.FontSize <= Data::kMaxFieldFontSize) f.setPointSizeF(d.FontSize);
    f.setBold(d.FontBold);
    f.setItalic(d.FontItalic);
    f.setUnderline(d.FontUnderline);
    f.setStrikeOut(d.FontStrikethru);
    return f;
}

// A pending change waits for the options dialog's Apply.
void armApply() {
    if (frmOptions* o = Forms::find<frmOptions>()) o->cmdApply->setEnabled(true);
}

} // namespace

void Data::fixedColour_Click(int32_t stored) {
    Steps step(OnError::Ignore);
    step([&] { setBackColor(stored); });
    step([&] { labelBackcolor(); });
    // The pending colour follows the window's, so a later font-only Apply keeps this colour.
    dlgFileOpen[0].Color = stored;
}

void Data::mnuOther_Click() {
    try {
        CommonDialog& d = dlgFileOpen[0];
        d.Flags = kColourFlags;
        d.ShowColor();
        if (!d.Accepted) return; // a cancel changes nothing
        setBackColor(d.Color);
        labelBackcolor();
    } catch (const VbError&) {
    }
}

void Data::mnuRFont_Click() {
    Steps step(OnError::Ignore);
    CommonDialog& d = dlgFileOpen[1];
    bool accepted = false;
    step([&] {
        d.Flags = kFontFlags;
        d.ShowFont();
        accepted = d.Accepted;
    });
    if (accepted) step([&] { textFont(); });
}

void Data::mnuRFandC_Click() {
    Steps step(OnError::Ignore);
    step([&] { setBackColor(kWindowBackground); });
    step([&] { labelBackcolor(); });
    dlgFileOpen[0].Color = kWindowBackground;
    setFactoryFont(dlgFileOpen[1]);
    step([&] { textFont(); });
}

void Data::mnuRRemovePic_Click() {
    Steps(OnError::Ignore)([&] { setBackPicture(QString()); });
    BackPic.clear();
}

void Data::RestoreFontandColor() {
    Steps step(OnError::Ignore);
    dlgFileOpen[0].Color = kWindowBackground;
    setFactoryFont(dlgFileOpen[1]);
    step([&] {
        if (frmOptions* o = Forms::find<frmOptions>()) {
            o->showSampleBackColour(kWindowBackground);
            o->showSampleFont(fontOf(dlgFileOpen[1]), 0);
        }
    });
    step([&] { textFont(); });
}

void Data::RestoreDefaultSize() {
    Steps step(OnError::Ignore);
    step([&] {
        if (isMinimized() || isMaximized()) showNormal();
    });
    step([&] { resize(width(), twipsToPixels(9500)); });
    step([&] { resize(twipsToPixels(14265), height()); });
}

void Data::mnuFont_Click() {
    try {
        CommonDialog& d = dlgFileOpen[1];
        d.Flags = kFontFlags;
        d.ShowFont();
        if (!d.Accepted) return;
        if (frmOptions* o = Forms::find<frmOptions>()) o->showSampleFont(fontOf(d), d.Color);
        armApply();
        changedColorFlag = true;
    } catch (const VbError&) {
    }
}

void Data::mnuBackColors_Click() {
    CommonDialog& d = dlgFileOpen[0];
    try {
        d.Flags = kColourFlags;
        d.ShowColor();
    } catch (const VbError&) {
        return; // the printer setup turned the cancel error on
    }
    if (!d.Accepted) return;
    Steps step(OnError::Ignore);
    step([&] {
        if (frmOptions* o = Forms::find<frmOptions>()) o->showSampleBackColour(d.Color);
    });
    step([] { armApply(); });
    changedColorFlag = true;
}

void Data::mnuBackPic_Click() {
    CommonDialog& d = dlgFileOpen[0];
    bool accepted = false;
    Steps step(OnError::StandardCancelRule);
    const bool done = step([&] {
        d.DialogTitle = QStringLiteral("Pics");
        d.FileName.clear();
        d.Filter = QStringLiteral("All picture files | *.gif; *.gfif; *.jpeg; *.jpg; *.bmp; *.dip");
        d.ShowOpen();
        accepted = d.Accepted;
    });
    // A cancelled choice must not make a later Apply remove the picture.
    if (!done || !accepted) return;
    step([&] {
        if (frmOptions* o = Forms::find<frmOptions>())
            o->ImagePrev->setPixmap(d.FileName.isEmpty()
                                        ? QPixmap()
                                        : QPixmap::fromImage(readPicture(
                                              d.FileName, PictureView::stretched(o->ImagePrev->size()))));
    }) &&
        step([] { armApply(); }) && step([&] { changedPicFlag = true; });
}

void Data::mnuRemoveBackPic_Click() {
    Steps step(OnError::Ignore);
    step([&] { setBackPicture(QString()); });
    BackPic.clear();
    step([&] {
        if (frmOptions* o = Forms::find<frmOptions>()) o->ImagePrev->clear();
    });
    dlgFileOpen[0].FileName.clear();
}

void Data::mnuOptions_Click() {
    ShowForm(QStringLiteral("frmOptions"));
}

void Data::mnuLinkward_Click() {
    ShowForm(QStringLiteral("frmHandler"));
}

void Data::mnuContents_Click() {
    ShowForm(QStringLiteral("frmHelp"));
}

void Data::mnuAbout_Click() {
    Steps step(OnError::Ignore);
    step([] { ShowAbout(); });
    step([] { playSound(sound::Navigate); });
}

Data::Look Data::look() const {
    Look l;
    l.backColor = m_backColor;
    l.textFont = txtInfo[0]->font();
    l.textColor = txtInfo[0]->palette().color(QPalette::Text);
    return l;
}

} // namespace pb
