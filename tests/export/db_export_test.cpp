#include "book_fixture.h"
#include "export/data_report.h"
#include "file_size_limit.h"
#include "table_reader.h"
#include "workspace/frm_save.h"
#include "workspace/vantrel_mdi.h"

#include <QDir>
#include <QProgressBar>

using namespace pb;
using namespace pbtest;

namespace {

QString pad(const char* s, int width) {
    return QString::fromLatin1(s).leftJustified(width, QLatin1Char(' '));
}

} // namespace

class DbExportTest : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        // The progress window runs its job at once, as its timer would two seconds later.
        prompts->onModal = [this](QDialog& dlg) {
            captionWhenShown = Forms::get<VantrelMDI>()->windowTitle();
            static_cast<frmSave&>(dlg).fireArmed();
            ++modals;
        };
        Forms::get<VantrelMDI>()->captionObserver = [this](const QString& c) { captions << c; };
    }
    void TearDown() override {
        report::closeConnection();
        BookFixture::TearDown();
    }
    QString working() const { return appDir() + QStringLiteral("My MDB Phonebook.sqlite"); }
    QString target() const { return tmp.filePath(QStringLiteral("out/Exported.sqlite")); }
    void chooseTarget(const QString& path) {
        prompts->expectDialog(ScriptedPrompts::Kind::Save, [path](CommonDialog& d) {
            EXPECT_EQ(d.DialogTitle, QStringLiteral("Save As"));
            EXPECT_EQ(d.DefaultExt, QStringLiteral("sqlite"));
            EXPECT_EQ(d.Filter, QStringLiteral("SQLite database (.sqlite) |*.sqlite; | All files | *.*;"));
            EXPECT_EQ(d.Flags, 2);
            EXPECT_TRUE(d.CancelError);
            EXPECT_TRUE(d.FileName.isEmpty());
            d.FileName = path;
            return true;
        });
    }
    void expectRefusal(const QString& path) {
        prompts->expect(path +
                            QStringLiteral("\r\nbelongs to the open phonebook or is one of Dorvane's working "
                                           "files.\r\nPlease choose another name."),
                        mb::Exclamation, QStringLiteral("Save As"), mb::OK);
    }
    QString captionWhenShown;
    QStringList captions;
    int modals = 0;
};

TEST_F(DbExportTest, TheExportCopiesTheBookAndMovesItOverTheChosenFile) {
    open({{"Ann", "Lee", "555"}, {"Bob", "Ray"}});
    show(2);
    QDir().mkpath(tmp.filePath(QStringLiteral("out")));
    writeFile(target(), "an older file the user agreed to replace");
    chooseTarget(target());
    d->mnuTransform_Click();

    EXPECT_EQ(modals, 1);
    EXPECT_EQ(
        captionWhenShown,
        QStringLiteral("Transforming Phonebook Database To A Database File (.sqlite). Please Wait . . ."));
    EXPECT_EQ(captions.mid(1),
              (QStringList{"Transforming Record 1.   Completed:  50",
                           "Transforming Record 2.   Completed:  100", VantrelMDI::normalCaption()}));
    EXPECT_EQ(Forms::get<VantrelMDI>()->windowTitle(), VantrelMDI::normalCaption());
    EXPECT_EQ(Forms::find<frmSave>(), nullptr);
    // The record shown is back in the record buffer.
    EXPECT_EQ(m().Rec.trimmed(PhoneRecord::FirstName), QStringLiteral("Bob"));

    const Table t = readTable(target());
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][0], pad("Ann", 20));
    EXPECT_EQ(t.rows[0][2], pad("555", 27));
    EXPECT_EQ(t.rows[1][1], pad("Ray", 20));
    EXPECT_FALSE(QFile::exists(working()));
    EXPECT_TRUE(d->dlgFileOpen[0].FileName.isEmpty());
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(DbExportTest, ACancelledExportKeepsTheFileAndTheNextExportHoldsTheBookOnce) {
    open({{"Ann"}, {"Bob"}, {"Cy"}});
    prompts->expectCancel(ScriptedPrompts::Kind::Save);
    d->mnuTransform_Click(); // says nothing
    EXPECT_EQ(readTable(working()).rows.size(), 3u);

    // Renamed captions rename the columns.
    m().Label[1] = QStringLiteral("Surname");
    m().Label[6] = QStringLiteral("Notes \"quoted\"");
    chooseTarget(target()); // in a folder that does not exist
    prompts->expect(QStringLiteral("Unable to find the specified path\r\nRespecify the path"),
                    mb::AbortRetryIgnore | mb::Critical, QStringLiteral("ERROR76 Path not found"), mb::Abort);
    d->mnuTransform_Click();
    EXPECT_EQ(readTable(working()).rows.size(), 3u); // kept for the next try

    QDir().mkpath(tmp.filePath(QStringLiteral("out")));
    chooseTarget(target());
    d->mnuTransform_Click();
    const Table t = readTable(target());
    EXPECT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.columns[1], QStringLiteral("> Surname"));
    EXPECT_EQ(t.columns[6], QStringLiteral("> Notes \"quoted\""));
}

TEST_F(DbExportTest, EqualCaptionsAreReportedAndNothingIsAskedOrMoved) {
    open({{"Ann"}});
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

TEST_F(DbExportTest, TheOpenBookItsCompanionsAndWorkingFilesAreRefusedAsTarget) {
    open({{"Ann"}});
    const QByteArray before = file();
    for (const QString& path : QStringList{book(), appDir() + QStringLiteral("Dorvane2DataBase.set"),
                                           appDir() + QStringLiteral("PhoneClip.q7B"), working()}) {
        chooseTarget(path);
        expectRefusal(path);
        prompts->expectCancel(ScriptedPrompts::Kind::Save);
        d->mnuTransform_Click();
    }
    EXPECT_EQ(file(), before);
    EXPECT_EQ(readTable(working()).rows.size(), 1u);
    EXPECT_TRUE(prompts->allAnswered());
}

TEST_F(DbExportTest, ABuildThatFailsHalfwayIsToldAndNeitherMovedNorShown) {
    open(std::vector<Rec>(3000, Rec{"Name", "Family", "555 0100", "a@b.c", "Firm", "Street", "", "Words"}));
    writeFile(working(), "an earlier file");
    {
        FileSizeLimit limit(64 * 1024); // the copy needs more than a megabyte
        for (int i = 0; i < 2; ++i)
            prompts->expect(
                QStringLiteral("An input or output error occurred while your program was using\r\n"
                               "a device such as a printer or disk drive\r\n"
                               "Make sure the device is operating properly, and then retry the operation"),
                mb::AbortRetryIgnore | mb::Critical, {}, i == 0 ? mb::Retry : mb::Ignore);
        d->mnuTransform_Click(); // Retry builds again; Ignore cannot pass a failed build
        prompts->expectAny(mb::Abort);
        d->mnuReport_Click();
    }
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_EQ(readFile(working()), QByteArray("an earlier file"));
    EXPECT_EQ(Forms::find<DataReport>(), nullptr);
    EXPECT_EQ(Forms::get<VantrelMDI>()->windowTitle(), VantrelMDI::normalCaption());
    EXPECT_EQ(QDir(appDir()).entryList({QStringLiteral(".dorvane*")}, QDir::Files | QDir::Hidden),
              QStringList{});
}
