#include "accessories/frm_media_player.h"
#include "accessories/media_control.h"
#include "app_fixture.h"
#include "media_files.h"
#include "platform/native_name.h"
#include "workspace/forms.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/viewer_pane.h"

#include <QFile>
#include <QMediaPlayer>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
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
