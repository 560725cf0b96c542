// The film surface and the page view in one frame, in either order, on a real X server.
#include "../accessories/media_files.h"
#include "accessories/frm_browser.h"
#include "accessories/frm_media_player.h"
#include "app_fixture.h"
#include "workspace/film_surface.h"
#include "workspace/forms.h"
#include "workspace/frm_handler.h"
#include "workspace/media_control.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QMediaPlayer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace pb;

namespace {

// Warnings of the drawing contexts: a frame that gives these has stopped repainting.
QStringList& glTrouble() {
    static QStringList lines;
    return lines;
}

QtMessageHandler& shownBefore() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

void watchGl(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("makeCurrent")) || text.contains(QLatin1String("context current")))
        glTrouble() << text;
    if (shownBefore()) shownBefore()(type, context, text);
}

class WindowsTogether : public pbtest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        glTrouble().clear();
        shownBefore() = qInstallMessageHandler(watchGl);
        film = appDir() + QStringLiteral("film.avi");
        pbtest::writeAvi(film, 20);
        for (const Page& p : kPages)
            pbtest::writeFile(appDir() + QLatin1String(p.name),
                              QByteArray("<html><body style='background:") + p.colour + "'></body></html>");
        frame = Forms::get<VantrelMDI>();
        frame->setGeometry(20, 20, 1200, 840);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }
    void TearDown() override {
        AppFixture::TearDown();
        qInstallMessageHandler(shownBefore());
    }

    // The colour the screen shows in the middle of `w`, as a person would see it.
    static QColor seen(QWidget* w) {
        const QPoint middle = w->mapToGlobal(w->rect().center());
        const QImage shot = w->screen()->grabWindow(0, middle.x(), middle.y(), 1, 1).toImage();
        return shot.isNull() ? QColor() : shot.pixelColor(0, 0);
    }
    static bool near(const QColor& a, int r, int g) {
        return std::abs(a.red() - r) < 30 && std::abs(a.green() - g) < 30;
    }
    // The colour of the page last opened shows where the surfer's page is.
    bool pageShows() {
        auto* surfer = Forms::find<frmBrowser>();
        const QColor want(QLatin1String(kPages[m_page].colour));
        return surfer &&
               QTest::qWaitFor(
                   [&] { return near(seen(surfer->WebBrowser->widget()), want.red(), want.green()); }, 30000);
    }
    // The film's frames (red 200, green 100) show in the player while it plays.
    bool filmShows() {
        auto* player = Forms::find<frmMediaPlayer>();
        return player && QTest::qWaitFor(
                             [&] {
                                 return player->MP->player()->playbackState() == QMediaPlayer::PlayingState &&
                                        near(seen(player->MP->surface()), 200, 100);
                             },
                             30000);
    }
    void openFilm() { frame->OpenMyFile(film); }
    // The other page than last time: a new colour shows only if the frame still draws.
    QString nextPage() {
        m_page = 1 - m_page;
        return QUrl::fromLocalFile(appDir() + QLatin1String(kPages[m_page].name)).toString();
    }
    void openPage() { ShowSurferAt(nextPage()); }
    // The film plays to its end in sight while the page stays in sight (the two windows tiled
    // side by side), and nothing stopped drawing.
    void expectBothShow(const char* when, int arrangement = 2) {
        SCOPED_TRACE(when);
        openFilm();
        openPage();
        frame->Arrange(arrangement);
        ASSERT_TRUE(filmShows());
        ASSERT_TRUE(pageShows());
        QMediaPlayer* player = Forms::find<frmMediaPlayer>()->MP->player();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return player->mediaStatus() == QMediaPlayer::EndOfMedia; }, 30000));
        ASSERT_EQ(glTrouble().join(QLatin1Char('\n')).toStdString(), "");
    }
    // Maximised one after the other, the frame moved, both closed and opened again.
    void rearrange() {
        ASSERT_NO_FATAL_FAILURE(expectBothShow("tiled the other way", 1));
        Forms::find<frmBrowser>()->showMaximized();
        ASSERT_TRUE(pageShows());
        Forms::find<frmMediaPlayer>()->showMaximized();
        openFilm();
        ASSERT_TRUE(filmShows());
        Forms::find<frmMediaPlayer>()->showNormal();
        frame->move(60, 40);
        ASSERT_NO_FATAL_FAILURE(expectBothShow("the frame moved"));
        Forms::unload<frmMediaPlayer>();
        Forms::unload<frmBrowser>();
        Forms::flushDeleted();
        openPage();
        ASSERT_NO_FATAL_FAILURE(expectBothShow("closed and opened again"));
    }

    VantrelMDI* frame = nullptr;
    QString film;

private:
    struct Page {
        const char* name;
        const char* colour;
    };
    static constexpr Page kPages[] = {{"green.htm", "#20c040"}, {"blue.htm", "#2040e0"}};
    int m_page = 1;
};

} // namespace

TEST_F(WindowsTogether, AFilmThenThePageSurfer) {
    openFilm();
    ASSERT_TRUE(filmShows());
    openPage();
    ASSERT_TRUE(pageShows());
    ASSERT_NO_FATAL_FAILURE(expectBothShow("film first"));
    rearrange();
}

TEST_F(WindowsTogether, ThePageSurferThenAFilm) {
    openPage();
    ASSERT_TRUE(pageShows());
    ASSERT_NO_FATAL_FAILURE(expectBothShow("page first"));
    rearrange();
}

TEST_F(WindowsTogether, TheHandlersButtonMovesNoWindow) {
    ShowForm(QStringLiteral("frmHandler"));
    auto* handler = Forms::find<frmHandler>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(handler));
    // Aside, so that it hides no part of the page in the middle of the frame.
    handler->move(frame->geometry().bottomRight() - QPoint(handler->width(), handler->height()));
    QTest::qWait(200);
    const QRect framePlace = frame->geometry();
    const QRect handlerPlace = handler->geometry();
    handler->LinkwardControl1->setAddress(nextPage());
    handler->cmdCustom->click();
    ASSERT_TRUE(pageShows());
    EXPECT_EQ(frame->geometry(), framePlace);
    EXPECT_EQ(handler->geometry(), handlerPlace);
    // Still in front of the frame, where the user left it.
    EXPECT_EQ(QApplication::topLevelAt(handlerPlace.center()), handler);
}
