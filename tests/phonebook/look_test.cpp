#include "book_fixture.h"
#include "phonebook/frm_options.h"
#include "platform/units.h"
#include "platform/vb_convert.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace pb;
using namespace pbtest;
using Kind = ScriptedPrompts::Kind;

namespace {

// Answers a font dialog as a person choosing this font would.
auto chooseFont(const QString& family, double size, bool bold, bool underline, int32_t colour,
                int* flagsSeen = nullptr) {
    return [=](CommonDialog& d) {
        if (flagsSeen) *flagsSeen = d.Flags;
        d.FontName = family;
        d.FontSize = size;
        d.FontBold = bold;
        d.FontItalic = false;
        d.FontUnderline = underline;
        d.FontStrikethru = false;
        d.Color = colour;
        return true;
    };
}
auto chooseColour(int32_t colour) {
    return [=](CommonDialog& d) {
        d.Color = colour;
        return true;
    };
}

int32_t textColour(const QWidget* w) {
    return colourToStored(w->palette().color(QPalette::Text));
}
int32_t baseColour(const QWidget* w) {
    return colourToStored(w->palette().color(QPalette::Base));
}

} // namespace

class LookTest : public BookFixture {};

TEST_F(LookTest, RightClickFontAndFixedColourReachTheRightBoxesAndSurviveTheNextRun) {
    open({{"Ann", "Lee"}});
    const QFont mailBefore = d->txtForMail[0]->font();
    const int32_t mailColourBefore = textColour(d->txtForMail[0]);
    const QFont pictureBoxBefore = d->txtInfo[7]->font();
    const int32_t pictureBaseBefore = baseColour(d->txtInfo[7]);
    const QFont findBefore = d->txtFind->font();
    int flags = 0;
    prompts->expectDialog(Kind::Font,
                          chooseFont(QStringLiteral("DejaVu Serif"), 15, true, true, 0x0000FF, &flags));
    d->mnuRFont_Click();
    d->mnuGreen_Click();
    EXPECT_EQ(flags, 259);

    for (int i = 0; i < 7; ++i) {
        const QFont f = d->txtInfo[i]->font();
        EXPECT_EQ(f.family(), QStringLiteral("DejaVu Serif")) << i;
        EXPECT_EQ(f.pointSizeF(), 15) << i;
        EXPECT_TRUE(f.bold() && f.underline() && !f.italic() && !f.strikeOut()) << i;
        EXPECT_EQ(textColour(d->txtInfo[i]), 0x0000FF) << i;
        EXPECT_EQ(baseColour(d->txtInfo[i]), 0x00FF00) << i;
    }
    EXPECT_EQ(d->txtInfo[7]->font(), pictureBoxBefore);
    EXPECT_EQ(baseColour(d->txtInfo[7]), pictureBaseBefore);
    for (const MailBox* box : d->txtForMail) {
        const QWidget* mail = box->editor(); // what the user types in
        EXPECT_EQ(mail->font().family(), QStringLiteral("DejaVu Serif"));
        EXPECT_TRUE(mail->font().bold() && mail->font().underline());
        EXPECT_EQ(mail->font().pointSizeF(), mailBefore.pointSizeF());
        EXPECT_EQ(textColour(mail), mailColourBefore);
    }
    EXPECT_EQ(d->txtFind->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(d->txtFind->font().pointSizeF(), 15);
    EXPECT_EQ(d->txtFind->font().bold(), findBefore.bold());
    EXPECT_EQ(d->txtFind->font().underline(), findBefore.underline());

    Forms::unload(d);
    EXPECT_EQ(setting(QStringLiteral("FormBackColor")), QStringLiteral("65280"));
    EXPECT_EQ(setting(QStringLiteral("TextFontName")), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(setting(QStringLiteral("TextFontSize")), QStringLiteral("15"));
    EXPECT_EQ(setting(QStringLiteral("TextFontBold")), QStringLiteral("True"));
    EXPECT_EQ(setting(QStringLiteral("TextFontUnderline")), QStringLiteral("True"));
    EXPECT_EQ(setting(QStringLiteral("TextFontColor")), QStringLiteral("255"));

    Forms::flushDeleted();
    Data* again = Forms::get<Data>();
    EXPECT_EQ(again->backColor(), 0x00FF00);
    EXPECT_EQ(baseColour(again->txtInfo[3]), 0x00FF00);
    EXPECT_EQ(again->txtInfo[3]->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(again->txtInfo[3]->font().pointSizeF(), 15);
    EXPECT_EQ(textColour(again->txtInfo[3]), 0x0000FF);
}

TEST_F(LookTest, AFamilyTheDesktopLacksKeepsItsNameAcrossRuns) {
    putSetting(QStringLiteral("TextFontName"), QStringLiteral("MS Sans Serif"));
    open({{"Ann", "Lee"}});
    Forms::unload(d);
    EXPECT_EQ(setting(QStringLiteral("TextFontName")), QStringLiteral("MS Sans Serif"));
}

TEST_F(LookTest, AStoredFontSizeNoBoxCanTakeIsSkippedAndNotWrittenBack) {
    for (const char* bad : {"100000", "0", "-4"}) {
        putSetting(QStringLiteral("TextFontSize"), QString::fromLatin1(bad));
        open({{"Ann", "Lee"}});
        const double size = d->txtInfo[0]->font().pointSizeF();
        EXPECT_GT(size, 0) << bad;
        EXPECT_LE(size, Data::kMaxFieldFontSize) << bad;
        // The other keys still apply.
        EXPECT_EQ(d->txtInfo[0]->font().family(), QStringLiteral("ms sans serif")) << bad;
        Forms::unload(d);
        Forms::flushDeleted();
        EXPECT_EQ(setting(QStringLiteral("TextFontSize")), convert::fromNumber(size)) << bad;
    }
}

TEST_F(LookTest, ACancelledDialogChangesNothingAndArmsNothing) {
    open({{"Ann", "Lee"}});
    frmOptions* o = Forms::get<frmOptions>();
    d->mnuRed_Click();
    const QFont fieldFont = d->txtInfo[0]->font();
    const CommonDialog fontBefore = d->dlgFileOpen[1];

    prompts->expectCancel(Kind::Color);
    d->mnuOther_Click();
    prompts->expectCancel(Kind::Font);
    d->mnuRFont_Click();
    prompts->expectCancel(Kind::Font);
    d->mnuFont_Click();
    prompts->expectCancel(Kind::Color);
    d->mnuBackColors_Click();
    prompts->expectCancel(Kind::Open);
    d->mnuBackPic_Click();
    EXPECT_EQ(d->backColor(), 0x0000FF);
    EXPECT_EQ(d->txtInfo[0]->font(), fieldFont);
    EXPECT_EQ(d->dlgFileOpen[1].FontName, fontBefore.FontName);
    EXPECT_FALSE(d->changedColorFlag);
    EXPECT_FALSE(d->changedPicFlag);
    EXPECT_FALSE(o->cmdApply->isEnabled());

    // Once the printer setup has turned the cancel error on, a cancel still changes nothing.
    d->dlgFileOpen[0].CancelError = true;
    prompts->expectCancel(Kind::Color);
    d->mnuOther_Click();
    prompts->expectCancel(Kind::Color);
    d->mnuBackColors_Click();
    EXPECT_EQ(d->backColor(), 0x0000FF);
    EXPECT_FALSE(d->changedColorFlag);
    EXPECT_FALSE(o->cmdApply->isEnabled());
}

TEST_F(LookTest, SettingsChoicesWaitForApplyWhileRightClickChoicesActAtOnce) {
    open({{"Ann", "Lee"}});
    frmOptions* o = Forms::get<frmOptions>();
    d->mnuRed_Click();
    // A font chosen for the options dialog shows only on its sample.
    prompts->expectDialog(Kind::Font, chooseFont(QStringLiteral("DejaVu Sans"), 20, false, false, 0xFF0000));
    d->mnuFont_Click();
    EXPECT_NE(d->txtInfo[0]->font().pointSizeF(), 20);
    EXPECT_EQ(o->lblColor->font().pointSizeF(), 20);
    EXPECT_EQ(colourToStored(o->lblColor->palette().color(QPalette::WindowText)), 0xFF0000);
    EXPECT_TRUE(d->changedColorFlag);
    EXPECT_TRUE(o->cmdApply->isEnabled());
    // A font-only Apply keeps the colour the window was given directly.
    o->cmdApply_Click();
    EXPECT_EQ(d->backColor(), 0x0000FF);
    EXPECT_EQ(baseColour(d->txtInfo[2]), 0x0000FF);
    EXPECT_EQ(d->txtInfo[0]->font().pointSizeF(), 20);
    EXPECT_FALSE(d->changedColorFlag);
    EXPECT_FALSE(o->cmdApply->isEnabled());

    // A colour chosen for the dialog waits too.
    prompts->expectDialog(Kind::Color, chooseColour(0xFFFF00));
    d->mnuBackColors_Click();
    EXPECT_EQ(d->backColor(), 0x0000FF);
    EXPECT_EQ(colourToStored(o->lblColor->palette().color(QPalette::Window)), 0xFFFF00);
    o->cmdApply_Click();
    EXPECT_EQ(d->backColor(), 0xFFFF00);

    // Settings "Default Font and Color": the factory font at once, the colour only with a later Apply.
    d->mnuFontandColor_Click();
    EXPECT_EQ(d->txtInfo[0]->font().pointSizeF(), 12);
    EXPECT_EQ(d->txtInfo[0]->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(d->backColor(), 0xFFFF00);
    EXPECT_FALSE(d->changedColorFlag);
    EXPECT_FALSE(o->cmdApply->isEnabled());
    EXPECT_EQ(colourToStored(o->lblColor->palette().color(QPalette::WindowText)), 0);

    // Right-click "Default Font and Color": colour and font at once.
    d->mnuMagenta_Click();
    prompts->expectDialog(Kind::Font, chooseFont(QStringLiteral("DejaVu Sans"), 18, true, false, 0xFF));
    d->mnuRFont_Click();
    d->mnuRFandC_Click();
    EXPECT_EQ(d->backColor(), kWindowBackground);
    EXPECT_EQ(d->txtInfo[6]->font().pointSizeF(), 12);
    EXPECT_FALSE(d->txtInfo[6]->font().bold());
    EXPECT_EQ(textColour(d->txtInfo[6]), 0);
}

TEST_F(LookTest, OtherOpensOnTheHeldColourAndAppliesAtOnce) {
    open({{"Ann", "Lee"}});
    d->mnuYellow_Click();
    int32_t openedOn = -1;
    int flags = 0;
    prompts->expectDialog(Kind::Color, [&](CommonDialog& dlg) {
        openedOn = dlg.Color;
        flags = dlg.Flags;
        dlg.Color = 0x123456;
        return true;
    });
    d->mnuOther_Click();
    EXPECT_EQ(openedOn, 0x00FFFF);
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(d->backColor(), 0x123456);
    EXPECT_EQ(baseColour(d->txtInfo[0]), 0x123456);
}

TEST_F(LookTest, TheWindowKeepsItsMinimumAndReturnsToTheDefaultSizeFromAnyState) {
    open({{"Ann", "Lee"}});
    Forms::show(d);
    const QSize defaultSize(twipsToPixels(14265), twipsToPixels(9500));
    d->resize(twipsToPixels(10000), twipsToPixels(5000));
    EXPECT_EQ(d->size(), defaultSize);
    d->resize(defaultSize + QSize(120, 80));
    EXPECT_EQ(d->size(), defaultSize + QSize(120, 80));

    d->showMaximized();
    d->MnuHeightandWidth_Click();
    EXPECT_FALSE(d->isMaximized());
    EXPECT_EQ(d->size(), defaultSize);

    d->resize(defaultSize + QSize(50, 50));
    d->showMinimized();
    d->mnuRHandW_Click();
    EXPECT_FALSE(d->isMinimized());
    EXPECT_EQ(d->size(), defaultSize);
}

TEST_F(LookTest, APictureChosenForApplyReplacesTheBackgroundOnlyWhenApplied) {
    open({{"Ann", "Lee"}});
    frmOptions* o = Forms::get<frmOptions>();
    const QString picture = appDir() + QStringLiteral("back.png");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(picture));
    prompts->expectDialog(Kind::Open, [&](CommonDialog& dlg) {
        EXPECT_EQ(dlg.DialogTitle, QStringLiteral("Pics"));
        dlg.FileName = picture;
        return true;
    });
    d->mnuBackPic_Click();
    EXPECT_TRUE(d->changedPicFlag);
    EXPECT_FALSE(o->ImagePrev->pixmap().isNull());
    EXPECT_TRUE(d->BackPic.isEmpty());
    o->cmdApply_Click();
    EXPECT_EQ(d->BackPic, picture);
    EXPECT_TRUE(d->hasBackPicture());
    EXPECT_TRUE(d->dlgFileOpen[0].FileName.isEmpty());

    d->mnuRemoveBackPic_Click();
    EXPECT_FALSE(d->hasBackPicture());
    EXPECT_TRUE(d->BackPic.isEmpty());
    EXPECT_TRUE(o->ImagePrev->pixmap().isNull());
}
