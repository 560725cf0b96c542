#include "accessories/frm_browser.h"
#include "book_fixture.h"
#include "export/web_export.h"
#include "platform/settings_store.h"
#include "web_fakes.h"
#include "workspace/frm_save.h"
#include "workspace/vantrel_mdi.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

using namespace pb;
using namespace pbtest;
using Kind = pb::Prompts::DialogKind;

namespace {

class WebExportTest : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        prompts->onModal = [this](QDialog& dlg) {
            ++builds;
            static_cast<frmSave&>(dlg).fireArmed();
        };
        Forms::get<VantrelMDI>()->captionObserver = [this](const QString& line) { captions << line; };
    }
    QString appletType() const {
        return SettingsStore::GetSetting(kAppName, QStringLiteral("WebBrowser"), QStringLiteral("AppletType"),
                                         QStringLiteral("<missing>"));
    }
    void chooseSave(const QString& path) {
        prompts->expectDialog(Kind::Save, [path](CommonDialog& dlg) {
            EXPECT_EQ(dlg.DialogTitle, QStringLiteral("Save As"));
            EXPECT_EQ(dlg.Filter, QStringLiteral("Web Page |*.htm; *.html"));
            dlg.FileName = path;
            return true;
        });
    }
    // Every address in a page that is not a mail link, as the file it reaches.
    static QStringList linkedFiles(const QString& page) {
        QFile f(page);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(f.readAll());
        static const QRegularExpression link(QStringLiteral("(?:src|href) = '([^']*)'|value ='([^']*)'"));
        QStringList out;
        for (auto it = link.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            QString target = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
            if (target.startsWith(QLatin1String("mailto:"))) continue;
            target.replace(QStringLiteral("&#39;"), QStringLiteral("'"))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            const QUrl url = QUrl::fromLocalFile(page).resolved(QUrl(target));
            out << url.adjusted(QUrl::RemoveFragment).toLocalFile();
        }
        return out;
    }
    void expectEveryLinkResolves(const QString& frameset, const QString& folder) {
        int links = 0;
        QStringList pages = {frameset};
        for (const QString& name : web::kPageFiles)
            if (!name.isEmpty()) pages << QDir(folder).filePath(name);
        for (const QString& page : pages)
            for (const QString& file : linkedFiles(page)) {
                ++links;
                EXPECT_TRUE(QFileInfo(file).isFile()) << qPrintable(page) << " -> " << qPrintable(file);
            }
        EXPECT_GE(links, 9);
    }
    int builds = 0;
    QStringList captions;
};

} // namespace

TEST_F(WebExportTest, ExportWritesLinkedPagesBesideTheChosenFileAndFlipsTheAppletType) {
    open({{"Ann", "Lee", "", "ann@mail.example"}, {"Bob", "Stone"}});
    const QString dir = appDir() + QStringLiteral("O'Brien #1/");
    QDir().mkpath(dir);
    chooseSave(dir + QStringLiteral("Book.htm"));
    captions.clear();
    d->mnuSaveAsHtml_Click();
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(appletType(), QStringLiteral("1"));
    const QString folder = dir + QStringLiteral("Book");
    EXPECT_EQ(readFile(dir + QStringLiteral("Book.htm")), WebPages()[web::Frameset]);
    EXPECT_EQ(readFile(folder + QStringLiteral("/Records.htm")), WebPages()[web::Records]);
    EXPECT_TRUE(WebPages()[web::Records].contains("<param name=script value='1'>"));
    expectEveryLinkResolves(dir + QStringLiteral("Book.htm"), folder);
    for (const char* f :
         {"Dorvane2.ico", "texture.gif", "fire.gif", "texture2.gif", "light2.gif", "anfy3dscr.txt"})
        EXPECT_TRUE(QFileInfo(folder + QLatin1Char('/') + QLatin1String(f)).isFile()) << f;
    // Every progress line went to the caption, and the caption is back.
    ASSERT_EQ(captions.size(), 6);
    EXPECT_EQ(captions[0], QStringLiteral("Rewriting Records in Html Format. Please Wait . . ."));
    EXPECT_EQ(captions[1], QStringLiteral("Constructing Contents Page. Writing Name 1.   Completed:  50%"));
    EXPECT_EQ(captions[4], QStringLiteral("Constructing Records Page. Writing Record 2.   Completed:  100%"));
    EXPECT_EQ(captions.last(), VantrelMDI::normalCaption());
    // The shown record is back in the shared buffer.
    EXPECT_EQ(m().Rec.trimmed(PhoneRecord::FirstName), QStringLiteral("Ann"));

    // Again into the same place: the pages are replaced, files of the user's stay.
    writeFile(folder + QStringLiteral("/mine.txt"), "mine");
    chooseSave(dir + QStringLiteral("Book.htm"));
    d->mnuSaveAsHtml_Click();
    EXPECT_EQ(appletType(), QStringLiteral("0"));
    EXPECT_TRUE(readFile(folder + QStringLiteral("/Records.htm")).contains("<param name=script value='0'>"));
    EXPECT_EQ(readFile(folder + QStringLiteral("/mine.txt")), "mine");

    // A stored text that is no number counts as "0".
    SettingsStore::SaveSetting(kAppName, QStringLiteral("WebBrowser"), QStringLiteral("AppletType"),
                               QStringLiteral("x1"));
    chooseSave(dir + QStringLiteral("BOOK.HTML"));
    d->mnuSaveAsHtml_Click();
    EXPECT_EQ(appletType(), QStringLiteral("1"));
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("BOOK/Title.htm")).isFile());
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(WebExportTest, CancelRefusalAndAFolderInTheWayWriteNothing) {
    open({{"Ann", "Lee"}});
    const QByteArray book = file();
    prompts->expectCancel(Kind::Save);
    d->mnuSaveAsHtml_Click();

    // The open book as the frameset, or a folder named like its companion: refused, and no build.
    chooseSave(this->book());
    prompts->expectAny(mb::Abort);
    d->mnuSaveAsHtml_Click();
    chooseSave(appDir() + QStringLiteral("Dorvane2DataBase.set.htm"));
    prompts->expectAny(mb::Abort);
    d->mnuSaveAsHtml_Click();
    EXPECT_EQ(file(), book);

    // A file where the folder should go.
    writeFile(appDir() + QStringLiteral("Busy"), "busy");
    chooseSave(appDir() + QStringLiteral("Busy.htm"));
    prompts->expectAny(mb::Abort);
    d->mnuSaveAsHtml_Click();
    EXPECT_EQ(readFile(appDir() + QStringLiteral("Busy")), "busy");
    EXPECT_FALSE(QFileInfo::exists(appDir() + QStringLiteral("Busy.htm")));

    EXPECT_EQ(builds, 0);
    EXPECT_EQ(appletType(), QStringLiteral("<missing>"));
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(WebExportTest, PreviewAsksOnceItExistsAndNavigatesOnlyToWhatWasWritten) {
    RecordingWebViews views;
    open({{"Ann", "Lee"}});
    const QString page = appDir() + QStringLiteral("PhoneHtml.htm");
    const QString pageUrl = QUrl::fromLocalFile(page).toString();
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(builds, 1);
    ASSERT_NE(views.last, nullptr);
    EXPECT_EQ(views.last->navigated, QStringList{pageUrl});
    expectEveryLinkResolves(page, appDir() + QStringLiteral("Dorvane2 WebPage Components"));

    const QString question = QStringLiteral("A web preview was created earlier\r\nYou have the choice of "
                                            "either reconstructing the file to include\r\n"
                                            "any update from the original Phonebook Database, or preview it "
                                            "as\r\nit is. Do you want to reconstruct?");
    const QString title = QStringLiteral("WebBrowser message");
    prompts->expect(question, mb::YesNoCancel | mb::Question, title, mb::Cancel);
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(m().LastErrorAnswer, QStringLiteral("2"));
    EXPECT_EQ(views.last->navigated.size(), 1);

    prompts->expect(question, mb::YesNoCancel | mb::Question, title, mb::No);
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(m().LastErrorAnswer, QStringLiteral("7"));
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(appletType(), QStringLiteral("1"));
    EXPECT_EQ(views.last->navigated, QStringList({pageUrl, pageUrl}));

    prompts->expect(question, mb::YesNoCancel | mb::Question, title, mb::Yes);
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(m().LastErrorAnswer, QStringLiteral("6"));
    EXPECT_EQ(builds, 2);
    EXPECT_EQ(appletType(), QStringLiteral("0"));
    EXPECT_EQ(views.last->navigated.size(), 3);

    // The toolbar's button and its Save menu reach the same commands.
    prompts->expect(question, mb::YesNoCancel | mb::Question, title, mb::No);
    d->Toolbar1_ButtonClick(QStringLiteral("Preview"));
    EXPECT_EQ(views.last->navigated.size(), 4);
    prompts->expectCancel(Kind::Save);
    d->Toolbar1_ButtonMenuClick(QStringLiteral("SaveHtml"));
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(WebExportTest, AFailedPreviewIsToldAndAbortShowsNothing) {
    RecordingWebViews views;
    open({{"Ann", "Lee"}});
    writeFile(appDir() + QStringLiteral("Dorvane2 WebPage Components"), "in the way");
    prompts->expectAny(mb::Abort);
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(views.last, nullptr);
    EXPECT_FALSE(QFileInfo::exists(appDir() + QStringLiteral("PhoneHtml.htm")));

    // An Applet folder that cannot be made: the pages are there, the applet's files are not, and
    // Abort keeps the surfer away.
    QFile::remove(appDir() + QStringLiteral("Dorvane2 WebPage Components"));
    writeFile(appDir() + QStringLiteral("Applet"), "in the way");
    prompts->expectAny(mb::Abort);
    d->mnuCustomBrowser_Click();
    EXPECT_EQ(views.last, nullptr);
    EXPECT_TRUE(QFileInfo::exists(appDir() + QStringLiteral("Dorvane2 WebPage Components/Records.htm")));
    EXPECT_TRUE(prompts->allAnswered());
}
