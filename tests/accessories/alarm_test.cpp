#include "accessories/alarm_time.h"
#include "accessories/frm_alarm.h"
#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "platform/clock.h"
#include "workspace/forms.h"
#include "workspace/module_services.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <gtest/gtest.h>

using namespace pb;

TEST(AlarmTime, TheBoxesRefuseWhatIsNoWholeNumberInRange) {
    const auto said = [](int box, const char* text) {
        const auto r = alarm::checkBox(box, QString::fromLatin1(text));
        return r ? r->message + QLatin1Char('|') + r->reset : QStringLiteral("ok");
    };
    for (const char* ok : {"1", "12", "07"})
        EXPECT_EQ(said(1, ok), QStringLiteral("ok")) << ok;
    for (const char* range : {"13", "0", "-1", "99"})
        EXPECT_EQ(said(1, range), QStringLiteral("Hours are between 1 and 12|12")) << range;
    // Texts a number reader might take are no numbers a user meant.
    for (const char* bad : {"", "+1", ".5", "5 ", " 5", "ab", "1e", "-"})
        EXPECT_EQ(said(1, bad), QStringLiteral("Hours are digital values|12")) << bad;
    for (const char* ok : {"0", "00", "5", "59"})
        EXPECT_EQ(said(2, ok), QStringLiteral("ok")) << ok;
    for (const char* range : {"60", "-1"})
        EXPECT_EQ(said(2, range), QStringLiteral("Minutes are between 0 and 59|00")) << range;
    for (const char* bad : {"", "x", "+5", "5."})
        EXPECT_EQ(said(2, bad), QStringLiteral("Minutes are digital values|00")) << bad;
}

TEST(AlarmTime, TheNextOccurrenceIsNeverInThePast) {
    const QDate day(2026, 12, 6);
    const QDateTime now(day, QTime(15, 0, 30));
    EXPECT_EQ(*alarm::timeOfDay(QStringLiteral("12"), QStringLiteral("00"), false), QTime(0, 0));
    EXPECT_EQ(*alarm::timeOfDay(QStringLiteral("12"), QStringLiteral("00"), true), QTime(12, 0));
    EXPECT_EQ(*alarm::timeOfDay(QStringLiteral("7"), QStringLiteral("5"), true), QTime(19, 5));
    EXPECT_FALSE(alarm::timeOfDay(QStringLiteral("13"), QStringLiteral("00"), true));
    EXPECT_EQ(alarm::alarmText(QStringLiteral("7"), QStringLiteral("5"), true), QStringLiteral("7:5 PM"));

    // Ahead today; passed (midnight included) tomorrow; the current minute now.
    EXPECT_EQ(alarm::nextOccurrence(now, QTime(15, 1)), QDateTime(day, QTime(15, 1)));
    EXPECT_EQ(alarm::nextOccurrence(now, QTime(14, 59)), QDateTime(day.addDays(1), QTime(14, 59)));
    EXPECT_EQ(alarm::nextOccurrence(now, QTime(0, 0)), QDateTime(day.addDays(1), QTime(0, 0)));
    EXPECT_EQ(alarm::nextOccurrence(now, QTime(15, 0)), QDateTime(day, QTime(15, 0)));
    // A minute that has rung once does not ring again.
    EXPECT_EQ(alarm::nextOccurrence(now, QTime(15, 0), QDateTime(day, QTime(15, 0))),
              QDateTime(day.addDays(1), QTime(15, 0)));
    EXPECT_EQ(alarm::clockText(now), QStringLiteral("3:00:30 PM"));
}

namespace {

class AlarmTest : public pbtest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        pbm().PlaySoundEffect = true;
        setClock([this] { return now; });
        ShowForm(QStringLiteral("frmAlarm"));
        a = Forms::find<frmAlarm>();
        ASSERT_NE(a, nullptr);
        a->Timer1.stop(); // the test ticks by hand
        sounds->played.clear();
    }
    void TearDown() override {
        setClock({});
        AppFixture::TearDown();
    }
    void set(const char* hour, const char* minute, bool pm) {
        a->txtTime[1]->setText(QString::fromLatin1(hour));
        a->txtTime[2]->setText(QString::fromLatin1(minute));
        a->optTime[pm ? 1 : 0]->setChecked(true);
    }
    long rings() const { return std::count(sounds->played.begin(), sounds->played.end(), sound::Alarm); }
    QDateTime at(int h, int m, int s = 0, int days = 0) const {
        return QDateTime(QDate(2026, 12, 6).addDays(days), QTime(h, m, s));
    }

    QDateTime now = QDateTime(QDate(2026, 12, 6), QTime(15, 0, 30));
    frmAlarm* a = nullptr;
};

} // namespace

TEST_F(AlarmTest, RingsOnceAtTheTimeAndAgainOnlyForAFreshTime) {
    set("3", "01", true);
    a->OKButton_Click();
    EXPECT_TRUE(a->isMinimized());
    a->Timer1_Timer();
    EXPECT_EQ(a->due(), at(15, 1));
    EXPECT_EQ(rings(), 0);

    now = at(15, 1, 0);
    a->Timer1_Timer();
    // The window comes back (102), then the alarm rings (107).
    EXPECT_EQ(sounds->played, (std::vector<int>{sound::AlarmSet, sound::OpenWindow, sound::Alarm}));
    EXPECT_FALSE(a->isMinimized());
    now = at(15, 1, 20);
    a->Timer1_Timer();
    EXPECT_EQ(rings(), 1);

    // OK again within the same minute: that minute has rung; it is tomorrow's.
    a->OKButton_Click();
    a->Timer1_Timer();
    EXPECT_EQ(rings(), 1);
    EXPECT_EQ(a->due(), at(15, 1, 0, 1));
}

TEST_F(AlarmTest, APassedTimeAndMidnightAreDueTheNextDayAndAChangeRearms) {
    now = at(14, 0);
    set("12", "00", false); // midnight
    a->OKButton_Click();
    a->Timer1_Timer();
    EXPECT_EQ(rings(), 0);
    EXPECT_EQ(a->due(), at(0, 0, 0, 1));

    set("3", "00", false); // 3 AM has passed today
    a->Timer1_Timer();
    EXPECT_EQ(a->due(), at(3, 0, 0, 1));
    // Only AM/PM changes: 3 PM is today, and the alarm goes off when it comes.
    a->optTime[1]->setChecked(true);
    a->Timer1_Timer();
    EXPECT_EQ(a->due(), at(15, 0));
    now = at(15, 0, 5);
    a->Timer1_Timer();
    EXPECT_EQ(rings(), 1);
}

TEST_F(AlarmTest, TheOpenedFileShowingABoxDoesNotRingItAgain) {
    // Ticks go on while a box is up: this box ticks the alarm as the timer would.
    struct TickingPrompts : pbtest::ScriptedPrompts {
        frmAlarm* alarm = nullptr;
        int msgBox(const QString& p, int style, const QString& title) override {
            alarm->Timer1_Timer();
            alarm->Timer1_Timer();
            return ScriptedPrompts::msgBox(p, style, title);
        }
    };
    prompts.reset();
    auto ticking = std::make_unique<TickingPrompts>();
    ticking->alarm = a;
    prompts = std::move(ticking);
    pbtest::writeFile(appDir() + QStringLiteral("wake.xyz"), "x");
    a->FileToRun = appDir() + QStringLiteral("wake.xyz");
    set("3", "00", true);
    // The file opener cannot open this file and says so.
    prompts->expect(QStringLiteral("Dorvane CANNOT OPEN THIS FILE!"), mb::Exclamation,
                    QStringLiteral("SORRY"), mb::OK);
    a->OKButton_Click();
    a->Timer1_Timer();
    a->Timer1_Timer();
    EXPECT_EQ(rings(), 1);
}

TEST_F(AlarmTest, TypingIsCheckedAndCancelTakesTheAlarmAway) {
    const auto typed = [this](int box, const char* text) {
        a->txtTime[box]->setText(QString::fromLatin1(text));
        a->txtTime_KeyUp(box);
        return a->txtTime[box]->text();
    };
    prompts->expect(QStringLiteral("Hours are between 1 and 12"), mb::Exclamation,
                    QStringLiteral("! Alarm message"), mb::OK);
    EXPECT_EQ(typed(1, "13"), QStringLiteral("12"));
    prompts->expect(QStringLiteral("Minutes are digital values"), mb::Exclamation,
                    QStringLiteral("! Alarm message"), mb::OK);
    EXPECT_EQ(typed(2, ".5"), QStringLiteral("00"));
    EXPECT_EQ(typed(2, "7"), QStringLiteral("7")); // valid: stays as typed, no box

    // A paste with the mouse releases no key: OK checks the boxes and arms nothing.
    a->txtTime[1]->setText(QStringLiteral("7:"));
    prompts->expect(QStringLiteral("Hours are digital values"), mb::Exclamation,
                    QStringLiteral("! Alarm message"), mb::OK);
    a->OKButton_Click();
    EXPECT_FALSE(a->Armed);
    EXPECT_FALSE(a->isMinimized());
    EXPECT_EQ(a->txtTime[1]->text(), QStringLiteral("12"));
    EXPECT_TRUE(sounds->played.empty());

    prompts->expectFileDialog(appDir() + QStringLiteral("song.wav"));
    a->cmdRun_Click();
    EXPECT_EQ(a->lblinfo->text(), QStringLiteral("File: ") + appDir() + QStringLiteral("song.wav"));

    a->CancelButton_Click();
    EXPECT_EQ(sounds->played, (std::vector<int>{sound::ToolbarClick}));
    EXPECT_EQ(Forms::find<frmAlarm>(), nullptr);
}

TEST_F(AlarmTest, OkAndCancelAreOneSizeWithEveryControlInView) {
    a->show();
    a->layout()->activate();
    EXPECT_EQ(a->OKButton->size(), a->CancelButton->size());
    for (QWidget* w : a->findChildren<QWidget*>())
        if (w->isVisibleTo(a) && w->parentWidget() == a) EXPECT_TRUE(a->rect().contains(w->geometry())) << w;
}
