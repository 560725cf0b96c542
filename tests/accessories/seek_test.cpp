#include "accessories/file_lists.h"
#include "accessories/file_walk.h"
#include "accessories/frm_recordset.h"
#include "accessories/frm_seek.h"
#include "app_fixture.h"
#include "workspace/forms.h"
#include "workspace/module_services.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace pb;

TEST(NamePatterns, ListSemantics) {
    const auto hit = [](const char* patterns, const char* name) {
        return NamePattern(QString::fromLatin1(patterns)).matches(QString::fromLatin1(name));
    };
    EXPECT_TRUE(hit("*.*", "README"));
    EXPECT_TRUE(hit("*.*", "a.b.c"));
    EXPECT_TRUE(hit("*.TXT", "a.txt"));
    EXPECT_TRUE(hit("*.txt;*.htm", "x.HTM"));
    EXPECT_TRUE(hit(" *.txt ; *.htm ", "y.txt"));
    EXPECT_TRUE(hit("a?c.*", "abc"));
    EXPECT_FALSE(hit("*.txt", "a.txt.bak"));
    EXPECT_FALSE(hit("a?c", "ac"));
    EXPECT_FALSE(hit("", "a"));
    EXPECT_EQ(joinPath(QStringLiteral("/ab"), QStringLiteral("file")), QStringLiteral("/ab/file"));
    EXPECT_EQ(joinPath(QStringLiteral("/"), QStringLiteral("file")), QStringLiteral("/file"));
    EXPECT_EQ(DriveListBox::drives().value(0), QStringLiteral("/"));
}

namespace {

class SeekTest : public pbtest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        top = tmp.path() + QStringLiteral("/top");
        for (const char* f : {"a/x.txt", "b/c/y.txt", "b/z.txt", "top.txt", "b/c/skip.bin", "README"})
            make(QString::fromLatin1(f));
        ShowForm(QStringLiteral("frmSeek"));
        s = Forms::find<frmSeek>();
        ASSERT_NE(s, nullptr);
        s->dirList->setPath(top);
    }
    void make(const QString& rel) {
        const QString path = top + QLatin1Char('/') + rel;
        QDir().mkpath(QFileInfo(path).path());
        pbtest::writeFile(path, "x");
    }
    QStringList found() const {
        QStringList out;
        for (int i = 0; i < s->lstFoundFiles->count(); ++i)
            out << s->lstFoundFiles->item(i)->text().mid(top.size() + 1);
        return out;
    }
    void search(const char* patterns) {
        s->txtSearchSpec->setText(QString::fromLatin1(patterns));
        s->cmdSearch_Click();
    }
    QString top;
    frmSeek* s = nullptr;
};

} // namespace

TEST_F(SeekTest, FindsSubfoldersLastListedFirstBeforeTheFolderItself) {
    search("*.TXT");
    EXPECT_EQ(found(), (QStringList{"b/c/y.txt", "b/z.txt", "a/x.txt", "top.txt"}));
    EXPECT_EQ(s->lblCount->text(), QStringLiteral(" 4"));
    EXPECT_TRUE(s->Picture2->isVisibleTo(s));
    EXPECT_FALSE(s->Picture1->isVisibleTo(s));

    s->cmdSearch_Click(); // Reset
    EXPECT_EQ(s->lstFoundFiles->count(), 0);
    EXPECT_EQ(s->lblCount->text(), QStringLiteral("0"));
    EXPECT_EQ(s->cmdSearch->text(), QStringLiteral("&Search"));
    EXPECT_EQ(s->dirList->path(), QDir::currentPath());

    s->dirList->setPath(top);
    search("*.nothing");
    EXPECT_EQ(s->lblCount->text(), QStringLiteral("0"));
}

TEST_F(SeekTest, LinksToFoldersAreNotFollowedAndUnreadableFoldersAreSkipped) {
    ASSERT_EQ(::symlink(qPrintable(top), qPrintable(top + QStringLiteral("/b/loop"))), 0);
    ASSERT_EQ(::symlink(qPrintable(top + QStringLiteral("/top.txt")),
                        qPrintable(top + QStringLiteral("/a/link.txt"))),
              0);
    // A folder that cannot be read (root reads everything, so the reader is told to fail).
    s->lister = [this](const QString& f, const NamePattern& p, FolderListing& out) {
        return !f.endsWith(QStringLiteral("/b/c")) && listFolder(f, p, out);
    };
    search("*.txt");
    EXPECT_EQ(found(), (QStringList{"b/z.txt", "a/link.txt", "a/x.txt", "top.txt"}));
    EXPECT_EQ(s->skippedFolders(), 1);
    EXPECT_EQ(s->lblSkipped->text(), QStringLiteral("(1 folder could not be read)"));
}

TEST_F(SeekTest, CancelKeepsTheMatchesAndNothingReentersTheSearch) {
    int folders = 0;
    s->lister = [&](const QString& f, const NamePattern& p, FolderListing& out) {
        if (++folders == 3) { // top, b, b/c
            EXPECT_EQ(s->cmdExit->text(), QStringLiteral("Cancel"));
            s->cmdSearch_Click(); // a second Search while one runs: ignored
            s->cmdExit_Click();   // Cancel: the next folder is not searched
        }
        return listFolder(f, p, out);
    };
    search("*.txt");
    EXPECT_EQ(folders, 3);
    EXPECT_EQ(found(), (QStringList{"b/c/y.txt", "b/z.txt"}));
    EXPECT_EQ(s->lblCount->text(), QStringLiteral(" 2"));
    EXPECT_EQ(s->cmdSearch->text(), QStringLiteral("&Reset"));
    EXPECT_EQ(s->cmdExit->text(), QStringLiteral("E&xit"));
}

TEST_F(SeekTest, ClosingDuringASearchWaitsForTheWalk) {
    int folders = 0;
    s->lister = [&](const QString& f, const NamePattern& p, FolderListing& out) {
        if (++folders == 2) s->close();
        return listFolder(f, p, out);
    };
    search("*.txt");
    EXPECT_EQ(folders, 2);
    EXPECT_EQ(Forms::find<frmSeek>(), nullptr);
}

TEST_F(SeekTest, AFullListEndsTheSearch) {
    s->lister = [](const QString&, const NamePattern&, FolderListing& out) {
        out = {};
        for (int i = 0; i < frmSeek::kFoundCap + 10; ++i)
            out.files << QStringLiteral("f%1").arg(i, 5, 10, QLatin1Char('0'));
        return true;
    };
    prompts->expect(QStringLiteral("You've filled the list box. Abandoning search..."), mb::OKOnly, {},
                    mb::OK);
    search("*.*");
    EXPECT_EQ(s->lstFoundFiles->count(), frmSeek::kFoundCap);
    EXPECT_EQ(s->lblCount->text(), QStringLiteral(" 32767"));
}

TEST_F(SeekTest, AHighlightedFolderIsOpenedFirstAndFilesOpenFromBothLists) {
    // A double click on a folder that has gone since it was listed is told, and nothing else happens.
    QDir(top + QStringLiteral("/a")).removeRecursively();
    s->dirList->setCurrentRow(s->dirList->count() - 2); // "a"
    prompts->expect({}, mb::Exclamation, QStringLiteral("Search for..."), mb::OK);
    Q_EMIT s->dirList->itemDoubleClicked(s->dirList->currentItem());
    EXPECT_EQ(s->dirList->path(), top);

    s->dirList->setCurrentRow(s->dirList->count() - 1); // the last subfolder, "b"
    s->cmdSearch_Click();
    EXPECT_EQ(s->dirList->path(), top + QStringLiteral("/b"));
    EXPECT_EQ(s->cmdSearch->text(), QStringLiteral("&Search")); // no search yet
    EXPECT_EQ(s->filList->count(), 1);                          // z.txt
    prompts->expect(QStringLiteral("Dorvane CANNOT OPEN THIS FILE!"), mb::Exclamation,
                    QStringLiteral("SORRY"), mb::OK);
    make(QStringLiteral("b/z.q"));
    s->txtSearchSpec->setText(QStringLiteral("*.q"));
    s->filList->setCurrentRow(0);
    s->filList_DblClick();

    make(QStringLiteral("b/c/y.doc")); // a kind the desktop opens
    s->txtSearchSpec->setText(QStringLiteral("*.doc"));
    s->cmdSearch_Click();
    s->lstFoundFiles->setCurrentRow(0);
    s->lstFoundFiles_DblClick();
    EXPECT_EQ(shell->opened, QStringList{top + QStringLiteral("/b/c/y.doc")});

    s->cmdSearch_Click(); // Reset
    s->cmdExit_Click();   // Exit
    EXPECT_EQ(Forms::find<frmSeek>(), nullptr);
}

TEST_F(SeekTest, NamesThatAreNotUtf8AreWalkedListedAndOpenedByTheirOwnBytes) {
    // A readable folder "caf\xe9" holding a file, and a file "r\xe9sum\xe9.txt" beside it.
    const std::string root = QFile::encodeName(top).toStdString();
    ASSERT_EQ(::mkdir((root + "/caf\xe9").c_str(), 0755), 0);
    std::ofstream(root + "/caf\xe9/inner.txt") << "own bytes";
    std::ofstream(root + "/r\xe9sum\xe9.txt") << "own bytes";
    search("*.txt");
    EXPECT_EQ(s->skippedFolders(), 0);
    EXPECT_EQ(found(), (QStringList{QStringLiteral("café/inner.txt"), "b/c/y.txt", "b/z.txt", "a/x.txt",
                                    QStringLiteral("résumé.txt"), "top.txt"}));
    // Opened from the list, the file is read from its own name.
    s->lstFoundFiles->setCurrentRow(4);
    s->lstFoundFiles_DblClick();
    auto* editor = Forms::find<frmRecordset>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Rtf->toPlainText(), QStringLiteral("own bytes"));
}
