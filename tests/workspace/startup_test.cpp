#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "other_copy.h"
#include "phonebook/data.h"
#include "workspace/forms.h"
#include "workspace/frm_splash.h"
#include "workspace/single_copy.h"
#include "workspace/vantrel_mdi.h"

#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

using namespace pb;

class StartupTest : public pbtest::AppFixture {};

TEST_F(StartupTest, FirstRunBringsUpTheFrameWithTheEmptyBookAndLeavesSoundsOff) {
    frmSplash* splash = Forms::get<frmSplash>();
    EXPECT_EQ(splash->lblDescription->text(), QStringLiteral("Loading Dorvane . . ."));
    QStringList lines;
    splash->statusObserver = [&](const QString& l) { lines << l; };
    splash->Timer.start();
    splash->Timer_Timer();
    EXPECT_FALSE(splash->Timer.isActive());
    EXPECT_FALSE(splash->isVisible());
    VantrelMDI* frame = Forms::find<VantrelMDI>();
    Data* data = Forms::find<Data>();
    ASSERT_TRUE(frame && data);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(data->mdiArea(), frame->area());
    EXPECT_EQ(data->windowTitle(), QStringLiteral("Phonebook Record:  1 of  0"));
    EXPECT_EQ(lines.last(), QStringLiteral("Load Completed Successfully..."));
    EXPECT_EQ(splash->statusLine(), QStringLiteral("Load Completed Successfully..."));
    EXPECT_FALSE(pbm().PlaySoundEffect); // no picture "0", so the sound setting is never read
    EXPECT_EQ(frame->backColor(), 0);
    EXPECT_TRUE(frame->BackPictureFile.isEmpty());
    for (const char* f : {"Dorvane2DataBase.q7B", "PhoneClip.q7B", "Dorvane2DataBaseAttachmentsRef.att",
                          "Dorvane2DataBase.set"})
        EXPECT_TRUE(QFile::exists(appDir() + QString::fromLatin1(f))) << f;
}

TEST_F(StartupTest, ClosingTheFrameSavesItsKeysAfterTheChildrenAndTheNextRunReadsThem) {
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    Forms::show(Forms::get<Data>());
    frame->setBackColor(static_cast<int32_t>(0x8000000Cu));
    pbm().PlaySoundEffect = true;
    frame->close();
    EXPECT_EQ(Forms::find<Data>(), nullptr);
    EXPECT_EQ(Forms::find<VantrelMDI>(), nullptr);
    EXPECT_EQ(setting(QStringLiteral("MDIFormBackColor")), QStringLiteral("-2147483636"));
    EXPECT_EQ(setting(QStringLiteral("MDIFormBackPicture")), QString());
    EXPECT_EQ(setting(QStringLiteral("playSoundEffect")), QStringLiteral("True"));
    EXPECT_EQ(setting(QStringLiteral("LockedDataBase")), QStringLiteral("False")); // the child's unload ran
    Forms::flushDeleted();

    pbm().PlaySoundEffect = false;
    VantrelMDI* again = Forms::get<VantrelMDI>();
    EXPECT_EQ(again->backColor(), static_cast<int32_t>(0x8000000Cu));
    EXPECT_TRUE(pbm().PlaySoundEffect); // an empty picture name loads, so the sound setting is read
}

TEST_F(StartupTest, AMissingPictureKeepsTheColourButNotTheSounds) {
    putSetting(QStringLiteral("MDIFormBackPicture"), appDir() + QStringLiteral("gone.jpg"));
    putSetting(QStringLiteral("MDIFormBackColor"), QStringLiteral("255"));
    putSetting(QStringLiteral("playSoundEffect"), QStringLiteral("True"));
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    EXPECT_EQ(frame->backColor(), 255);
    EXPECT_TRUE(frame->BackPictureFile.isEmpty());
    EXPECT_FALSE(pbm().PlaySoundEffect);
    Forms::unload(frame);
    EXPECT_EQ(setting(QStringLiteral("playSoundEffect")), QStringLiteral("False")); // what that run had

    putSetting(QStringLiteral("playSoundEffect"), QStringLiteral("True"));
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(appDir() + QStringLiteral("back.png")));
    putSetting(QStringLiteral("MDIFormBackPicture"), appDir() + QStringLiteral("back.png"));
    frame = Forms::get<VantrelMDI>();
    EXPECT_EQ(frame->BackPictureFile, appDir() + QStringLiteral("back.png"));
    EXPECT_TRUE(pbm().PlaySoundEffect);
}

TEST_F(StartupTest, AbortInThePhoneBookLoadLeavesTheLoadButTheSequenceRunsOnce) {
    putSetting(QStringLiteral("FormTop"), QStringLiteral("high"));
    prompts->expect(QStringLiteral("Unable to proceed"), 18, QStringLiteral("ERROR13 Type mismatch"),
                    mb::Abort);
    frmSplash* splash = Forms::get<frmSplash>();
    splash->Timer.start();
    splash->Timer_Timer();
    EXPECT_FALSE(splash->Timer.isActive());  // no second run a second later
    EXPECT_NE(Forms::find<Data>(), nullptr); // the load was left, the sequence went on to show it
}

TEST_F(StartupTest, ASecondStartOnTheProgramFolderBringsTheFirstForwardAndGoesNoFurther) {
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    frame->showMinimized();
    SingleCopy first(appDir());
    ASSERT_TRUE(first.claim());
    // The same folder reached through a link is the same folder.
    ASSERT_TRUE(QFile::link(appDir(), tmp.path() + QStringLiteral("/same-app")));
    SingleCopy second(tmp.path() + QStringLiteral("/same-app"));
    EXPECT_FALSE(second.claim());
    EXPECT_FALSE(frame->isMinimized());
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(StartupTest, ASecondStartThatCannotReachTheFirstSaysSoAndGoesNoFurther) {
    // A first copy that holds the folder and never answers.
    const pbtest::OtherCopy first(appDir() + QStringLiteral(".dorvane-running.lock"));
    ASSERT_TRUE(first.holds());
    SingleCopy second(appDir());
    second.patience = 300;
    prompts->expect(
        QStringLiteral("Dorvane is already running on this program folder, but it does not answer.\r\n"
                       "Switch to the Dorvane window that is open, or close it and start Dorvane again."),
        mb::OKOnly | mb::Exclamation, QStringLiteral("Dorvane"), mb::OK);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(StartupTest, TheProgramStartedAgainOnItsFolderEndsAtOnceWhileTheFirstRunsOn) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DORVANE_HOME"), appDir());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The copies meet through a socket in the temporary folder, which goes with the test.
    QDir().mkpath(tmp.path() + QStringLiteral("/run"));
    env.insert(QStringLiteral("TMPDIR"), tmp.path() + QStringLiteral("/run"));
    const auto start = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(QStringLiteral(DORVANE_PROGRAM), {});
        return p.waitForStarted();
    };
    QProcess first;
    ASSERT_TRUE(start(first));
    const QDeadlineTimer starting(30000);
    while (!QFileInfo::exists(appDir() + QStringLiteral(".dorvane-running.lock")) && !starting.hasExpired())
        QTest::qWait(50);
    ASSERT_EQ(first.state(), QProcess::Running);

    QProcess second;
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(start(second));
    EXPECT_TRUE(second.waitForFinished(10000));
    EXPECT_LT(took.elapsed(), 5000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}
