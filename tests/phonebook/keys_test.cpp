#include "book_fixture.h"
#include "workspace/vantrel_mdi.h"

#include <QApplication>
#include <QListView>
#include <QTest>

using namespace pb;
using namespace pbtest;

// The window as a person uses it: shown, active, and driven by keys.
class KeysTest : public BookFixture {
protected:
    void showActive() {
        Forms::show(d);
        VantrelMDI* frame = Forms::find<VantrelMDI>();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        frame->area()->setActiveSubWindow(d);
    }
    // As when a message box closes over the focused list.
    void giveListTheFocusBack() {
        QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(d->lstRecord, &in);
    }
    QByteArray clip() const { return readFile(appDir() + QStringLiteral("PhoneClip.q7B")); }
};

TEST_F(KeysTest, TheWindowsShortcutsActEvenInATextBox) {
    open({{"Ann"}, {"Bob"}});
    showActive();
    d->txtInfo[1]->setFocus();
    QTest::keyClick(d->txtInfo[1], Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip(), recordBytes({"Ann"}));                        // the record, not the text
    QTest::keyClick(d->txtInfo[1], Qt::Key_R, Qt::ControlModifier); // insert after
    EXPECT_EQ(m().RecordCount, 3);
    EXPECT_EQ(box(0), QStringLiteral("*Inserted Record*"));
    QTest::keyClick(d->txtInfo[0], Qt::Key_Backspace, Qt::AltModifier); // close
    EXPECT_EQ(Forms::find<Data>(), nullptr);
}

TEST_F(KeysTest, MovingThroughTheListWithTheKeysShowsEachRecord) {
    open({{"Ann"}, {"Bob"}, {"Cy"}});
    showActive();
    d->lstRecord->setFocus();
    d->lstRecord->setCurrentIndex(d->lstRecordModel->index(0));
    QTest::keyClick(d->lstRecord, Qt::Key_Down);
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(0), QStringLiteral("Bob"));
    QTest::keyClick(d->lstRecord, Qt::Key_End);
    EXPECT_EQ(box(0), QStringLiteral("Cy"));
}

TEST_F(KeysTest, ToolbarButtonsPlayTheirSoundsAndDropDownItemsNone) {
    open({{"Ann"}, {"Bob"}});
    m().PlaySoundEffect = true;
    d->Toolbar2_ButtonClick(QStringLiteral("NextRecord"));
    d->Toolbar2_ButtonClick(QStringLiteral("PreviousRecord"));
    d->Toolbar2_ButtonClick(QStringLiteral("EndRecord"));
    d->Toolbar2_ButtonClick(QStringLiteral("BeginingRecord"));
    EXPECT_EQ(m().current, 1);
    d->Toolbar2_ButtonClick(QStringLiteral("Insert")); // the same as "Insert After"
    EXPECT_EQ(firstNames(), (QStringList{"Ann", "*Inserted Record*", "Bob"}));
    d->Toolbar2_ButtonMenuClick(QStringLiteral("InsertBefore"));
    d->Toolbar2_ButtonMenuClick(QStringLiteral("l1")); // a separator's key does nothing
    d->Toolbar2_ButtonClick(QStringLiteral("Nothing"));
    EXPECT_EQ(sounds->played, (std::vector<int>{101, 101, 101, 101, 113}));
    EXPECT_EQ(m().RecordCount, 4);
    d->Toolbar1_ButtonClick(QStringLiteral("NewRecord"));
    EXPECT_EQ(m().current, 5);
    EXPECT_EQ(sounds->played.back(), 113);
}

TEST_F(KeysTest, FindNextGoesOnWhenTheFocusComesBackFromAMenuOrABox) {
    open({{"Anna"}, {"Bob"}, {"andy"}});
    d->txtFind->setText(QStringLiteral("a"));
    ASSERT_EQ(d->LastFoundRecord, 1);
    for (Qt::FocusReason back : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent in(QEvent::FocusIn, back);
        QApplication::sendEvent(d->txtFind, &in);
        EXPECT_EQ(d->LastFoundRecord, 1);
    }
    d->mnuFindNext_Click();
    EXPECT_EQ(m().current, 3);
    QFocusEvent clicked(QEvent::FocusIn, Qt::MouseFocusReason); // the user going to the box starts over
    QApplication::sendEvent(d->txtFind, &clicked);
    EXPECT_EQ(d->LastFoundRecord, 0);
}

TEST_F(KeysTest, TheListFollowsTheShownRecordAndARefillIsNoPick) {
    open({{"Ann"}, {"Bob"}, {"Cy"}, {"Di"}, {"Ed"}});
    showActive();
    d->lstRecord->setFocus();
    d->lstRecord->setCurrentIndex(d->lstRecordModel->index(2)); // as a click on the third line
    d->lstRecord_Click();
    ASSERT_EQ(m().current, 3);
    prompts->expect(QStringLiteral("The Current Record Will Be Deleted!\r\n        Do you want to continue?"),
                    mb::YesNo | Exclamation, QStringLiteral("Delete Alert"), mb::Yes);
    d->mnuDelete_Click();
    giveListTheFocusBack();
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(0), QStringLiteral("Bob"));
    EXPECT_EQ(d->lstRecord->currentIndex().row(), 1);

    // Every move takes the highlight along; the blank slot has no line.
    d->MoveLast();
    EXPECT_EQ(d->lstRecord->currentIndex().row(), 3);
    d->MoveNext();
    EXPECT_FALSE(d->lstRecord->currentIndex().isValid());
    giveListTheFocusBack();
    EXPECT_EQ(m().current, 5);
    d->MoveFirst();
    EXPECT_EQ(d->lstRecord->currentIndex().row(), 0);
    EXPECT_EQ(box(0), QStringLiteral("Ann"));
}
