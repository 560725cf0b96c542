#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "error_of.h"
#include "file_size_limit.h"
#include "phonebook/data.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "workspace/forms.h"
#include "workspace/module_services.h"
#include "workspace/single_copy.h"
#include "workspace/vantrel_mdi.h"

#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

using namespace pb;

class ServicesTest : public pbtest::AppFixture {};

TEST_F(ServicesTest, ShowFormKnowsItsNamesExactlyAndPlaysItsSoundFirst) {
    pbm().PlaySoundEffect = true;
    ShowForm(QStringLiteral("frmMediaPlayer"));
    ShowForm(QStringLiteral("data"));
    // Windows that register for other callers are not among its names.
    ShowForm(QStringLiteral("frmAbout"));
    EXPECT_EQ(sounds->played, (std::vector<int>{102, 102, 102}));
    EXPECT_EQ(Forms::find<Data>(), nullptr);
    for (const char* name : {"frmMediaPlayer", "frmAbout"})
        EXPECT_EQ(Forms::findByName(QLatin1String(name)), nullptr) << name;

    ShowForm(QStringLiteral("Data"));
    Data* d = Forms::find<Data>();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    d->showMinimized();
    ShowForm(QStringLiteral("Data"));
    EXPECT_EQ(Forms::find<Data>(), d); // never a second window
    EXPECT_FALSE(d->isMinimized());
}

TEST_F(ServicesTest, ShowFormIsSilentWithSoundsOffAndBringsAWindowAlreadyOpenToTheFront) {
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    frame->show();
    ShowForm(QStringLiteral("frmAlarm"));
    QWidget* alarm = Forms::byName(QStringLiteral("frmAlarm"))->widget();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    ShowForm(QStringLiteral("frmAlarm")); // behind the frame: the status bar's click brings it up
    EXPECT_TRUE(QTest::qWaitForWindowActive(alarm));
    EXPECT_TRUE(sounds->played.empty());
}

TEST_F(ServicesTest, SelectFileNameReturnsThePathOrEmptyOnCancel) {
    prompts->expectDialog(pbtest::ScriptedPrompts::Kind::Open, [](CommonDialog& d) {
        EXPECT_EQ(d.DialogTitle, QStringLiteral("Select a file name"));
        EXPECT_TRUE(d.Filter.startsWith(QStringLiteral("All Files|*.q7b; *.bmp;")));
        EXPECT_TRUE(d.Filter.endsWith(QStringLiteral("|Phonebook Database|*.q7b;")));
        EXPECT_TRUE(d.FileName.isEmpty());
        d.FileName = QStringLiteral("/home/me/picture.jpg");
        return true;
    });
    EXPECT_EQ(SelectFileName(), QStringLiteral("/home/me/picture.jpg"));
    prompts->expectCancel(pbtest::ScriptedPrompts::Kind::Open);
    EXPECT_EQ(SelectFileName(), QString());
    EXPECT_TRUE(Forms::find<VantrelMDI>()->MDICD.CancelError); // stays on for every later user
}

TEST_F(ServicesTest, TheProgramFolderIsTheUsersDataFolderOrTheNamedOneNeverTheExecutables) {
    EXPECT_EQ(AppPath(), appDir());
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    const QByteArray named = qgetenv("DORVANE_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.path() + QStringLiteral("/data")));
    qunsetenv("DORVANE_HOME");
    // The test program's own folder can be written, and still the book is not kept there.
    const QString folder = programFolderNow();
    EXPECT_TRUE(folder.startsWith(tmp.path() + QStringLiteral("/data/"))) << qPrintable(folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    qputenv("DORVANE_HOME", QFile::encodeName(tmp.path() + QStringLiteral("/portable")));
    EXPECT_EQ(programFolderNow(), tmp.path() + QStringLiteral("/portable/"));
    for (const auto& [name, value] : {std::pair{"XDG_DATA_HOME", data}, std::pair{"DORVANE_HOME", named}})
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
}

TEST_F(ServicesTest, ASettingThatCouldNotBeWrittenLeavesLaterOnesWritable) {
    putSetting(QStringLiteral("First"), QStringLiteral("1"));
    {
        // The settings file may not grow: as on a full disk.
        pbtest::FileSizeLimit full(QFileInfo(settingsFile()).size());
        EXPECT_EQ(
            pbtest::errorOf([&] { putSetting(QStringLiteral("Second"), QString(4096, QLatin1Char('x'))); }),
            335);
    }
    putSetting(QStringLiteral("Third"), QStringLiteral("3"));
    EXPECT_EQ(setting(QStringLiteral("Third")), QStringLiteral("3"));
    EXPECT_EQ(setting(QStringLiteral("First")), QStringLiteral("1"));
}

TEST_F(ServicesTest, ABatchOfSettingsIsReadFromMemoryAndSyncedOnceAtTheOutermostEnd) {
    putSetting(QStringLiteral("First"), QStringLiteral("1"));
    const int before = SettingsStore::syncCount();
    SettingsStore::Batch outer;
    putSetting(QStringLiteral("First"), QStringLiteral("one"));
    {
        SettingsStore::Batch inner;
        putSetting(QStringLiteral("Second"), QStringLiteral("2"));
        inner.finish();
    }
    EXPECT_EQ(setting(QStringLiteral("First")), QStringLiteral("one"));
    EXPECT_EQ(setting(QStringLiteral("Second")), QStringLiteral("2"));
    // An inner batch's end writes nothing: the command is not over.
    EXPECT_EQ(storedSetting(QStringLiteral("First")), QStringLiteral("1"));
    EXPECT_EQ(SettingsStore::syncCount(), before);
    outer.finish();
    EXPECT_EQ(SettingsStore::syncCount(), before + 1);
    EXPECT_EQ(storedSetting(QStringLiteral("First")), QStringLiteral("one"));
    EXPECT_EQ(storedSetting(QStringLiteral("Second")), QStringLiteral("2"));
}

TEST_F(ServicesTest, ABatchThatCouldNotBeWrittenIsReportedAndKeptForTheNextFlush) {
    putSetting(QStringLiteral("First"), QStringLiteral("1"));
    const QString big(4096, QLatin1Char('x'));
    {
        SettingsStore::Batch batch;
        putSetting(QStringLiteral("Second"), big);
        pbtest::FileSizeLimit full(QFileInfo(settingsFile()).size());
        EXPECT_EQ(pbtest::errorOf([&] { batch.finish(); }), 335);
    }
    // No later write comes along: the failed one must still be waiting to be written.
    EXPECT_EQ(storedSetting(QStringLiteral("Second")), QStringLiteral("<missing>"));
    SettingsStore::flush();
    EXPECT_EQ(storedSetting(QStringLiteral("Second")), big);
    EXPECT_EQ(setting(QStringLiteral("Second")), big);
}

TEST_F(ServicesTest, ABatchLeftByAnErrorStillWritesItsSettings) {
    EXPECT_EQ(pbtest::errorOf([&] {
                  SettingsStore::Batch batch;
                  putSetting(QStringLiteral("First"), QStringLiteral("1"));
                  throw VbError(err::FileNotFound);
              }),
              err::FileNotFound);
    EXPECT_EQ(storedSetting(QStringLiteral("First")), QStringLiteral("1"));
}

TEST_F(ServicesTest, ASettingKeptByAFailedWriteIsWrittenBeforeTheProgramFolderIsLetGo) {
    putSetting(QStringLiteral("First"), QStringLiteral("1"));
    const QString big(4096, QLatin1Char('x'));
    {
        SingleCopy copy(appDir());
        ASSERT_TRUE(copy.claim());
        pbtest::FileSizeLimit full(QFileInfo(settingsFile()).size());
        EXPECT_EQ(pbtest::errorOf([&] { putSetting(QStringLiteral("First"), big); }), 335);
        // The disk has room again before this copy ends: the next copy must find the value.
    }
    EXPECT_EQ(storedSetting(QStringLiteral("First")), big);
}

TEST_F(ServicesTest, AFailingHelpFileIsReportedInItsOwnBox) {
    shell->succeed = false;
    prompts->expect({}, mb::Critical, {}, mb::OK);
    ShowHelpFile(QStringLiteral("/nowhere/help.chm"));
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_TRUE(prompts->shown[0].title.startsWith(QStringLiteral("ERROR70000 ")));
    EXPECT_EQ(prompts->shown[0].prompt, prompts->shown[0].title.mid(11));
}
