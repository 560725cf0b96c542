#include "book_fixture.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QTest>

using namespace pb;
using namespace pbtest;

class DisplayTest : public BookFixture {
protected:
    void picture(const QString& name) {
        QDir().mkpath(appDir() + QStringLiteral("Dorvane2DataBaseAttachments"));
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::green);
        ASSERT_TRUE(img.save(appDir() + QStringLiteral("Dorvane2DataBaseAttachments/") + name));
    }
    bool previewShown() const { return !d->imgPreview->pixmap().isNull(); }
    const QString modified1 = QStringLiteral("Record  1 Modified!");
    const QString saveQ = QStringLiteral("Do you want to save changes?");
};

TEST_F(DisplayTest, TheBlankSlotShowsEmptyBoxesAndItsNumber) {
    open({{"Ann", "Lee", "", "", "", "", "ann.png"}, {"Bob"}});
    picture(QStringLiteral("ann.png"));
    show(1);
    EXPECT_TRUE(previewShown());
    EXPECT_EQ(d->txtForMail[2]->text(), QStringLiteral("> ann.png"));
    show(3);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(box(i).isEmpty()) << i;
    EXPECT_EQ(d->txtRecord->text(), QStringLiteral("3"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  3 of  2"));
    EXPECT_FALSE(previewShown());
    EXPECT_TRUE(d->txtForMail[2]->text().isEmpty());
}

TEST_F(DisplayTest, AMissingPictureClearsThePreviewInsteadOfShowingAnotherContact) {
    open({{"Ann", "", "", "", "", "", "ann.png"},
          {"Bob", "", "", "", "", "", "gone.png"},
          {"Eve", "", "", "", "", "", "../outside.png"}});
    picture(QStringLiteral("ann.png"));
    QImage(4, 4, QImage::Format_RGB32).save(appDir() + QStringLiteral("outside.png"));
    show(1);
    ASSERT_TRUE(previewShown());
    show(2);
    EXPECT_FALSE(previewShown());
    EXPECT_EQ(d->txtForMail[2]->text(), QStringLiteral("> gone.png"));
    show(1);
    show(3); // a name that leaves the attachments folder is never loaded
    EXPECT_FALSE(previewShown());
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(DisplayTest, TheChangeCheckComparesExactlyAndRespectsTheLock) {
    open({{"Ann", "Lee"}, {"Bob", "Ray"}});
    d->MoveNext(); // nothing edited: no question
    d->MovePrevious();
    EXPECT_EQ(m().current, 1);

    d->txtInfo[1]->setText(QStringLiteral("Lee ")); // a trailing blank is a change
    prompts->expect(saveQ, 36, modified1, mb::No);
    d->MoveNext();
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(box(0), QStringLiteral("Bob")); // the edit was dropped
    d->MovePrevious();
    d->txtInfo[0]->setText(QStringLiteral("ann")); // case counts
    prompts->expect(saveQ, 36, modified1, mb::Yes);
    d->MoveNext();
    EXPECT_EQ(firstNameAt(file(), 1), QStringLiteral("ann"));

    d->MovePrevious();
    d->txtInfo[0]->setText(QStringLiteral("Zed"));
    d->Toolbar1_ButtonClick(QStringLiteral("Lock")); // the lock button is not pressed: releases
    EXPECT_FALSE(d->locked);
    d->toolbarButton(d->Toolbar1, 16)->setChecked(true);
    prompts->expect(saveQ, 36, modified1, mb::No); // pressing the lock asks first
    d->Toolbar1_ButtonClick(QStringLiteral("Lock"));
    EXPECT_TRUE(d->locked);
    EXPECT_TRUE(d->txtInfo[0]->isReadOnly());
    d->MoveNext(); // locked: never asks
    EXPECT_EQ(m().current, 2);
}

TEST_F(DisplayTest, ARefusedSaveKeepsTheUserOnTheEditedRecord) {
    open({{"Ann", "Lee"}, {"Bob", "Ray"}});
    d->txtInfo[0]->clear();
    d->txtInfo[1]->setText(QStringLiteral("Leeward"));
    prompts->expect(saveQ, 36, modified1, mb::Yes);
    prompts->expect(QStringLiteral("A record needs to have a First name"), Information,
                    QStringLiteral("Please enter a First name"), mb::OK);
    d->MoveNext();
    EXPECT_EQ(m().current, 1);
    EXPECT_EQ(box(1), QStringLiteral("Leeward"));
    EXPECT_EQ(file(), bookBytes({{"Ann", "Lee"}, {"Bob", "Ray"}}));
    d->txtInfo[0]->setText(QStringLiteral("Ann"));
    d->txtInfo[1]->setText(QStringLiteral("Lee"));
}

TEST_F(DisplayTest, TheFourMovesAndTheirMessages) {
    open({{"Ann"}, {"Bob"}});
    prompts->expect(QStringLiteral("This is the first record!"), Information,
                    QStringLiteral("Can't Move Back..."), mb::OK);
    d->Form_KeyDown(37, 1);
    d->Form_KeyDown(38, 1);
    EXPECT_EQ(m().current, 2);
    d->Form_KeyDown(39, 1);
    EXPECT_EQ(m().current, 3); // the blank slot
    prompts->expect(QStringLiteral("Add a new record here\r\nPress 'Save Changes' to save"), Information,
                    QStringLiteral("Can't Move Next..."), mb::OK);
    d->Form_KeyDown(39, 1);
    d->Form_KeyDown(40, 1);
    EXPECT_EQ(m().current, 1);
    d->Form_KeyDown(39, 3); // with Ctrl held too: nothing
    d->Form_KeyDown(39, 0);
    EXPECT_EQ(m().current, 1);
}

TEST_F(DisplayTest, AnEmptyBookHasNoEndButABeginning) {
    open({});
    prompts->expect(QStringLiteral("NO END RECORD\rPossible cause: Phonebook database empty!"), Information,
                    QStringLiteral("!"), mb::OK);
    d->MoveLast();
    d->MoveFirst();
    EXPECT_EQ(m().current, 1);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Phonebook Record:  1 of  0"));
}

TEST_F(DisplayTest, TypingOnTheBlankSlotAndMovingOnAppends) {
    open({{"Ann"}});
    show(2);
    d->txtInfo[0]->setText(QStringLiteral("Bob"));
    d->txtInfo[5]->setText(QString(100, QLatin1Char('a')));
    prompts->expect(saveQ, 36, QStringLiteral("Record  2 Modified!"), mb::Yes);
    d->MoveNext();
    EXPECT_EQ(m().RecordCount, 2);
    EXPECT_EQ(m().current, 3);
    EXPECT_EQ(recordAt(file(), 2), recordBytes({"Bob", "", "", "", "", QString(80, QLatin1Char('a'))}));
    EXPECT_EQ(d->lstRecordModel->lines(), (QStringList{"Ann    ( 1)", "Bob    ( 2)"}));
}

TEST_F(DisplayTest, PickingFromTheListShowsThatRecord) {
    open({{"Ann"}, {"Bob"}, {"Cy"}});
    m().PlaySoundEffect = true;
    d->lstRecord->setCurrentIndex(d->lstRecordModel->index(2));
    d->lstRecord_Click();
    EXPECT_EQ(m().current, 3);
    EXPECT_EQ(box(0), QStringLiteral("Cy"));
    EXPECT_EQ(sounds->played, std::vector<int>{109});
}

TEST_F(DisplayTest, ShiftArrowsMoveFromTheListButSelectTextInABox) {
    open({{"Ann"}, {"Bob"}});
    d->show();
    QTest::keyClick(d->lstRecord, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(m().current, 2);
    QTest::keyClick(d->txtInfo[0], Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(m().current, 2);
    EXPECT_EQ(d->txtInfo[0]->selectedText(), QStringLiteral("b"));
}
