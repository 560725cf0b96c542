#include "export_fixture.h"
#include "file_size_limit.h"
#include "table_reader.h"

#include <QDir>

using namespace pb;
using namespace pbtest;

class DbExportTest : public ExportFixture {
protected:
    QString working() const { return appDir() + QStringLiteral("My MDB Phonebook.sqlite"); }
    QString target() const { return tmp.filePath(QStringLiteral("out/Exported.sqlite")); }
};

TEST_F(DbExportTest, TheExportCopiesTheBookAndMovesItOverTheChosenFile) {
    open({{"Ann", "Lee", "555"}, {"Bob", "Ray"}});
    show(2);
    QDir().mkpath(tmp.filePath(QStringLiteral("out")));
    writeFile(target(), "an older file the user agreed to replace");
    chooseSave(target());
    d->mnuTransform_Click();

    EXPECT_EQ(modals, 1);
    EXPECT_EQ(
        captionWhenShown,
        QStringLiteral("Transforming Phonebook Database To A Database File (.sqlite). Please Wait . . ."));
    EXPECT_EQ(captions.mid(1),
              (QStringList{"Transforming Record 1.   Completed:  50",
                           "Transforming Record 2.   Completed:  100", VantrelMDI::normalCaption()}));
    EXPECT_EQ(Forms::find<frmSave>(), nullptr);
    EXPECT_EQ(m().Rec.trimmed(PhoneRecord::FirstName), QStringLiteral("Bob"));

    const Table t = readTable(target());
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][2], QStringLiteral("555").leftJustified(27));
    EXPECT_EQ(t.rows[1][1], QStringLiteral("Ray").leftJustified(20));
    EXPECT_FALSE(QFile::exists(working()));
    EXPECT_TRUE(d->dlgFileOpen[0].FileName.isEmpty());
}

TEST_F(DbExportTest, ACancelledOrFailedMoveKeepsTheFileAndTheNextExportHoldsTheBookOnce) {
    open({{"Ann"}, {"Bob"}, {"Cy"}});
    prompts->expectCancel(ScriptedPrompts::Kind::Save);
    d->mnuTransform_Click(); // says nothing
    EXPECT_EQ(readTable(working()).rows.size(), 3u);

    // Renamed captions rename the columns.
    m().Label[1] = QStringLiteral("Surname");
    m().Label[6] = QStringLiteral("Notes \"quoted\"");
    // A move into a folder that does not exist: neither Abort nor Ignore loses the built file.
    for (const int answer : {mb::Abort, mb::Ignore}) {
        chooseSave(target());
        prompts->expect(QStringLiteral("Unable to find the specified path\r\nRespecify the path"),
                        mb::AbortRetryIgnore | mb::Critical, QStringLiteral("ERROR76 Path not found"),
                        answer);
        d->mnuTransform_Click();
        EXPECT_EQ(readTable(working()).rows.size(), 3u) << answer; // kept for the next try
    }

    // A folder of the user's standing at the chosen name is never taken for a file to replace.
    QDir().mkpath(target());
    writeFile(target() + QStringLiteral("/mine.txt"), "mine");
    chooseSave(target());
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, QStringLiteral("ERROR75 Path/File access error"),
                    mb::Abort);
    d->mnuTransform_Click();
    EXPECT_EQ(readFile(target() + QStringLiteral("/mine.txt")), QByteArray("mine"));
    EXPECT_EQ(readTable(working()).rows.size(), 3u);
    QDir(target()).removeRecursively(); // the test's own folder

    chooseSave(target());
    d->mnuTransform_Click();
    const Table t = readTable(target());
    EXPECT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.columns[1], QStringLiteral("> Surname"));
    EXPECT_EQ(t.columns[6], QStringLiteral("> Notes \"quoted\""));
}

TEST_F(DbExportTest, RefusedTargetsAndEqualCaptionsAskNothingFurtherAndMoveNothing) {
    open({{"Ann"}});
    const QByteArray before = file();
    for (const QString& path : QStringList{book(), appDir() + QStringLiteral("Dorvane2DataBase.set"),
                                           appDir() + QStringLiteral("PhoneClip.q7B"), working()}) {
        chooseSave(path);
        prompts->expect(path +
                            QStringLiteral("\r\nbelongs to the open phonebook or is one of Dorvane's working "
                                           "files.\r\nPlease choose another name."),
                        mb::Exclamation, QStringLiteral("Save As"), mb::OK);
        prompts->expectCancel(ScriptedPrompts::Kind::Save);
        d->mnuTransform_Click();
    }
    EXPECT_EQ(file(), before);
    EXPECT_EQ(readTable(working()).rows.size(), 1u);

    writeFile(working(), "an earlier file");
    m().Label[3] = QStringLiteral("phone");
    prompts->expect(
        QStringLiteral("The database file was not made: two fields have the caption \"phone\"\r\n"
                       "(letters compared without regard to case), and the columns of one table\r\n"
                       "need names of their own. Please give each field a caption of its own."),
        mb::Exclamation, QStringLiteral("Database File"), mb::OK);
    d->mnuTransform_Click(); // no save dialog follows
    EXPECT_EQ(readFile(working()), QByteArray("an earlier file"));
    EXPECT_EQ(Forms::get<VantrelMDI>()->windowTitle(), VantrelMDI::normalCaption());

    m().Label[3] = QString();
    m().Label[5] = QString();
    prompts->expectAny(mb::OK);
    d->mnuReport_Click(); // no report either
    EXPECT_EQ(Forms::find<DataReport>(), nullptr);
    EXPECT_FALSE(report::connectionOpen());
}

TEST_F(DbExportTest, ABuildThatFailsHalfwayIsToldAndNeitherMovedNorShown) {
    open(std::vector<Rec>(3000, Rec{"Name", "Family", "555 0100", "a@b.c", "Firm", "Street", "", "Words"}));
    writeFile(working(), "an earlier file");
    {
        FileSizeLimit limit(64 * 1024);            // the copy needs more than a megabyte
        for (int answer : {mb::Retry, mb::Ignore}) // Retry builds again; Ignore cannot pass a failed build
            prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, answer);
        d->mnuTransform_Click();
        prompts->expectAny(mb::Abort);
        d->mnuReport_Click();
    }
    EXPECT_TRUE(prompts->shown.at(0).title.startsWith(QStringLiteral("ERROR57")));
    EXPECT_EQ(readFile(working()), QByteArray("an earlier file"));
    EXPECT_EQ(Forms::find<DataReport>(), nullptr);
    EXPECT_EQ(Forms::get<VantrelMDI>()->windowTitle(), VantrelMDI::normalCaption());
    // Only the hold on the open book stays beside it.
    QStringList left = QDir(appDir()).entryList({QStringLiteral(".dorvane*")}, QDir::Files | QDir::Hidden);
    left.removeOne(QStringLiteral(".Dorvane2DataBase.q7B.dorvane-lock"));
    EXPECT_EQ(left, QStringList{});
}
