#include "book_fixture.h"
#include "data/property_bag.h"
#include "phonebook/frm_options.h"
#include "platform/printer.h"
#include "platform/units.h"
#include "workspace/frm_save.h"
#include "workspace/menu_builder.h"
#include "workspace/vantrel_mdi.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace pb;
using namespace pbtest;
using Kind = ScriptedPrompts::Kind;

class OptionsTest : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        printerFont() = PrinterFont();
    }
    frmOptions* options() { return Forms::get<frmOptions>(); }
    // The progress window runs its job at once instead of waiting for its timer.
    void runJobsAtOnce() {
        prompts->onModal = [](QDialog& dlg) { static_cast<frmSave&>(dlg).fireArmed(); };
    }
};

TEST_F(OptionsTest, OpensOnTheWindowsStateAndOnlyAChoiceArmsApply) {
    open({{"Ann", "Lee"}});
    m().KeepAutomaticLabel = true;
    m().PlaySoundEffect = false;
    m().Label[0] = QStringLiteral("Given");
    d->mnuCyan_Click();
    frmOptions* o = options();
    EXPECT_EQ(o->parentWidget(), static_cast<QWidget*>(Forms::find<VantrelMDI>()));
    EXPECT_TRUE(o->chkAuto->isChecked());
    EXPECT_TRUE(o->chkNoSound->isChecked());
    EXPECT_EQ(o->optSortBy0->text(), QStringLiteral("By Given"));
    EXPECT_EQ(o->optSortBy1->text(), QStringLiteral("By Last name"));
    EXPECT_EQ(colourToStored(o->lblColor->palette().color(QPalette::Window)), 0xFFFF00);
    EXPECT_EQ(o->lblColor->font().family(), d->txtInfo[0]->font().family());
    EXPECT_FALSE(o->cmdApply->isEnabled());
    // The built-in picture is no picture of the user's: the preview stays empty.
    EXPECT_TRUE(d->BackPic.isEmpty());
    EXPECT_TRUE(o->ImagePrev->pixmap().isNull());
    for (QRadioButton* r : {o->optDont, o->optSortBy0, o->optSortBy1, o->optCancelExport, o->optExportMdb,
                            o->optExportWeb, o->optExportText})
        EXPECT_FALSE(r->isChecked()) << r->text().toStdString();
    // Exports whose commands do not exist cannot be chosen.
    EXPECT_EQ(o->optExportWeb->isEnabled(), d->action(QStringLiteral("mnuSaveAsHtml"))->isEnabled());
    EXPECT_EQ(o->optExportMdb->isEnabled(), d->action(QStringLiteral("mnuTransform"))->isEnabled());
    // A change of tab plays its sound.
    m().PlaySoundEffect = true;
    o->SSTab->setCurrentIndex(2);
    EXPECT_EQ(sounds->played, std::vector<int>{104});

    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             o->chkAuto, o->chkBackUp, o->chkNoSound, o->chkPrintBold, o->chkPrintColor, o->chkPrintItalic,
             o->chkPrintSetup, o->chkPrintUnderline, o->optSortBy0, o->optSortBy1}) {
        o->cmdApply->setEnabled(false);
        b->click();
        EXPECT_TRUE(o->cmdApply->isEnabled()) << b->text().toStdString();
        b->setChecked(false);
    }
    o->cmdApply->setEnabled(false);
    o->optDont->click();
    o->optCancelExport->click();
    EXPECT_FALSE(o->cmdApply->isEnabled());

    // OK with Apply disabled: the printer keeps its bold although the box is unchecked.
    printerFont().bold = true;
    m().PlaySoundEffect = true;
    o->cmdOk_Click();
    EXPECT_TRUE(printerFont().bold);
    EXPECT_TRUE(m().PlaySoundEffect);
    EXPECT_EQ(Forms::find<frmOptions>(), nullptr);
}

TEST_F(OptionsTest, ApplyCarriesOutASortAndABackupChosenTogether) {
    open({{"Cy", "Oz"}, {"Ann", "Lee"}, {"Bob", "Ray"}});
    runJobsAtOnce();
    Forms::get<VantrelMDI>();
    m().PlaySoundEffect = true;
    frmOptions* o = options();
    o->optSortBy0->click();
    o->chkBackUp->click();
    o->chkNoSound->click();
    o->chkPrintItalic->click();
    QDir().mkpath(tmp.path() + QStringLiteral("/copies"));
    const QString copy = tmp.path() + QStringLiteral("/copies/Copy.q7b");
    prompts->expectDialog(Kind::Save, [&](CommonDialog& dlg) {
        dlg.FileName = copy;
        return true;
    });
    o->cmdOk_Click();
    EXPECT_EQ(firstNames(), (QStringList{"Ann", "Bob", "Cy"}));
    // The backup came after the sort, so it holds the sorted book.
    EXPECT_EQ(readFile(copy), file());
    EXPECT_FALSE(m().PlaySoundEffect);
    EXPECT_TRUE(printerFont().italic);
    EXPECT_EQ(Forms::find<frmOptions>(), nullptr); // closed by the reload, never made again
    EXPECT_EQ(Forms::find<Data>(), d);
}

TEST_F(OptionsTest, CustomizeLabelKeepsACancelledCaptionAndAsksForTheRest) {
    open({{"Ann", "Lee"}});
    frmOptions* o = options();
    prompts->expect(QStringLiteral("Do you want to change labels text?"), mb::YesNoCancel | mb::Question,
                    QStringLiteral("Customize Label"), mb::Yes);
    const QString title = QStringLiteral("Renaming labels");
    prompts->expectInput(QStringLiteral("Type text for label  1"), title, QStringLiteral("Given"));
    prompts->expectInputCancel(QStringLiteral("Type text for label  2"), title);
    prompts->expectInput(QStringLiteral("Type text for label  3"), title, QString());
    prompts->expectInput(QStringLiteral("Type text for label  4"), title, QStringLiteral("Mail"));
    for (int i = 5; i <= 7; ++i)
        prompts->expectInput(QStringLiteral("Type text for label  %1").arg(i), title, m().Label[i - 1]);
    o->cmdCustomLabel_Click();
    ASSERT_EQ(prompts->inputs.size(), 7u);
    EXPECT_EQ(prompts->inputs[1].defaultText, QStringLiteral("Last name"));
    EXPECT_EQ(d->lblinfo[0]->text(), QStringLiteral("Given"));
    EXPECT_EQ(d->lblinfo[1]->text(), QStringLiteral("Last name"));
    EXPECT_EQ(d->lblinfo[2]->text(), QString());
    EXPECT_EQ(d->OptFirst->text(), QStringLiteral("Given"));
    EXPECT_EQ(d->OptEmail->text(), QStringLiteral("Mail"));
    EXPECT_EQ(d->action(QStringLiteral("mnuSortFirst"))->text(), QStringLiteral("Sort by Given"));
    EXPECT_FALSE(o->cmdApply->isEnabled());
    Forms::unload(d);
    const PropertyBag bag = loadBagFile(appDir() + QStringLiteral("Dorvane2DataBase.set"));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Label0")).toString(), QStringLiteral("Given"));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("Label1")).toString(), QStringLiteral("Last name"));

    // Anything but Yes asks nothing further.
    prompts->expect({}, -1, QStringLiteral("Customize Label"), mb::No);
    Forms::flushDeleted();
    open({{"Ann", "Lee"}});
    options()->cmdCustomLabel_Click();
}

TEST_F(OptionsTest, ThePrinterTabSetsThePrinterFontAndShowsTheSetup) {
    open({{"Ann", "Lee"}});
    frmOptions* o = options();
    const QString fieldFamily = d->dlgFileOpen[1].FontName;
    o->chkPrintBold->click();
    o->chkPrintColor->click();
    o->chkPrintSetup->click();
    prompts->expectDialog(Kind::Font, [](CommonDialog& dlg) {
        dlg.FontName = QStringLiteral("DejaVu Serif");
        dlg.FontSize = 9;
        dlg.FontBold = false;
        dlg.Color = 0x0000FF;
        return true;
    });
    prompts->expectCancel(Kind::Print);
    o->cmdApply_Click();
    EXPECT_EQ(printerFont().name, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(printerFont().size, 9);
    EXPECT_EQ(printerFont().color, 0x0000FF);
    EXPECT_FALSE(printerFont().bold); // the dialog's choice comes after the check box
    EXPECT_EQ(d->dlgFileOpen[1].FontName, fieldFamily);
    EXPECT_TRUE(d->dlgFileOpen[0].CancelError);
    EXPECT_FALSE(o->cmdApply->isEnabled());

    // A cancelled printer font leaves the printer's font as it was.
    o->chkPrintSetup->setChecked(false);
    o->chkPrintColor->click();
    o->chkPrintColor->setChecked(true);
    prompts->expectCancel(Kind::Font);
    o->cmdApply_Click();
    EXPECT_EQ(printerFont().name, QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(printerFont().bold);
}

TEST_F(OptionsTest, ChangeAndRestorePopUpTheWindowsHiddenMenus) {
    open({{"Ann", "Lee"}});
    frmOptions* o = options();
    QMenu* popped = nullptr;
    Popup::watcher = [&](QMenu* menu, const QPoint&) { popped = menu; };
    o->cmdColor_Click();
    ASSERT_NE(popped, nullptr);
    EXPECT_EQ(popped, d->action(QStringLiteral("mnuSettings"))->menu());
    o->cmdRestore_Click();
    EXPECT_EQ(popped, d->action(QStringLiteral("mnuRestore"))->menu());
    Popup::watcher = nullptr;
    // Cancel closes without applying; the next opening starts afresh.
    o->chkNoSound->click();
    m().PlaySoundEffect = true;
    o->cmdCancel_Click();
    EXPECT_TRUE(m().PlaySoundEffect);
    Forms::flushDeleted();
    EXPECT_FALSE(options()->chkNoSound->isChecked());
}
