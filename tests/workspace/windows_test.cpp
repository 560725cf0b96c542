#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/units.h"
#include "workspace/frm_about.h"
#include "workspace/frm_handler.h"
#include "workspace/frm_help.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;

class WindowsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        frame = Forms::get<VantrelMDI>();
        pbm().PlaySoundEffect = true;
    }
    VantrelMDI* frame = nullptr;
};

TEST_F(WindowsTest, TheAboutBoxShowsTheVersionAndStartsAfreshAfterOk) {
    frame->setGeometry(200, 150, 900, 700);
    frame->show();
    frame->action(QStringLiteral("mnuAbout"))->trigger();
    frmAbout* about = Forms::find<frmAbout>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    // A window of its own comes up over the middle of the frame.
    EXPECT_LE((about->frameGeometry().center() - frame->frameGeometry().center()).manhattanLength(), 4);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Dorvane v.%1.%2.%3")
                                        .arg(DORVANE_VERSION_MAJOR)
                                        .arg(DORVANE_VERSION_MINOR)
                                        .arg(DORVANE_VERSION_PATCH));
    about->setWindowTitle(QStringLiteral("changed"));
    about->cmdOk->click();
    EXPECT_EQ(Forms::find<frmAbout>(), nullptr);
    Forms::flushDeleted();
    frame->action(QStringLiteral("mnuAbout"))->trigger();
    EXPECT_EQ(Forms::find<frmAbout>()->windowTitle(), frmAbout::versionCaption());
}

TEST_F(WindowsTest, TheHelpWindowAlwaysOpensAtItsOwnSize) {
    frame->action(QStringLiteral("mnuContents"))->trigger();
    frmHelp* help = Forms::find<frmHelp>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(sounds->played, std::vector<int>{102});
    EXPECT_GE(help->txtHelp->toPlainText().count(QLatin1Char('\n')), 15);
    const QSize own(twipsToPixels(7155), twipsToPixels(6840));
    EXPECT_EQ(help->size(), own);
    help->resize(900, 700);
    // The title bar's close unloads it through the registry.
    help->close();
    EXPECT_EQ(Forms::find<frmHelp>(), nullptr);
    Forms::flushDeleted();
    ShowForm(QStringLiteral("frmHelp"));
    EXPECT_EQ(Forms::find<frmHelp>()->size(), own);
    Forms::find<frmHelp>()->cmdCancel->click();
    EXPECT_EQ(Forms::find<frmHelp>(), nullptr);
}

TEST_F(WindowsTest, TheHandlerWindowHoldsTheHomeAddressAndWaitsForTheSurfer) {
    frame->MDIToolbar_ButtonClick(QStringLiteral("Linkward"));
    frmHandler* handler = Forms::find<frmHandler>();
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler->LinkwardControl1->address(), frmHandler::kDefaultAddress);
    EXPECT_EQ(handler->cmdCustom->isEnabled(), Forms::isRegistered(QStringLiteral("frmBrowser")));
    // Opened at most once.
    frame->action(QStringLiteral("mnuWebSurfer"))->trigger();
    EXPECT_EQ(Forms::find<frmHandler>(), handler);
}

TEST_F(WindowsTest, ThePhoneBookWindowLaunchesEachWindowAndTheFrameClosesThemAll) {
    Data* d = Forms::get<Data>();
    Forms::show(d);
    sounds->played.clear();
    d->action(QStringLiteral("mnuContents"))->trigger();
    d->action(QStringLiteral("mnuLinkward"))->trigger();
    d->action(QStringLiteral("mnuOptions"))->trigger();
    EXPECT_EQ(sounds->played, (std::vector<int>{102, 102, 102}));
    d->action(QStringLiteral("mnuAbout"))->trigger();
    EXPECT_EQ(sounds->played.back(), 101);
    const char* names[] = {"frmHelp", "frmHandler", "frmOptions", "frmAbout"};
    std::vector<QWidget*> windows;
    for (const char* n : names) {
        Form* f = Forms::byName(QString::fromLatin1(n));
        ASSERT_NE(f, nullptr) << n;
        EXPECT_TRUE(f->widget()->isVisible()) << n;
        EXPECT_TRUE(f->widget()->isWindow()) << n;
        windows.push_back(f->widget());
    }
    frame->close();
    EXPECT_TRUE(Forms::loaded().empty());
    for (QWidget* w : windows)
        EXPECT_FALSE(w->isVisible());
}
