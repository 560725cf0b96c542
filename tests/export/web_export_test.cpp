#include "accessories/frm_browser.h"
#include "export/web_export.h"
#include "export_fixture.h"
#include "file_size_limit.h"
#include "platform/settings_store.h"
#include "web_fakes.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;
using Kind = pb::Prompts::DialogKind;

namespace {

class WebExportTest : public ExportFixture {
protected:
    QString appletType() const {
        return SettingsStore::GetSetting(kAppName, QStringLiteral("WebBrowser"), QStringLiteral("AppletType"),
                                         QStringLiteral("<missing>"));
    }
    void exportTo(const QString& path) {
        chooseSave(path);
        d->mnuSaveAsHtml_Click();
    }
    // Told, and the dialog comes back (cancelled here).
    void expectRefused(const QString& path) {
        prompts->expectAny(mb::OK);
        prompts->expectCancel(Kind::Save);
        exportTo(path);
    }
    // Every address in the pages that is not a mail link reaches a file.
    void expectEveryLinkResolves(const QString& frameset, const QString& folder) {
        static const QRegularExpression link(QStringLiteral("(?:src|href) = '([^']*)'|value ='([^']*)'"));
        QStringList pages = {frameset};
        for (const QString& name : web::kPageFiles)
            if (!name.isEmpty()) pages << QDir(folder).filePath(name);
        int links = 0;
        for (const QString& page : pages)
            for (auto it = link.globalMatch(QString::fromLatin1(readFile(page))); it.hasNext();) {
                const auto m = it.next();
                QString target = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
                if (target.startsWith(QLatin1String("mailto:"))) continue;
                target.replace(QStringLiteral("&#39;"), QStringLiteral("'"))
                    .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
                const QString file = QUrl::fromLocalFile(page).resolved(QUrl(target)).toLocalFile();
                ++links;
                EXPECT_TRUE(QFileInfo(file).isFile()) << qPrintable(page) << " -> " << qPrintable(file);
            }
        EXPECT_GE(links, 9);
    }
};

} // namespace

TEST_F(WebExportTest, ExportWritesLinkedPagesBesideTheChosenFileAndFlipsTheAppletType) {
    open({{"Ann", "Lee", "", "ann@mail.example"}, {"Bob", "Stone"}});
    const QString dir = appDir() + QStringLiteral("O'Brien #1/");
    const QString folder = dir + QStringLiteral("Book");
    QDir().mkpath(dir);
    captions.clear();
    exportTo(dir + QStringLiteral("Book.htm"));
    EXPECT_EQ(modals, 1);
    EXPECT_EQ(appletType(), QStringLiteral("1"));
    EXPECT_EQ(readFile(dir + QStringLiteral("Book.htm")), WebPages()[web::Frameset]);
    EXPECT_EQ(readFile(folder + QStringLiteral("/Records.htm")), WebPages()[web::Records]);
    EXPECT_TRUE(WebPages()[web::Records].contains("<param name=script value='1'>"));
    expectEveryLinkResolves(dir + QStringLiteral("Book.htm"), folder);
    for (const char* f :
         {"Dorvane2.ico", "texture.gif", "fire.gif", "texture2.gif", "light2.gif", "anfy3dscr.txt"})
        EXPECT_TRUE(QFileInfo(folder + QLatin1Char('/') + QLatin1String(f)).isFile()) << f;
    // Every progress line went to the caption, and the caption is back.
    ASSERT_EQ(captions.size(), 6);
    EXPECT_EQ(captions[4], QStringLiteral("Constructing Records Page. Writing Record 2.   Completed:  100%"));
    EXPECT_EQ(captions.last(), VantrelMDI::normalCaption());
    EXPECT_EQ(m().Rec.trimmed(PhoneRecord::FirstName), QStringLiteral("Ann"));

    // Again into the same place: the pages are replaced, files of the user's stay, and pages an
    // older export left in the Applet folder never stand in for the new ones.
    writeFile(folder + QStringLiteral("/mine.txt"), "mine");
    writeFile(appletFolder() + QStringLiteral("/Records.htm"), "stale");
    exportTo(dir + QStringLiteral("Book.htm"));
    EXPECT_EQ(appletType(), QStringLiteral("0"));
    EXPECT_TRUE(readFile(folder + QStringLiteral("/Records.htm")).contains("<param name=script value='0'>"));
    EXPECT_EQ(readFile(folder + QStringLiteral("/mine.txt")), "mine");

    // A stored text that is no number counts as "0".
    SettingsStore::SaveSetting(kAppName, QStringLiteral("WebBrowser"), QStringLiteral("AppletType"),
                               QStringLiteral("x1"));
    exportTo(dir + QStringLiteral("BOOK.HTML"));
    EXPECT_EQ(appletType(), QStringLiteral("1"));
}

TEST_F(WebExportTest, PreviewAsksOnceItExistsAndNavigatesOnlyToWhatWasWritten) {
    RecordingWebViews views;
    open({{"Ann", "Lee"}});
    const QString page = appDir() + QStringLiteral("PhoneHtml.htm");
    const QString pageUrl = QUrl::fromLocalFile(page).toString();
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(modals, 1);
    ASSERT_NE(views.last, nullptr);
    EXPECT_EQ(views.last->navigated, QStringList{pageUrl});
    expectEveryLinkResolves(page, appDir() + QStringLiteral("Dorvane2 WebPage Components"));

    const QString question = QStringLiteral("A web preview was created earlier\r\nYou have the choice of "
                                            "either reconstructing the file to include\r\n"
                                            "any update from the original Phonebook Database, or preview it "
                                            "as\r\nit is. Do you want to reconstruct?");
    const auto ask = [&](int answer) {
        prompts->expect(question, mb::YesNoCancel | mb::Question, QStringLiteral("WebBrowser message"),
                        answer);
    };
    const struct {
        int answer;
        const char* stored;
        int builds, shown;
    } steps[] = {{mb::Cancel, "2", 1, 1}, {mb::No, "7", 1, 2}, {mb::Yes, "6", 2, 3}};
    for (const auto& s : steps) {
        ask(s.answer);
        d->mnuCustomBrowser_Click();
        EXPECT_EQ(m().LastErrorAnswer, QLatin1String(s.stored));
        EXPECT_EQ(modals, s.builds);
        EXPECT_EQ(views.last->navigated.size(), s.shown);
        EXPECT_EQ(views.last->navigated.last(), pageUrl);
    }
    EXPECT_EQ(appletType(), QStringLiteral("0"));

    // The toolbar's button and its Save menu reach the same commands.
    ask(mb::No);
    d->Toolbar1_ButtonClick(QStringLiteral("Preview"));
    EXPECT_EQ(views.last->navigated.size(), 4);
    prompts->expectCancel(Kind::Save);
    d->Toolbar1_ButtonMenuClick(QStringLiteral("SaveHtml"));
}

TEST_F(WebExportTest, CancelRefusalsAndFilesInTheWayWriteAndShowNothing) {
    RecordingWebViews views;
    open({{"Ann", "Lee"}});
    const QByteArray book = file();
    prompts->expectCancel(Kind::Save);
    d->mnuSaveAsHtml_Click();
    // The open book as the frameset, a folder named like its companion, a file where the folder goes.
    expectRefused(this->book());
    expectRefused(appDir() + QStringLiteral("Dorvane2DataBase.set.htm"));
    writeFile(appDir() + QStringLiteral("Busy"), "busy");
    prompts->expectAny(mb::Abort);
    exportTo(appDir() + QStringLiteral("Busy.htm"));
    EXPECT_EQ(file(), book);
    EXPECT_EQ(readFile(appDir() + QStringLiteral("Busy")), "busy");
    EXPECT_FALSE(QFileInfo::exists(appDir() + QStringLiteral("Busy.htm")));
    EXPECT_EQ(modals, 0);
    EXPECT_EQ(appletType(), QStringLiteral("<missing>"));

    // A preview whose folder or Applet folder cannot be made is told, and Abort shows nothing and
    // writes no page: the set is written whole or not at all.
    const QString components = appDir() + QStringLiteral("Dorvane2 WebPage Components");
    writeFile(components, "in the way");
    prompts->expectAny(mb::Abort);
    d->mnuCustomBrowser_Click();
    EXPECT_FALSE(QFileInfo::exists(appDir() + QStringLiteral("PhoneHtml.htm")));
    QFile::remove(components);
    writeFile(appDir() + QStringLiteral("Applet"), "in the way");
    prompts->expectAny(mb::Abort);
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(views.last, nullptr);
    EXPECT_FALSE(QFileInfo::exists(components + QStringLiteral("/Records.htm")));
    EXPECT_FALSE(QFileInfo::exists(appDir() + QStringLiteral("PhoneHtml.htm")));
}

TEST_F(WebExportTest, AnExportThatRunsOutOfRoomIsToldAndLeavesTheEarlierExportWhole) {
    std::vector<Rec> records(200, Rec{"Ann", "Lee", "555 0100", "ann@mail.example"});
    open(records);
    const QString frameset = appDir() + QStringLiteral("Book.htm");
    // Every file of the export, the frameset and the folder's.
    const auto exported = [&] {
        std::map<QString, QByteArray> files;
        QDirIterator it(appDir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.startsWith(appDir() + QStringLiteral("Book"))) files[path] = readFile(path);
        }
        return files;
    };
    exportTo(frameset);
    const auto earlier = exported();
    ASSERT_EQ(earlier.size(), 12u);

    // Another name in the list: the contents page fits on the disk, the records page does not.
    show(1);
    d->txtInfo[0]->setText(QStringLiteral("Bob"));
    d->AddIt();
    {
        const FileSizeLimit fullDisk(40000);
        prompts->expect(QStringLiteral("Disk is full"), 18, QStringLiteral("ERROR61 Disk full"), mb::Abort);
        exportTo(frameset);
    }
    ASSERT_GT(WebPages()[web::Records].size(), 40000);
    ASSERT_LT(WebPages()[web::Contents].size(), 40000);
    EXPECT_EQ(exported(), earlier);
}
