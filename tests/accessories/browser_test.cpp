#include "accessories/frm_browser.h"
#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "output_fakes.h"
#include "web_fakes.h"
#include "workspace/help_class.h"
#include "workspace/menu_builder.h"
#include "workspace/publisher_pages.h"
#include "workspace/vantrel_mdi.h"

#include <QComboBox>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;
using Kind = pb::Prompts::DialogKind;

namespace {

const QString kHome = QStringLiteral("http://www.brenmoor.example/");

class BrowserTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        b = Forms::get<frmBrowser>();
        v = views.last;
    }
    QStringList list() const {
        QStringList out;
        for (int i = 0; i < b->cboAddress->count(); ++i)
            out << b->cboAddress->itemText(i);
        return out;
    }
    static QString caption(const QString& title) {
        return QStringLiteral("q7P Surfer") + QString(23, u' ') + title;
    }

    RecordingWebViews views;
    frmBrowser* b = nullptr;
    RecordingWebView* v = nullptr;
};

} // namespace

TEST_F(BrowserTest, LoadsBlankAtThePublishersHome) {
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->calls.isEmpty());
    EXPECT_EQ(list(), QStringList{kHome});
    EXPECT_EQ(b->windowTitle(), caption(kHome));

    // Nothing is kept: closed and opened again, the list starts afresh.
    b->NavigateTo(QStringLiteral("www.one.example"));
    b->close();
    Forms::flushDeleted();
    b = Forms::get<frmBrowser>();
    EXPECT_EQ(list(), QStringList{kHome});
    b->action(QStringLiteral("mnuClose"))->trigger();
    EXPECT_EQ(Forms::find<frmBrowser>(), nullptr);
}

TEST_F(BrowserTest, NavigateToTakesAnyAddressFormAndKeepsEachOnceNewestFirst) {
    v->url = QStringLiteral("http://stale.example/"); // the engine still reports the page before
    v->title = QStringLiteral("Old page");
    b->NavigateTo(QStringLiteral("/srv/pages/a b.htm"));
    const QString file = QUrl::fromLocalFile(QStringLiteral("/srv/pages/a b.htm")).toString();
    EXPECT_EQ(v->navigated, QStringList{file});
    EXPECT_EQ(list(), QStringList({file, kHome}));
    EXPECT_EQ(b->cboAddress->currentText(), file);
    EXPECT_EQ(b->windowTitle(), caption(QStringLiteral("Old page")));
    EXPECT_TRUE(b->timTimerEnabled);

    b->NavigateTo(QStringLiteral("www.x.example/Page"));
    b->NavigateTo(QStringLiteral("http://www.x.example/page"));
    b->NavigateTo(QStringLiteral("www.x.example/Page")); // moved to the top, not added
    b->OpenPublisherPage(QString());                     // the start address, in the same form
    EXPECT_EQ(v->navigated.size(), 5);                   // one navigation per command
    EXPECT_EQ(v->navigated[1], QStringLiteral("http://www.x.example/Page"));
    EXPECT_EQ(list(), QStringList({kHome, QStringLiteral("http://www.x.example/Page"),
                                   QStringLiteral("http://www.x.example/page"), file}));
    EXPECT_TRUE(sounds->played.empty());
}

TEST_F(BrowserTest, TypedAndPickedAddressesNavigateWithoutTouchingTheList) {
    b->NavigateTo(QStringLiteral("www.one.example"));
    const QStringList before = list();
    b->cboAddress->setEditText(QStringLiteral("www.typed.example"));
    QTest::keyClick(b->cboAddress, Qt::Key_Return); // where the keys go: the box has the focus
    EXPECT_EQ(v->navigated.last(), QStringLiteral("http://www.typed.example"));
    EXPECT_EQ(list(), before);

    // Selecting an entry from code never navigates; the user's pick does, once.
    const qsizetype n = v->navigated.size();
    b->cboAddress->setCurrentIndex(1);
    EXPECT_EQ(v->navigated.size(), n);
    Q_EMIT b->cboAddress->activated(1);
    EXPECT_EQ(v->navigated.size(), n + 1);
    EXPECT_EQ(v->navigated.last(), kHome);
    EXPECT_EQ(list(), before);
}

TEST_F(BrowserTest, ToolbarButtonsByKey) {
    const auto click = [&](const char* key) { b->toolbarButton(QString::fromLatin1(key))->trigger(); };
    click("Back");
    click("Forward");
    click("Refresh");
    click("Home");
    click("Search");
    EXPECT_TRUE(b->timTimerEnabled);
    v->title = QStringLiteral("Halted");
    click("Stop");
    EXPECT_FALSE(b->timTimerEnabled);
    EXPECT_EQ(b->windowTitle(), caption(QStringLiteral("Halted")));
    b->tbToolBar_ButtonClick(QStringLiteral("back")); // keys are exact
    EXPECT_EQ(v->calls,
              QStringList({QStringLiteral("back"), QStringLiteral("forward"), QStringLiteral("refresh"),
                           QStringLiteral("navigate ") + kHome,
                           QStringLiteral("navigate ") + publisherSearch(), QStringLiteral("stop")}));
    EXPECT_EQ(list(), QStringList{kHome});

    // Browse Offline: a cancel says nothing; a chosen file goes to the top of the list.
    prompts->expectCancel(Kind::Open);
    click("Offline");
    EXPECT_EQ(v->navigated.size(), 2);
    prompts->expectFileDialog(QStringLiteral("/srv/saved.html"));
    click("Offline");
    EXPECT_EQ(list().first(), QStringLiteral("file:///srv/saved.html"));
}

TEST_F(BrowserTest, LoadedPagesSetTheCaptionAndMailLinksLeaveTheView) {
    v->finishLoad(QStringLiteral("Contacts"));
    EXPECT_EQ(b->windowTitle(), caption(QStringLiteral("Contacts")));
    ASSERT_TRUE(v->mailLink);
    RecordingMailer mail;
    v->mailLink(QUrl(QStringLiteral("mailto:ann@mail.example?subject=Hi%20there&cc=eve@x.example")));
    ASSERT_EQ(mail.sent.size(), 1u);
    EXPECT_EQ(mail.sent[0].address, QStringLiteral("ann@mail.example"));
    EXPECT_EQ(mail.sent[0].subject, QStringLiteral("Hi there"));
    EXPECT_TRUE(shell->opened.isEmpty()); // the page's extra header is not passed on
    EXPECT_TRUE(v->navigated.isEmpty());
}

TEST_F(BrowserTest, OnlineItemsOpenTheirPagesThroughOneTable) {
    // The surfer's own items navigate in place, without a sound.
    for (const OnlineItem& it : onlineItems(OnlineMenu::Surfer)) {
        b->action(QString::fromLatin1(it.name))->trigger();
        EXPECT_EQ(v->navigated.last(), kHome + QLatin1String(it.page)) << it.name;
    }
    EXPECT_EQ(list().first(), kHome + QStringLiteral("world_news.htm"));
    EXPECT_TRUE(sounds->played.empty());

    // The frame's bring the surfer up (its sound) and go to the page.
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    pbm().PlaySoundEffect = true;
    for (const OnlineItem& it : onlineItems(OnlineMenu::Frame)) {
        frame->action(QString::fromLatin1(it.name))->trigger();
        EXPECT_EQ(v->navigated.last(), kHome + QLatin1String(it.page)) << it.name;
    }
    EXPECT_EQ(sounds->played, std::vector<int>(onlineItems(OnlineMenu::Frame).size(), sound::OpenWindow));
    frame->MDIToolbar_ButtonClick(QStringLiteral("TechSupp"));
    EXPECT_EQ(v->navigated.last(), kHome + QStringLiteral("Feedback.htm"));

    // Every window's menu is built from the table, with its own names.
    std::map<QString, QAction*> actions;
    QWidget w;
    QMenuBar bar(&w);
    MenuBuilder mb{&w, &bar, actions};
    QStringList pages;
    mb.onlineMenu(OnlineMenu::PhoneBook, [&](const QString& p) { pages << p; });
    for (const char* name : {"mnuProduct", "mnuHome", "mnuSport", "mnWorld"})
        actions.at(QString::fromLatin1(name))->trigger();
    EXPECT_EQ(pages, QStringList({QStringLiteral("prod04.htm"), QString(), QStringLiteral("sports_news.htm"),
                                  QStringLiteral("world_news.htm")}));
}
