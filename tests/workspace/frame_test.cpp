#include "accessories/frm_media_player.h"
#include "accessories/frm_recordset.h"
#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/native_name.h"
#include "platform/settings_store.h"
#include "web_fakes.h"
#include "workspace/file_groups.h"
#include "workspace/forms.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/viewer_pane.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <cstdio>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;

class FrameTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        frame = Forms::get<VantrelMDI>();
    }
    QString make(const QString& name, const QByteArray& bytes = "x") {
        const QString path = appDir() + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeFile(path, bytes);
        return path;
    }
    // A picture of the given format, whatever the name says.
    QString picture(const QString& name, const char* format = "PNG") {
        const QString path = appDir() + name;
        QImage img(6, 4, QImage::Format_RGB32);
        img.fill(Qt::blue);
        EXPECT_TRUE(img.save(path, format));
        return path;
    }
    VantrelMDI* frame = nullptr;
};

TEST_F(FrameTest, FilesGoWhereTheirExtensionTextsSendThem) {
    const QString pic = picture(QStringLiteral("photo.DIB"), "BMP");
    frame->OpenMyFile(pic);
    EXPECT_TRUE(frame->mdiPic()->isVisibleTo(frame));
    EXPECT_FALSE(frame->mdiPic()->picture()->pixmap().isNull());
    EXPECT_FALSE(frame->mdiPic()->MP()->isVisibleTo(frame));

    // The pane's player takes the sound, and says so when there is none in the file.
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    frame->OpenMyFile(make(QStringLiteral("tune.MP3")));
    EXPECT_TRUE(frame->mdiPic()->MP()->isVisibleTo(frame));
    EXPECT_TRUE(prompts->allAnswered());

    // Texts open in the program's own editor, shown inside the frame.
    frame->OpenMyFile(make(QStringLiteral("notes.txt"), "first\r\nsecond"));
    frame->OpenMyFile(make(QStringLiteral("script.as"), "trace(1);"));
    auto* editor = Forms::find<frmRecordset>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Rtf->toPlainText(), QStringLiteral("trace(1);"));
    EXPECT_EQ(editor->mdiArea(), frame->area());

    // The desktop takes what the program has no window of its own for.
    const QStringList desktop = {make(QStringLiteral("report.doc")), make(QStringLiteral("old.hlp")),
                                 make(QStringLiteral("manual.chm"))};
    for (const QString& f : desktop)
        frame->OpenMyFile(f);
    EXPECT_EQ(shell->opened, desktop);

    // A film goes to the media player, which says when there is no film in the file.
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    frame->OpenMyFile(make(QStringLiteral("clip.asf")));
    ASSERT_EQ(prompts->shown.size(), 2u);
    EXPECT_TRUE(prompts->shown[1].title.startsWith(QStringLiteral("ERROR321 ")));
    EXPECT_NE(Forms::find<frmMediaPlayer>(), nullptr);

    // Web pages open in the surfer, as file addresses.
    RecordingWebViews views;
    frame->OpenMyFile(make(QStringLiteral("page.shtml")));
    frame->OpenMyFile(make(QStringLiteral("My Page.HTML")));
    ASSERT_NE(views.last, nullptr);
    EXPECT_EQ(views.last->navigated,
              QStringList({QUrl::fromLocalFile(appDir() + QStringLiteral("page.shtml")).toString(),
                           QUrl::fromLocalFile(appDir() + QStringLiteral("My Page.HTML")).toString()}));

    frame->OpenMyFile(make(QStringLiteral("tool.exe")));
    EXPECT_EQ(shell->started, QStringList{appDir() + QStringLiteral("tool.exe ")});

    prompts->expect(QStringLiteral("Dorvane CANNOT OPEN THIS FILE!"), mb::Exclamation,
                    QStringLiteral("SORRY"), mb::OK);
    frame->OpenMyFile(make(QStringLiteral("clip.mp2v")));
    frame->OpenMyFile(QString()); // nothing, and no message
}

TEST_F(FrameTest, TheWholePathCountsAndTheFirstGroupWins) {
    // ".doc" in a folder name sends even a book to the word processor.
    const QString book = make(QStringLiteral("my.docs/Home.q7b"), QByteArray());
    frame->OpenMyFile(book);
    EXPECT_EQ(shell->opened, QStringList{book});
    EXPECT_EQ(Forms::find<Data>(), nullptr);
    // A picture name inside a sound's name: the picture group comes first.
    const QString odd = picture(QStringLiteral("cover.jpg.wav"));
    frame->OpenMyFile(odd);
    EXPECT_FALSE(frame->mdiPic()->MP()->isVisibleTo(frame));
}

TEST(FileGroups, AnAsfAnywhereTakesAwayEveryHitOfAs) {
    const std::pair<const char*, FileGroup> table[] = {
        {"/m/clips.asf/notes.as", FileGroup::Movie},
        {"/m/notes.as/clip.ASF", FileGroup::Movie},
        {"/m/notes.AS", FileGroup::Text},
        {"/m/a.asx", FileGroup::Text},
        {"/m/clips.asf/notes.txt", FileGroup::Text},
        {"/m/clips.asf/song.wav", FileGroup::Movie},
        {"/m/clips.asf", FileGroup::Movie},
        {"/m/Home.q7b", FileGroup::PhoneBook},
    };
    for (const auto& [path, group] : table)
        EXPECT_EQ(fileGroupOf(QString::fromLatin1(path)), group) << path;
}

TEST_F(FrameTest, AMissingSoundIsTold) {
    prompts->expect({}, 18, QStringLiteral("ERROR53 File not found"), mb::Abort);
    frame->OpenMyFile(appDir() + QStringLiteral("gone.WAV"));
    EXPECT_FALSE(frame->mdiPic()->MP()->isVisibleTo(frame));
}

TEST_F(FrameTest, TheProgramsWorkingFilesAreNotOpenedAsBooks) {
    writeFile(appDir() + QStringLiteral("Dorvane2DataBase.q7B"), bookBytes({{"Old"}}));
    ShowForm(QStringLiteral("Data"));
    const QString swap = make(QStringLiteral("Family.q7b.Dorvane-Swap"), bookBytes({{"Half"}}));
    prompts->expect(swap + QStringLiteral("\r\nis one of Dorvane's working files and cannot be used as a "
                                          "phonebook.\r\nPlease choose another file."),
                    mb::Exclamation, QStringLiteral("Not a Phonebook"), mb::OK);
    frame->OpenMyFile(swap);
    EXPECT_EQ(pbm().names().databaseFile(), appDir() + QStringLiteral("Dorvane2DataBase.q7B"));
    EXPECT_EQ(pbm().RecordCount, 1);
    // A name that is not UTF-8 would be opened (and created) under another name.
    const QByteArray odd = QFile::encodeName(appDir()) + "Fam\xe9.q7b";
    ASSERT_EQ(::rename(QFile::encodeName(make(QStringLiteral("Fam.q7b"), bookBytes({{"Ann"}}))).constData(),
                       odd.constData()),
              0);
    const QString oddPath = native::fromBytes(odd);
    prompts->expect(native::shown(oddPath) +
                        QStringLiteral("\r\nhas a name that is not UTF-8 text and cannot be opened as a "
                                       "phonebook.\r\nRename the file, then open it again."),
                    mb::Exclamation, QStringLiteral("Not a Phonebook"), mb::OK);
    frame->OpenMyFile(oddPath);
    EXPECT_EQ(pbm().names().databaseFile(), appDir() + QStringLiteral("Dorvane2DataBase.q7B"));
    EXPECT_EQ(QDir(appDir()).entryList(QDir::Files).filter(QStringLiteral("Fam")).size(), 1);
}

TEST_F(FrameTest, ABookIsOpenedInThePhoneBookWindowFromItsOwnFolder) {
    writeFile(appDir() + QStringLiteral("Dorvane2DataBase.q7B"), bookBytes({{"Old"}}));
    ShowForm(QStringLiteral("Data"));
    Data* d = Forms::find<Data>();
    ASSERT_NE(d, nullptr);
    const QString other = make(QStringLiteral("books/Family.Q7B"), bookBytes({{"Ann"}, {"Bob"}}));
    frame->OpenMyFile(other);
    EXPECT_EQ(Forms::find<Data>(), d);
    EXPECT_EQ(pbm().DataBasePath, appDir() + QStringLiteral("books"));
    EXPECT_EQ(pbm().DataBaseName, QStringLiteral("/Family.Q7B"));
    EXPECT_EQ(pbm().RecordCount, 2);
    EXPECT_EQ(d->txtInfo[0]->text(), QStringLiteral("Ann"));
    EXPECT_TRUE(QFile::exists(appDir() + QStringLiteral("books/Family.set")));
    // The old book's bag was written when the window let go of it.
    EXPECT_TRUE(QFile::exists(appDir() + QStringLiteral("Dorvane2DataBase.set")));
}

TEST_F(FrameTest, BackgroundChoicesKeepTheFrameWhenCancelledOrBroken) {
    frame->setBackColor(0xFF);
    prompts->expectCancel(ScriptedPrompts::Kind::Color);
    frame->mnuROther_Click();
    EXPECT_EQ(frame->backColor(), 0xFF);
    prompts->expectDialog(ScriptedPrompts::Kind::Color, [](CommonDialog& d) {
        d.Color = 0x00FF00;
        return true;
    });
    frame->mnuROther_Click();
    EXPECT_EQ(frame->backColor(), 0x00FF00);

    const QString good = picture(QStringLiteral("back.jpg")); // a PNG under another name
    prompts->expectFileDialog(good);
    frame->mnuRNew_Click();
    EXPECT_EQ(frame->BackPictureFile, good);

    const QString broken = make(QStringLiteral("broken.jpg"), "not a picture");
    prompts->expectFileDialog(broken);
    prompts->expect(QStringLiteral("Invalid picture"), 18, QStringLiteral("ERROR481 Invalid picture"),
                    mb::Abort);
    frame->mnuRNew_Click();
    EXPECT_EQ(frame->BackPictureFile, good); // the picture that failed is not stored
    EXPECT_TRUE(frame->hasBackPicture());

    frame->MDICD.CancelError = true;
    prompts->expectCancel(ScriptedPrompts::Kind::Open);
    frame->mnuRNew_Click(); // silent
    frame->mnuRRemove_Click();
    EXPECT_TRUE(frame->BackPictureFile.isEmpty());
    EXPECT_FALSE(frame->hasBackPicture());
    frame->mnuRDefault_Click();
    EXPECT_EQ(frame->backColor(), static_cast<int32_t>(0x8000000Cu));
}

TEST_F(FrameTest, TheCallButtonAndPhoneDialerSayThatNoDialerIsSetUp) {
    shell->succeed = false;
    const QString why = QStringLiteral("No phone dialer is set up");
    prompts->expect(why, mb::AbortRetryIgnore | mb::Critical, QStringLiteral("ERROR53 ") + why, mb::Retry);
    prompts->expect(why, mb::AbortRetryIgnore | mb::Critical, QStringLiteral("ERROR53 ") + why, mb::Ignore);
    frame->mnuPhoneDialer_Click();
    EXPECT_EQ(shell->opened, (QStringList{"tel:", "tel:"}));
    prompts->expect(why, mb::AbortRetryIgnore | mb::Critical, QStringLiteral("ERROR53 ") + why, mb::Abort);
    frame->MDIToolbar_ButtonClick(QStringLiteral("Phone"));
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_EQ(pbm().LastErrorAnswer, QStringLiteral("3"));
}

TEST_F(FrameTest, TilingSharesTheWorkspaceAmongTheChildren) {
    frame->resize(900, 700);
    frame->show();
    auto* a = frame->area()->addSubWindow(new QWidget);
    auto* b = frame->area()->addSubWindow(new QWidget);
    a->show();
    b->show();
    const QRect r = frame->area()->viewport()->rect();
    frame->mnuTH_Click();
    EXPECT_EQ(a->geometry().width(), r.width());
    EXPECT_EQ(a->geometry().height() + b->geometry().height(), r.height());
    frame->mnuTV_Click();
    EXPECT_EQ(a->geometry().height(), r.height());
    EXPECT_EQ(a->geometry().width() + b->geometry().width(), r.width());
    EXPECT_EQ(b->geometry().left(), a->geometry().right() + 1);
}

// A child that cannot shrink to its share (the phone book window) pushes the next one on:
// tiled windows never lie over one another.
TEST_F(FrameTest, TilingNeverLaysOneChildOverAnother) {
    frame->resize(900, 700);
    frame->show();
    const QRect r = frame->area()->viewport()->rect();
    QList<QMdiSubWindow*> subs;
    for (int i = 0; i < 3; ++i) {
        subs << frame->area()->addSubWindow(new QWidget);
        subs.back()->show();
    }
    subs[0]->setMinimumSize(r.width() * 2 / 3, r.height() * 2 / 3);
    const auto apart = [&] {
        for (int i = 0; i < subs.size(); ++i)
            for (int j = i + 1; j < subs.size(); ++j)
                if (subs[i]->geometry().intersects(subs[j]->geometry())) return false;
        return true;
    };
    // The workspace scrolls along the tiles only: its scroll bar takes no window's edge away.
    const auto onlyScrolls = [&](Qt::Orientation along) {
        QApplication::sendPostedEvents();
        const QWidget* view = frame->area()->viewport();
        for (QMdiSubWindow* w : subs) {
            const QRect g = w->geometry();
            if (along == Qt::Vertical ? g.right() >= view->width() : g.bottom() >= view->height())
                return false;
        }
        return true;
    };
    frame->mnuTH_Click();
    EXPECT_TRUE(apart());
    EXPECT_TRUE(onlyScrolls(Qt::Vertical));
    frame->mnuTV_Click();
    EXPECT_TRUE(apart());
    EXPECT_TRUE(onlyScrolls(Qt::Horizontal));
}

// Cascaded windows keep a workable size, step down by a title bar and leave the active one on top.
TEST_F(FrameTest, CascadingKeepsEveryChildOpenAndTheActiveOneOnTop) {
    frame->resize(900, 700);
    frame->show();
    const QRect r = frame->area()->viewport()->rect();
    auto* a = frame->area()->addSubWindow(new QWidget);
    auto* b = frame->area()->addSubWindow(new QWidget);
    auto* c = frame->area()->addSubWindow(new QWidget);
    for (QMdiSubWindow* w : {a, b, c})
        w->show();
    b->showMaximized();
    frame->area()->setActiveSubWindow(a);
    frame->mnuCascade_Click();
    for (QMdiSubWindow* w : {a, b, c}) {
        EXPECT_FALSE(w->isMaximized());
        EXPECT_GE(w->width(), r.width() / 2);
        EXPECT_GE(w->height(), r.height() / 2);
        EXPECT_TRUE(r.contains(w->geometry()));
    }
    const QList<QMdiSubWindow*> stack = frame->area()->subWindowList(QMdiArea::StackingOrder);
    EXPECT_EQ(stack.back(), a);
    EXPECT_EQ(frame->area()->activeSubWindow(), a);
    EXPECT_GT(a->y(), stack[1]->y());
    EXPECT_GT(stack[1]->y(), stack[0]->y());
}

// A window taller than the workspace brings the scroll bar; the cascade leaves it its room.
TEST_F(FrameTest, ACascadeWithAWindowTallerThanTheWorkspaceCutsNoWindowsEdge) {
    frame->resize(900, 700);
    frame->show();
    const QSize room = frame->area()->viewport()->size();
    auto* a = frame->area()->addSubWindow(new QWidget);
    auto* tall = frame->area()->addSubWindow(new QWidget);
    tall->setMinimumHeight(room.height() + 50);
    for (QMdiSubWindow* w : {a, tall})
        w->show();
    frame->mnuCascade_Click();
    QApplication::sendPostedEvents();
    ASSERT_TRUE(frame->area()->verticalScrollBar()->isVisible());
    for (QMdiSubWindow* w : {a, tall})
        EXPECT_LT(w->geometry().right(), frame->area()->viewport()->width());
}

// Arranged after the user scrolled the workspace, the windows start at its corner: no scrolling
// afterwards opens an empty space above or beside them.
TEST_F(FrameTest, ArrangingAScrolledWorkspaceStartsFromItsCorner) {
    frame->resize(900, 700);
    frame->show();
    const QSize room = frame->area()->viewport()->size();
    auto* tall = frame->area()->addSubWindow(new QWidget);
    auto* other = frame->area()->addSubWindow(new QWidget);
    tall->setMinimumSize(room.width() / 2, room.height() * 3 / 2);
    for (QMdiSubWindow* w : {tall, other})
        w->show();
    QScrollBar* bar = frame->area()->verticalScrollBar();
    for (int arrangement : {1, 2, 0}) {
        frame->Arrange(1);
        QApplication::sendPostedEvents();
        bar->setValue(bar->maximum());
        ASSERT_GT(bar->value(), 0);
        frame->Arrange(arrangement);
        QApplication::sendPostedEvents();
        bar->setValue(bar->minimum());
        EXPECT_EQ(tall->pos(), QPoint(0, 0)) << "arrangement " << arrangement;
    }
}

TEST_F(FrameTest, TheMenusCarryTheirCaptions) {
    EXPECT_EQ(frame->action(QStringLiteral("mnuTH"))->text(), QStringLiteral("Tile &Horizentally"));
    EXPECT_EQ(frame->action(QStringLiteral("mnuExit"))->text(), QStringLiteral("E&xit Dorvane"));
    EXPECT_EQ(frame->action(QStringLiteral("mnuAbout"))->text(), QStringLiteral("&About Dorvane..."));
    EXPECT_EQ(frame->mdiPic()->toolTip(), QStringLiteral("Double-click to pull it up!"));
    EXPECT_TRUE(VantrelMDI::normalCaption().startsWith(QStringLiteral("Dorvane") + QChar(0x2122) +
                                                       QString(13, QLatin1Char(' '))));
}

TEST_F(FrameTest, ExitClosesAsTheCloseButtonDoes) {
    writeFile(appDir() + QStringLiteral("Dorvane2DataBase.q7B"), bookBytes({{"Ann"}}));
    ShowForm(QStringLiteral("Data"));
    Forms::find<Data>()->txtInfo[0]->setText(QStringLiteral("Anne"));
    frame->setBackColor(0xFF);
    prompts->expect(QStringLiteral("Do you want to save changes?"), 36, QStringLiteral("Record  1 Modified!"),
                    mb::Yes);
    frame->mnuExit_Click();
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_EQ(firstNameAt(readFile(appDir() + QStringLiteral("Dorvane2DataBase.q7B")), 1),
              QStringLiteral("Anne"));
    EXPECT_EQ(setting(QStringLiteral("MDIFormBackColor")), QStringLiteral("255"));
    EXPECT_EQ(setting(QStringLiteral("DataBaseName")), QStringLiteral("Dorvane2DataBase.q7B"));
    EXPECT_EQ(Forms::find<Data>(), nullptr);
    EXPECT_EQ(Forms::find<VantrelMDI>(), nullptr);
}

TEST_F(FrameTest, ClosingTheProgramWritesEveryWindowsSettingsInOneSync) {
    ShowForm(QStringLiteral("Data"));
    frame->setBackColor(0xFF);
    const int before = SettingsStore::syncCount();
    frame->mnuExit_Click();
    EXPECT_EQ(SettingsStore::syncCount(), before + 1);
    EXPECT_EQ(storedSetting(QStringLiteral("MDIFormBackColor")), QStringLiteral("255"));
    EXPECT_EQ(storedSetting(QStringLiteral("DataBaseName")), QStringLiteral("Dorvane2DataBase.q7B"));
}

TEST_F(FrameTest, EachRightClickMenuOpensOnlyOverItsOwnEmptySurface) {
    writeFile(appDir() + QStringLiteral("Dorvane2DataBase.q7B"), bookBytes({{"Ann"}}));
    frame->resize(1400, 1000);
    frame->show();
    ShowForm(QStringLiteral("Data"));
    Data* d = Forms::find<Data>();
    d->move(0, 0);
    QMenu* popped = nullptr;
    Popup::watcher = [&](QMenu* menu, const QPoint&) { popped = menu; };
    const auto rightClick = [&](QWidget* w, QPoint at) {
        popped = nullptr;
        QTest::mouseClick(w, Qt::RightButton, {}, at);
        return popped;
    };
    const auto middle = [](QWidget* w) { return w->rect().center(); };

    QWidget* viewport = frame->area()->viewport();
    ASSERT_GT(viewport->width(), d->width() + 20);
    EXPECT_EQ(rightClick(viewport, QPoint(d->width() + 10, 10)), frame->mnuRC);
    QWidget* surface = d->lblinfo[0]->parentWidget();
    EXPECT_EQ(rightClick(surface, QPoint(3, surface->height() - 3)), d->mnuBackColor);
    // The picture preview with no picture in it is bare surface too.
    ASSERT_TRUE(d->imgPreview->pixmap().isNull());
    EXPECT_EQ(rightClick(d->imgPreview, middle(d->imgPreview)), d->mnuBackColor);

    // Over a child's parts neither menu opens.
    EXPECT_EQ(rightClick(d->lblinfo[0], middle(d->lblinfo[0])), nullptr);
    EXPECT_EQ(rightClick(d->Toolbar1, QPoint(d->Toolbar1->width() - 2, 2)), nullptr);
    EXPECT_EQ(rightClick(d->CoolBar1, QPoint(d->CoolBar1->width() - 2, 2)), nullptr);
    EXPECT_EQ(rightClick(d->lstRecord->viewport(), middle(d->lstRecord->viewport())), nullptr);
    EXPECT_EQ(rightClick(d, QPoint(d->width() / 2, 4)), nullptr); // the title bar
    EXPECT_EQ(rightClick(d->txtInfo[0], middle(d->txtInfo[0])), nullptr);
    Popup::watcher = nullptr;
}

TEST_F(FrameTest, OneMenuBarShowsTheActiveChildsMenusOrTheFramesOwn) {
    writeFile(appDir() + QStringLiteral("Dorvane2DataBase.q7B"), bookBytes({{"Ann"}}));
    frame->show();
    const QList<QAction*> own = frame->menuBar()->actions();
    ShowForm(QStringLiteral("Data"));
    Data* d = Forms::find<Data>();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    frame->area()->setActiveSubWindow(d);
    EXPECT_FALSE(d->menuBar->isVisibleTo(d));
    EXPECT_EQ(frame->menuBar()->actions(), d->menuBar->actions());

    // Another child without menus of its own brings back the frame's.
    QMdiSubWindow* plain = frame->area()->addSubWindow(new QWidget);
    plain->show();
    frame->area()->setActiveSubWindow(plain);
    EXPECT_EQ(frame->menuBar()->actions(), own);
    frame->area()->setActiveSubWindow(d);

    // The window's shortcuts still act while it is the active child.
    d->txtInfo[0]->setFocus();
    QTest::keyClick(d->txtInfo[0], Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(readFile(appDir() + QStringLiteral("PhoneClip.q7B")), recordBytes({"Ann"}));

    Forms::unload(d);
    Forms::flushDeleted();
    EXPECT_EQ(frame->menuBar()->actions(), own);

    // Every accessory window with menus shows them in the frame's bar, never a bar of its own.
    for (Form* f : {Forms::byName(QStringLiteral("frmEditor")), Forms::byName(QStringLiteral("frmBrowser")),
                    static_cast<Form*>(Forms::get<frmMediaPlayer>())}) {
        ASSERT_NE(f, nullptr);
        const QString name = f->widget()->objectName();
        auto* sub = qobject_cast<QMdiSubWindow*>(f->widget());
        ASSERT_TRUE(sub && f->childMenus()) << name.toStdString();
        Forms::show(f);
        frame->area()->setActiveSubWindow(sub);
        EXPECT_FALSE(f->childMenus()->isVisibleTo(sub)) << name.toStdString();
        EXPECT_EQ(frame->menuBar()->actions(), f->childMenus()->actions()) << name.toStdString();
    }
}
