#include "accessories/frm_media_player.h"
#include "app_fixture.h"
#include "media_files.h"
#include "platform/native_name.h"
#include "workspace/film_surface.h"
#include "workspace/forms.h"
#include "workspace/media_control.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/viewer_pane.h"

#include <QFile>
#include <QMediaPlayer>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QVideoFrame>
#include <cstdio>
#include <gtest/gtest.h>

using namespace pb;

namespace {

class MediaTest : public pbtest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        frame = Forms::get<VantrelMDI>();
        player = Forms::get<frmMediaPlayer>();
    }
    static bool playsToTheEnd(QMediaPlayer* p) {
        return QTest::qWaitFor([p] { return p->mediaStatus() == QMediaPlayer::EndOfMedia; }, 15000);
    }
    using Kind = pbtest::ScriptedPrompts::Kind;
    VantrelMDI* frame = nullptr;
    frmMediaPlayer* player = nullptr;
};

} // namespace

TEST_F(MediaTest, GeneratedSoundAndFilmPlayToTheirEnd) {
    const QString wav = appDir() + QStringLiteral("tone.wav");
    pbtest::writeWav(wav, 400);
    prompts->expectFileDialog(wav);
    player->mnuOpen_Click();
    EXPECT_TRUE(playsToTheEnd(player->MP->player()));

    // A film opened by its extension plays in the same window.
    const QString avi = appDir() + QStringLiteral("clip.avi");
    pbtest::writeAvi(avi, 6);
    frame->OpenMyFile(avi);
    EXPECT_TRUE(player->isVisible());
    EXPECT_TRUE(playsToTheEnd(player->MP->player()));
    EXPECT_TRUE(player->MP->player()->hasVideo());

    // And the frame's viewer pane plays sounds, also one whose name is not UTF-8.
    frame->OpenMyFile(wav);
    EXPECT_TRUE(playsToTheEnd(frame->mdiPic()->player()));
    const QByteArray odd = QFile::encodeName(appDir()) + "s\xe9.wav";
    ASSERT_EQ(::rename(QFile::encodeName(wav).constData(), odd.constData()), 0);
    frame->OpenMyFile(native::fromBytes(odd));
    EXPECT_TRUE(playsToTheEnd(frame->mdiPic()->player()));
}

TEST_F(MediaTest, ABrokenFileGivesTheErrorBoxAndACancelPlaysNothing) {
    const QString broken = appDir() + QStringLiteral("broken.wav");
    pbtest::writeFile(broken, QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24));
    prompts->expectFileDialog(broken);
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    player->mnuOpen_Click();
    ASSERT_EQ(prompts->shown.size(), 1u);
    const auto& box = prompts->shown[0];
    EXPECT_TRUE(box.prompt.startsWith(QStringLiteral("321 "))) << qPrintable(box.prompt);
    EXPECT_EQ(box.title, QStringLiteral("ERROR:  ") + box.prompt.mid(4));
    EXPECT_EQ(player->MP->player()->source(), QUrl());

    // The frame's dialog still holds a file name and raises nothing on cancel: nothing plays.
    frame->MDICD.FileName = broken;
    frame->MDICD.CancelError = false;
    prompts->expectCancel(Kind::Open);
    player->mnuOpen_Click();
    frame->MDICD.CancelError = true;
    prompts->expectCancel(Kind::Open);
    player->mnuOpen_Click();
    EXPECT_EQ(player->MP->player()->source(), QUrl());
    player->action(QStringLiteral("mnuClose"))->trigger();
    EXPECT_EQ(Forms::find<frmMediaPlayer>(), nullptr);
}

TEST_F(MediaTest, ClosingThePlayerWhileAFileOpensEndsTheOpeningQuietly) {
    const QString avi = appDir() + QStringLiteral("slow.avi");
    pbtest::writeAvi(avi, 60);
    // The close comes while the opening lets events through; no box follows, and nothing is touched after.
    QTimer::singleShot(0, [] { Forms::unload<frmMediaPlayer>(); });
    frame->OpenMyFile(avi);
    Forms::flushDeleted();
    EXPECT_EQ(Forms::find<frmMediaPlayer>(), nullptr);
}

namespace {

// A frame of 4 x 2 pixels, red on the left half and blue on the right, in a YUV layout
// (BT.601, video range: red is Y 81 U 90 V 240, blue Y 41 U 240 V 110).
QVideoFrame redBlueFrame(QVideoFrameFormat::PixelFormat layout) {
    using F = QVideoFrameFormat;
    QVideoFrame frame(F(QSize(4, 2), layout));
    if (!frame.map(QVideoFrame::WriteOnly)) return {};
    const auto put = [&](int plane, int row, int col, int value) {
        frame.bits(plane)[row * frame.bytesPerLine(plane) + col] = static_cast<uchar>(value);
    };
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c) {
            const int half = c / 2, y = half ? 41 : 81, u = half ? 240 : 90, v = half ? 110 : 240;
            if (layout == F::Format_YUYV || layout == F::Format_UYVY) { // Y U Y V, or U Y V Y
                const int yAt = layout == F::Format_YUYV ? 0 : 1;
                put(0, r, c * 2 + yAt, y);
                put(0, r, c * 2 + 1 - yAt, c % 2 ? v : u);
            } else if (layout == F::Format_NV12 ||
                       layout == F::Format_NV21) { // U and V paired, V first in NV21
                put(0, r, c, y);
                put(1, r / 2, c, (c % 2 == 0) == (layout == F::Format_NV12) ? u : v);
            } else { // planar: Y, then U and V (V before U in YV12), halved across, and down but in 4:2:2
                put(0, r, c, y);
                const int row = layout == F::Format_YUV422P ? r : r / 2;
                put(layout == F::Format_YV12 ? 2 : 1, row, half, u);
                put(layout == F::Format_YV12 ? 1 : 2, row, half, v);
            }
        }
    frame.unmap();
    return frame;
}

} // namespace

TEST(FilmPicture, EveryYuvLayoutShowsItsColours) {
    const auto near = [](QRgb got, QRgb want) {
        return std::abs(qRed(got) - qRed(want)) <= 4 && std::abs(qGreen(got) - qGreen(want)) <= 4 &&
               std::abs(qBlue(got) - qBlue(want)) <= 4;
    };
    for (const auto layout :
         {QVideoFrameFormat::Format_YUV420P, QVideoFrameFormat::Format_YV12,
          QVideoFrameFormat::Format_YUV422P, QVideoFrameFormat::Format_NV12, QVideoFrameFormat::Format_NV21,
          QVideoFrameFormat::Format_YUYV, QVideoFrameFormat::Format_UYVY}) {
        const QImage picture = pictureOfFrame(redBlueFrame(layout));
        ASSERT_EQ(picture.size(), QSize(4, 2)) << layout;
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_TRUE(near(picture.pixel(c, r), c < 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)))
                    << "layout " << layout << " at " << c << "," << r << ": " << std::hex
                    << picture.pixel(c, r);
    }
    // A layout the picture takes as it is still gets bytes of its own: the frame's mapping ends with the
    // call.
    for (const auto layout : {QVideoFrameFormat::Format_XRGB8888, QVideoFrameFormat::Format_BGRX8888}) {
        QVideoFrame rgb(QVideoFrameFormat(QSize(4, 2), layout));
        ASSERT_TRUE(rgb.map(QVideoFrame::WriteOnly));
        const uchar* frameBytes = rgb.bits(0);
        std::fill_n(rgb.bits(0), rgb.mappedBytes(0), uchar(0x80));
        rgb.unmap();
        const QImage picture = pictureOfFrame(rgb);
        ASSERT_EQ(picture.size(), QSize(4, 2)) << layout;
        EXPECT_NE(picture.constBits(), frameBytes) << layout;
    }
}
