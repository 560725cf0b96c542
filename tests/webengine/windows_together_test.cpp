// The film surface and the page view in one frame, in either order, on a real X server.
#include "accessories/frm_browser.h"
#include "accessories/frm_media_player.h"
#include "app_fixture.h"
#include "media_files.h"
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
QStringList glTrouble;
QtMessageHandler shownBefore = nullptr;

void watchGl(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("makeCurrent")) || text.contains(QLatin1String("context current")))
        glTrouble << text;
    if (shownBefore) shownBefore(type, context, text);
}

// The screen shows a colour near (r, g) in the middle of `w`, as a person sees it, while `also` holds.
bool shows(QWidget* w, int r, int g, const std::function<bool()>& also = {}) {
    return w &&
           QTest::qWaitFor(
               [&] {
                   const QPoint middle = w->mapToGlobal(w->rect().center());
                   const QColor c =
                       w->screen()->grabWindow(0, middle.x(), middle.y(), 1, 1).toImage().pixelColor(0, 0);
                   return (!also || also()) && std::abs(c.red() - r) < 30 && std::abs(c.green() - g) < 30;
               },
               30000);
}

class WindowsTogether : public pbtest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        glTrouble.clear();
        shownBefore = qInstallMessageHandler(watchGl);
        film = appDir() + QStringLiteral("film.avi");
        pbtest::writeAvi(film, 20);
        for (const char* colour : kColours) // a page of each colour, named by it
            pbtest::writeFile(appDir() + QLatin1String(colour + 1) + QStringLiteral(".htm"),
                              QByteArray("<html><body style='background:") + colour + "'></body></html>");
        frame = Forms::get<VantrelMDI>();
        frame->setGeometry(20, 20, 1200, 840);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }
    void TearDown() override {
        AppFixture::TearDown();
        qInstallMessageHandler(shownBefore);
    }

    // The other page than last time: its colour shows only if the frame still draws.
    QString nextPage() {
        m_page = 1 - m_page;
        return QUrl::fromLocalFile(appDir() + QLatin1String(kColours[m_page] + 1) + QStringLiteral(".htm"))
            .toString();
    }
    bool pageShows() {
        const QColor want(QLatin1String(kColours[m_page]));
        auto* surfer = Forms::find<frmBrowser>();
        return surfer && shows(surfer->WebBrowser->widget(), want.red(), want.green());
    }
    // The film's frames are red 200, green 100.
    bool filmShows() {
        auto* player = Forms::find<frmMediaPlayer>();
        return player && shows(player->MP->surface(), 200, 100, [&] {
                   return player->MP->player()->playbackState() == QMediaPlayer::PlayingState;
               });
    }
    // Film and page tiled side by side: both show, the film plays to its end, and nothing
    // stopped drawing.
    void expectBothShow() {
        frame->OpenMyFile(film);
        ShowSurferAt(nextPage());
        frame->Arrange(2);
        ASSERT_TRUE(filmShows());
        ASSERT_TRUE(pageShows());
        QMediaPlayer* player = Forms::find<frmMediaPlayer>()->MP->player();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return player->mediaStatus() == QMediaPlayer::EndOfMedia; }, 30000));
        ASSERT_EQ(glTrouble.join(QLatin1Char('\n')).toStdString(), "");
    }

    VantrelMDI* frame = nullptr;
    QString film;

private:
    static constexpr const char* kColours[] = {"#20c040", "#2040e0"};
    int m_page = 1;
};

} // namespace

TEST_F(WindowsTogether, AFilmThenThePageSurfer) {
    frame->OpenMyFile(film);
    ASSERT_TRUE(filmShows());
    expectBothShow();
}

TEST_F(WindowsTogether, ThePageSurferThenAFilm) {
    ShowSurferAt(nextPage());
    ASSERT_TRUE(pageShows());
    expectBothShow();
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
