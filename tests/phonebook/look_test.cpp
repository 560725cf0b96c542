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
auto chooseFont(const QString& family, double size, bool bold, bool underline, int32_t colour) {
    return [=](CommonDialog& d) {
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

// Answers a colour dialog with this colour, noting the one it opened on.
auto chooseColour(int32_t colour, int32_t* openedOn = nullptr) {
    return [=](CommonDialog& d) {
        if (openedOn) *openedOn = d.Color;
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
// A box's font as "family size [bold] [italic] [underline] [strike]", to compare in one go.
std::string fontOf(const QWidget* w) {
    const QFont f = w->font();
    return QStringLiteral("%1 %2%3%4%5%6")
        .arg(f.family())
        .arg(f.pointSizeF())
        .arg(f.bold() ? " bold" : "", f.italic() ? " italic" : "", f.underline() ? " underline" : "",
             f.strikeOut() ? " strike" : "")
        .toStdString();
}

} // namespace

class LookTest : public BookFixture {};

TEST_F(LookTest, RightClickFontAndFixedColourReachTheRightBoxesAndSurviveTheNextRun) {
    open({{"Ann", "Lee"}});
    const QString mailSize = QString::number(d->txtForMail[0]->font().pointSizeF());
    const int32_t mailColourBefore = textColour(d->txtForMail[0]);
    const QFont pictureBoxBefore = d->txtInfo[7]->font();
    const int32_t pictureBaseBefore = baseColour(d->txtInfo[7]);
    prompts->expectDialog(Kind::Font, chooseFont(QStringLiteral("DejaVu Serif"), 15, true, true, 0x0000FF));
    d->mnuRFont_Click();
    d->mnuGreen_Click();

    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(fontOf(d->txtInfo[i]), "DejaVu Serif 15 bold underline") << i;
        EXPECT_EQ(textColour(d->txtInfo[i]), 0x0000FF) << i;
        EXPECT_EQ(baseColour(d->txtInfo[i]), 0x00FF00) << i;
    }
    EXPECT_EQ(d->txtInfo[7]->font(), pictureBoxBefore);
    EXPECT_EQ(baseColour(d->txtInfo[7]), pictureBaseBefore);
    // The mail boxes keep their size and colour; the find box takes only the family and size.
    for (const MailBox* box : d->txtForMail) {
        EXPECT_EQ(fontOf(box->editor()), "DejaVu Serif " + mailSize.toStdString() + " bold underline");
        EXPECT_EQ(textColour(box->editor()), mailColourBefore);
    }
    EXPECT_EQ(fontOf(d->txtFind), "DejaVu Serif 15");

    Forms::unload(d);
    QStringList stored;
    for (const char* key : {"FormBackColor", "TextFontName", "TextFontSize", "TextFontBold",
                            "TextFontUnderline", "TextFontColor"})
        stored << setting(QString::fromLatin1(key));
    EXPECT_EQ(stored.join(u'|').toStdString(), "65280|DejaVu Serif|15|True|True|255");

    Forms::flushDeleted();
    Data* again = Forms::get<Data>();
    EXPECT_EQ(again->backColor(), 0x00FF00);
    EXPECT_EQ(baseColour(again->txtInfo[3]), 0x00FF00);
    EXPECT_EQ(fontOf(again->txtInfo[3]), "DejaVu Serif 15 bold underline");
    EXPECT_EQ(textColour(again->txtInfo[3]), 0x0000FF);
}

TEST_F(LookTest, AStoredFontSizeNoBoxCanTakeIsSkippedAndAMissingFamilyKeepsItsName) {
    putSetting(QStringLiteral("TextFontName"), QStringLiteral("Absent Sans"));
    for (const char* bad : {"100000", "0", "-4"}) {
        putSetting(QStringLiteral("TextFontSize"), QString::fromLatin1(bad));
        open({{"Ann", "Lee"}});
        const double size = d->txtInfo[0]->font().pointSizeF();
        EXPECT_GT(size, 0) << bad;
        EXPECT_LE(size, Data::kMaxFieldFontSize) << bad;
        // The other keys still apply.
        EXPECT_EQ(d->txtInfo[0]->font().family(), QStringLiteral("Absent Sans")) << bad;
        Forms::unload(d);
        Forms::flushDeleted();
        EXPECT_EQ(setting(QStringLiteral("TextFontSize")), convert::fromNumber(size)) << bad;
        // The desktop lacks that family, yet its name goes back as it was.
        EXPECT_EQ(setting(QStringLiteral("TextFontName")), QStringLiteral("Absent Sans")) << bad;
    }
}

TEST_F(LookTest, ACancelledDialogChangesNothingAndArmsNothing) {
    open({{"Ann", "Lee"}});
    frmOptions* o = Forms::get<frmOptions>();
    d->mnuRed_Click();
    const QFont fieldFont = d->txtInfo[0]->font();
    const QString fontName = d->dlgFileOpen[1].FontName;
    // Then again once the printer setup has turned the cancel error on.
    for (const bool cancelError : {false, true}) {
        d->dlgFileOpen[0].CancelError = cancelError;
        for (const auto& [kind, click] : {std::pair{Kind::Color, &Data::mnuOther_Click},
                                          {Kind::Font, &Data::mnuRFont_Click},
                                          {Kind::Font, &Data::mnuFont_Click},
                                          {Kind::Color, &Data::mnuBackColors_Click},
                                          {Kind::Open, &Data::mnuBackPic_Click}}) {
            prompts->expectCancel(kind);
            (d->*click)();
        }
        EXPECT_EQ(d->backColor(), 0x0000FF) << cancelError;
        EXPECT_EQ(d->txtInfo[0]->font(), fieldFont) << cancelError;
        EXPECT_EQ(d->dlgFileOpen[1].FontName, fontName) << cancelError;
        EXPECT_FALSE(d->changedColorFlag || d->changedPicFlag) << cancelError;
        EXPECT_FALSE(o->cmdApply->isEnabled()) << cancelError;
    }
}

TEST_F(LookTest, SettingsChoicesWaitForApplyWhileRightClickChoicesActAtOnce) {
    open({{"Ann", "Lee"}});
    frmOptions* o = Forms::get<frmOptions>();
    const auto sample = [&](QPalette::ColorRole role) {
        return colourToStored(o->lblColor->palette().color(role));
    };
    d->mnuRed_Click();
    // A font chosen for the options dialog shows only on its sample.
    prompts->expectDialog(Kind::Font, chooseFont(QStringLiteral("DejaVu Sans"), 20, false, false, 0xFF0000));
    d->mnuFont_Click();
    EXPECT_NE(d->txtInfo[0]->font().pointSizeF(), 20);
    EXPECT_EQ(o->lblColor->font().pointSizeF(), 20);
    EXPECT_EQ(sample(QPalette::WindowText), 0xFF0000);
    EXPECT_TRUE(d->changedColorFlag);
    EXPECT_TRUE(o->cmdApply->isEnabled());
    // A font-only Apply keeps the colour the window was given directly.
    o->cmdApply_Click();
    EXPECT_EQ(d->backColor(), 0x0000FF);
    EXPECT_EQ(baseColour(d->txtInfo[2]), 0x0000FF);
    EXPECT_EQ(d->txtInfo[0]->font().pointSizeF(), 20);
    EXPECT_FALSE(d->changedColorFlag || o->cmdApply->isEnabled());

    // A colour chosen for the dialog waits too.
    prompts->expectDialog(Kind::Color, chooseColour(0xFFFF00));
    d->mnuBackColors_Click();
    EXPECT_EQ(d->backColor(), 0x0000FF);
    EXPECT_EQ(sample(QPalette::Window), 0xFFFF00);
    o->cmdApply_Click();
    EXPECT_EQ(d->backColor(), 0xFFFF00);

    // Settings "Default Font and Color": the factory font at once, the colour only with a later Apply.
    d->mnuFontandColor_Click();
    EXPECT_EQ(fontOf(d->txtInfo[0]), "MS Sans Serif 12");
    EXPECT_EQ(d->backColor(), 0xFFFF00);
    EXPECT_FALSE(d->changedColorFlag || o->cmdApply->isEnabled());
    EXPECT_EQ(sample(QPalette::WindowText), 0);

    // Right-click "Other" opens on the colour held and applies at once.
    d->mnuMagenta_Click();
    int32_t openedOn = -1;
    prompts->expectDialog(Kind::Color, chooseColour(0x123456, &openedOn));
    d->mnuOther_Click();
    EXPECT_EQ(openedOn, 0xFF00FF);
    EXPECT_EQ(d->backColor(), 0x123456);
    EXPECT_EQ(baseColour(d->txtInfo[0]), 0x123456);

    // Right-click "Default Font and Color": colour and font at once.
    prompts->expectDialog(Kind::Font, chooseFont(QStringLiteral("DejaVu Sans"), 18, true, false, 0xFF));
    d->mnuRFont_Click();
    d->mnuRFandC_Click();
    EXPECT_EQ(d->backColor(), kWindowBackground);
    EXPECT_EQ(fontOf(d->txtInfo[6]), "MS Sans Serif 12");
    EXPECT_EQ(textColour(d->txtInfo[6]), 0);
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

// A window made larger than its design picture (tiled, maximised) shows no edge where the
// picture ends and the window's colour begins.
TEST_F(LookTest, AWindowLargerThanItsPictureShowsNoSeamWhereThePictureEnds) {
    open({{"Ann", "Lee"}});
    Forms::show(d);
    d->resize(twipsToPixels(14265) + 300, twipsToPixels(9500) + 300);
    QWidget* surface = d->lblinfo[0]->parentWidget();
    const QSize picture = d->backPicture().size();
    ASSERT_TRUE(surface->width() > picture.width() + 10 && surface->height() > picture.height() + 10);
    const QImage shot = surface->grab().toImage();
    const auto alike = [&](QPoint inside, QPoint outside) {
        const QColor a = shot.pixelColor(inside), b = shot.pixelColor(outside);
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <
               12;
    };
    const auto bare = [&](QPoint at) { return surface->childAt(at) == nullptr; };
    int checked = 0;
    for (int y = 0; y < picture.height(); y += 7) {
        const QPoint in(picture.width() - 1, y), out(picture.width() + 3, y);
        if (!bare(in) || !bare(out)) continue;
        EXPECT_TRUE(alike(in, out)) << "right edge at y " << y;
        ++checked;
    }
    for (int x = 0; x < picture.width(); x += 7) {
        const QPoint in(x, picture.height() - 1), out(x, picture.height() + 3);
        if (!bare(in) || !bare(out)) continue;
        EXPECT_TRUE(alike(in, out)) << "bottom edge at x " << x;
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

TEST_F(LookTest, APictureChosenForApplyReplacesTheBackgroundOnlyWhenApplied) {
    open({{"Ann", "Lee"}});
    frmOptions* o = Forms::get<frmOptions>();
    const QString picture = appDir() + QStringLiteral("back.png");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(picture));
    prompts->expectFileDialog(picture);
    d->mnuBackPic_Click();
    EXPECT_TRUE(d->changedPicFlag);
    EXPECT_FALSE(o->ImagePrev->pixmap().isNull());
    EXPECT_TRUE(d->BackPic.isEmpty());
    o->cmdApply_Click();
    EXPECT_EQ(d->BackPic, picture);
    EXPECT_TRUE(d->hasBackPicture());
    EXPECT_TRUE(d->dlgFileOpen[0].FileName.isEmpty());

    d->mnuRemoveBackPic_Click();
    EXPECT_FALSE(d->hasBackPicture() || !d->BackPic.isEmpty());
    EXPECT_TRUE(o->ImagePrev->pixmap().isNull());
}
