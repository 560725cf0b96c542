#include "../phonebook/book_fixture.h"
#include "accessories/diary_book.h"
#include "accessories/frm_alarm.h"
#include "accessories/frm_diaries.h"
#include "accessories/frm_seek.h"
#include "file_size_limit.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pb;
using pbtest::readFile;
using pbtest::writeFile;

namespace {

class DiariesTest : public pbtest::BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(15, 5, 42)); });
    }
    void TearDown() override {
        setClock({});
        BookFixture::TearDown();
    }
    frmDiaries* load() {
        ShowForm(QStringLiteral("frmDiaries"));
        return w = Forms::find<frmDiaries>();
    }
    QString notes() const { return appDir() + QStringLiteral("Diaries.q7D"); }
    static QByteArray page(const QByteArray& date, const QByteArray& text) {
        return date.leftJustified(40, ' ', true) + text.leftJustified(960, ' ', true);
    }
    frmDiaries* w = nullptr;
};

const QString kAutoDate = QStringLiteral("3:05 PM  Sunday, December 06, 2026");

} // namespace

TEST_F(DiariesTest, PagesAreStoredByteForByte) {
    ASSERT_NE(load(), nullptr);
    EXPECT_TRUE(QFileInfo::exists(notes())); // created at load

    // An empty date box gets the automatic date, in English, and shows it padded.
    w->txtDiaries->setPlainText(QStringLiteral("  Call Anna\nabout the café  "));
    w->Toolbar_ButtonClick(QStringLiteral("SaveRecord"));
    EXPECT_EQ(readFile(notes()), page(kAutoDate.toLatin1(), "  Call Anna\r\nabout the caf\xe9  "));
    EXPECT_EQ(w->txtDate->text(), kAutoDate.leftJustified(40));

    // A date of one's own, and values longer than their fields, are cut.
    w->txtDate->setText(QStringLiteral("my day"));
    w->txtDiaries->setPlainText(QString(959, QLatin1Char('x')) + QStringLiteral("\nyz"));
    EXPECT_LE(DiaryBook::storedLength(w->txtDiaries->toPlainText()), 960); // the box keeps to the field
    EXPECT_EQ(DiaryBook::encode(QString(50, QLatin1Char('d')), QString(1000, QLatin1Char('t'))),
              QByteArray(40, 'd') + QByteArray(960, 't'));
    w->SavePage();
    EXPECT_EQ(readFile(notes()).left(40), QByteArray("my day").leftJustified(40));
    // Blanks are what the user typed: only an empty box gets the automatic date.
    w->txtDate->setText(QStringLiteral("  "));
    w->SavePage();
    EXPECT_EQ(readFile(notes()).left(40), QByteArray(40, ' '));

    // Shown again trimmed at both ends, line breaks as typed.
    writeFile(notes(), page("d", "  one\r\ntwo  "));
    w->NextPage();
    w->PreviousPage();
    EXPECT_EQ(w->txtDiaries->toPlainText(), QStringLiteral("one\ntwo"));
    EXPECT_EQ(w->txtDate->text(), QStringLiteral("d").leftJustified(40));
}

TEST_F(DiariesTest, LeafingPagesAndGaps) {
    writeFile(notes(), page("first", "one") + page("second", "two") + page("third", "three"));
    load();
    EXPECT_EQ(w->txtDiaries->toPlainText(), QStringLiteral("one"));
    // Back on page 1 changes nothing at all.
    w->txtDiaries->setPlainText(QStringLiteral("edited"));
    w->Toolbar_ButtonClick(QStringLiteral("Back"));
    EXPECT_EQ(w->PageNumber, 1);
    EXPECT_EQ(w->txtDiaries->toPlainText(), QStringLiteral("edited"));

    for (int i = 0; i < 6; ++i)
        w->Toolbar_ButtonClick(QStringLiteral("Forward"));
    EXPECT_EQ(w->PageNumber, 7);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("NotePapers            Note  7"));
    EXPECT_EQ(QFileInfo(notes()).size(), 3000); // leafing writes nothing
    w->txtDiaries->setPlainText(QStringLiteral("seven"));
    w->SavePage();
    EXPECT_EQ(QFileInfo(notes()).size(), 7000);
    EXPECT_EQ(readFile(notes()).mid(3000, 3000), QByteArray(3000, '\0'));

    // A page in the gap shows empty, and saving it gets the automatic date.
    w->PreviousPage();
    EXPECT_EQ(w->txtDate->text(), QString());
    EXPECT_EQ(w->txtDiaries->toPlainText(), QString());
    w->SavePage();
    EXPECT_EQ(readFile(notes()).mid(5000, 1000), page(kAutoDate.toLatin1(), ""));

    // The last page a 16-bit number can have.
    w->PageNumber = DiaryBook::kLastPage;
    w->NextPage();
    EXPECT_EQ(w->PageNumber, DiaryBook::kLastPage);
}

TEST_F(DiariesTest, TheNotesOutliveAPhoneBookReloadAndAFailedSaveIsTold) {
    open({{QStringLiteral("Anna")}});
    load();
    d->reload(); // what a sort or a book switch does
    w->txtDiaries->setPlainText(QStringLiteral("kept"));
    w->SavePage();
    EXPECT_EQ(readFile(notes()), page(kAutoDate.toLatin1(), "kept"));

    // Page 3 would grow the file past what may be written: the user hears of it.
    w->NextPage();
    w->NextPage();
    w->txtDate->clear();
    prompts->expect({}, mb::Exclamation, QStringLiteral("NotePapers"), mb::OK);
    {
        pbtest::FileSizeLimit limit(1000);
        w->SavePage();
    }
    EXPECT_TRUE(prompts->shown.at(0).prompt.startsWith(QStringLiteral("Note 3 could not be saved.")));
    EXPECT_EQ(w->txtDate->text(), QString()); // no date as if it had been stored
    EXPECT_EQ(QFileInfo(notes()).size(), 1000);

    w->Form_Unload();
    EXPECT_FALSE(w->book().isOpen());
}

TEST_F(DiariesTest, TheDateNoteComesOnlyForMovesInsideTheWindow) {
    load();
    prompts->expect(
        QStringLiteral("Date will be entered automatically upon saving.\r\nYou can add your own date, "
                       "else delete everything\r\nin date box and re-save."),
        mb::Information, QStringLiteral("~"), mb::OK);
    w->dateFocusLeft(Qt::TabFocusReason, w->txtDiaries);
    // To another program, a menu or the frame, or the window being brought up: nothing.
    w->dateFocusLeft(Qt::ActiveWindowFocusReason, nullptr);
    w->dateFocusLeft(Qt::PopupFocusReason, w->txtDiaries);
    w->dateFocusLeft(Qt::MouseFocusReason, Forms::get<VantrelMDI>());
    w->dateFocusLeft(Qt::OtherFocusReason, w->txtDiaries);

    // Closing the frame while the date box has the focus: the focus passes on inside the
    // window as it goes, and no note comes (a box nobody expects fails the test).
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    w->txtDate->setFocus();
    ASSERT_TRUE(w->txtDate->hasFocus());
    frame->close();
    EXPECT_EQ(Forms::find<frmDiaries>(), nullptr);
}

TEST_F(DiariesTest, TheDateNoteLeavesTheTypingToTheText) {
    load();
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    w->txtDate->setFocus();
    // The real boxes: the user clicks into the text and types on as the note comes up.
    const auto type = [frame](const char* text) {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(frame->windowHandle(), *c);
    };
    setPrompts(nullptr);
    QTimer::singleShot(0, [&] { type("first "); });
    // A note that held the keyboard would wait for its OK: it is closed instead of hanging the test.
    QTimer::singleShot(300, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    w->txtDiaries->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    type("second");
    QMessageBox* note = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) note = box;
    setPrompts(prompts.get());
    EXPECT_EQ(w->txtDiaries->toPlainText().toStdString(), "first second");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->windowTitle(), QStringLiteral("~"));
    note->close();
}

TEST_F(DiariesTest, ThePhoneBookLookIsTakenOnRequest) {
    open({{QStringLiteral("Anna")}});
    d->setBackColor(0x0000FF); // red
    QFont f = d->txtInfo[0]->font();
    f.setItalic(true);
    d->txtInfo[0]->setFont(f);
    load();
    w->Toolbar_ButtonClick(QStringLiteral("Drawing"));
    EXPECT_EQ(w->txtDiaries->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_TRUE(w->txtDiaries->font().italic());
    EXPECT_FALSE(w->txtDate->font().italic());
}

TEST_F(DiariesTest, TheLaunchItemsOpenTheAccessories) {
    pbm().PlaySoundEffect = true;
    open({{QStringLiteral("Anna")}});
    d->Toolbar2_ButtonClick(QStringLiteral("NotePapers"));
    EXPECT_EQ(sounds->played, (std::vector<int>{sound::ToolbarClick, sound::OpenWindow}));
    // Whether the notes, the search and the alarm are up; each is closed after.
    const auto opened = [] {
        const auto up = QString::fromLatin1("%1%2%3").arg(Forms::find<frmDiaries>() ? "N" : "-",
                                                          Forms::find<frmSeek>() ? "S" : "-",
                                                          Forms::find<frmAlarm>() ? "A" : "-");
        Forms::unload<frmDiaries>();
        Forms::unload<frmSeek>();
        Forms::unload<frmAlarm>();
        return up;
    };
    EXPECT_EQ(opened(), QStringLiteral("N--"));
    for (const char* item : {"mnuDiaries", "mnuSearch", "mnuAlarm"}) {
        ASSERT_TRUE(d->action(QString::fromLatin1(item))->isEnabled()) << item;
        d->action(QString::fromLatin1(item))->trigger();
    }
    EXPECT_EQ(opened(), QStringLiteral("NSA"));

    VantrelMDI* frame = Forms::get<VantrelMDI>();
    for (const char* item : {"mnuNotePapers", "mnuSearch", "mnuAlarm"})
        frame->action(QString::fromLatin1(item))->trigger();
    EXPECT_EQ(opened(), QStringLiteral("NSA"));
    frame->StatusBar1_PanelClick();
    frame->MDIToolbar_ButtonClick(QStringLiteral("NotePapers"));
    EXPECT_EQ(opened(), QStringLiteral("N-A"));
}
