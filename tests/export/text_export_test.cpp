#include "accessories/frm_recordset.h"
#include "book_fixture.h"
#include "export/records_text.h"
#include "file_size_limit.h"
#include "platform/codepage.h"
#include "workspace/frm_save.h"
#include "workspace/vantrel_mdi.h"

#include <QFileInfo>

using namespace pb;
using namespace pbtest;

namespace {

const std::array<QString, 7>& defaults() {
    return kDefaultLabels;
}

QByteArray block(int n, const std::array<const char*, 7>& lines) {
    QByteArray out = " " + QByteArray::number(n) + "\r\n";
    for (const char* l : lines)
        out += QByteArray(l) + "\r\n";
    return out + "\r\n";
}

} // namespace

TEST(RecordsText, EachRecordIsItsNumberSevenCaptionedLinesAndAnEmptyLine) {
    const QByteArray book =
        bookBytes({{"Ann", "Lee", "555 0100"}, {"  Bob  ", "", "   ", "b@x.org", "", "", "bob.jpg"}});
    const QByteArray expected = block(1, {"First name: Ann", "Last name: Lee", "Phone: 555 0100",
                                          "E-mail: ", "Company: ", "Address: ", "Comments: "}) +
                                block(2, {"First name: Bob", "Last name: ", "Phone: ", "E-mail: b@x.org",
                                          "Company: ", "Address: ", "Comments: "});
    EXPECT_EQ(recordsText(book, 2, defaults()), expected);
    // An empty book is an empty text; a count beyond the bytes stops at the bytes.
    EXPECT_EQ(recordsText({}, 0, defaults()), QByteArray());
    EXPECT_EQ(recordsText(book, 5, defaults()), expected);
}

TEST(RecordsText, CaptionsAndFieldsKeepTheirCodePageBytes) {
    std::array<QString, 7> labels = defaults();
    labels[0] = QStringLiteral("Prénom:");
    labels[6] = QStringLiteral("Prix €");
    const QByteArray book = bookBytes({{"José", "", "", "", "", "", "", "ñ 5 "}});
    const QByteArray text = recordsText(book, 1, labels);
    EXPECT_TRUE(text.startsWith(" 1\r\nPr\xE9nom:: Jos\xE9\r\n"));
    EXPECT_TRUE(text.endsWith("Prix \x80: \xF1 5\r\n\r\n"));
}

TEST(RecordsText, ProgressLinesRoundHalvesToEven) {
    EXPECT_EQ(textProgressLine(1, 8), QStringLiteral("Writing Record 1.   Completed:  12%"));
    EXPECT_EQ(textProgressLine(3, 8), QStringLiteral("Writing Record 3.   Completed:  38%"));
    EXPECT_EQ(textProgressLine(1, 200), QStringLiteral("Writing Record 1.   Completed:  0%"));
    EXPECT_EQ(textProgressLine(32766, 32766), QStringLiteral("Writing Record 32766.   Completed:  100%"));
}

class TextExportTest : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        prompts->onModal = [](QDialog& d) { static_cast<frmSave&>(d).fireArmed(); };
        Forms::get<VantrelMDI>()->captionObserver = [this](const QString& line) { captions << line; };
    }
    void expectSaveAs(const QString& path) {
        prompts->expectDialog(Prompts::DialogKind::Save, [this, path](CommonDialog& dlg) {
            EXPECT_EQ(dlg.DialogTitle, QStringLiteral("Save As"));
            EXPECT_EQ(dlg.Filter, QStringLiteral("Text |*.txt"));
            EXPECT_EQ(dlg.DefaultExt, QStringLiteral("txt"));
            EXPECT_EQ(dlg.Flags, 2);
            dlg.FileName = path;
            return true;
        });
    }
    QString target() const { return appDir() + QStringLiteral("out.txt"); }
    QStringList captions;
};

TEST_F(TextExportTest, TheExportWritesTheBookAsItIsOnDiskWithEveryProgressLine) {
    open({{"Ann", "Lee"}, {"Bob"}, {"Cy"}});
    show(2);
    d->txtInfo[0]->setText(QStringLiteral("Unsaved")); // the boxes are not the book
    expectSaveAs(target());
    d->mnuSaveAs_Click();
    const QByteArray written = readFile(target());
    EXPECT_EQ(written, recordsText(bookBytes({{"Ann", "Lee"}, {"Bob"}, {"Cy"}}), 3, kDefaultLabels));
    EXPECT_EQ(written, TextBuffer());
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Writing Records to Text. Please Wait . . ."),
                                     QStringLiteral("Writing Record 1.   Completed:  33%"),
                                     QStringLiteral("Writing Record 2.   Completed:  67%"),
                                     QStringLiteral("Writing Record 3.   Completed:  100%"),
                                     VantrelMDI::normalCaption()}));
    EXPECT_EQ(m().Rec.trimmed(PhoneRecord::FirstName), QStringLiteral("Bob"));
    EXPECT_EQ(Forms::get<VantrelMDI>()->windowTitle(), VantrelMDI::normalCaption());
    prompts->expect(QStringLiteral("Do you want to save changes?"), 36, {}, mb::No);
}

TEST_F(TextExportTest, AnEmptyBookGivesAnEmptyFileAndNoProgressLine) {
    open({});
    expectSaveAs(target());
    d->mnuSaveAs_Click();
    EXPECT_TRUE(QFileInfo(target()).isFile());
    EXPECT_EQ(readFile(target()), QByteArray());
    EXPECT_EQ(captions.size(), 2); // the job's line and the normal caption only
}

TEST_F(TextExportTest, ACancelWritesNothingAndSaysNothingButTheTextIsBuilt) {
    open({{"Ann"}});
    prompts->expectCancel(Prompts::DialogKind::Save);
    d->mnuSaveAs_Click();
    EXPECT_TRUE(QFileInfo(target()).dir().entryList({QStringLiteral("*.txt")}).isEmpty());
    EXPECT_TRUE(TextBuffer().startsWith(" 1\r\nFirst name: Ann\r\n"));
    // The same with the dialog's cancel error switched on.
    d->dlgFileOpen[0].CancelError = true;
    prompts->expectCancel(Prompts::DialogKind::Save);
    d->mnuSaveAs_Click();
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(TextExportTest, AFailedWriteIsReportedAndTheOldFileStaysWhole) {
    std::vector<Rec> many(40, Rec{"Somebody", "Else", "555 0100"});
    open(many);
    writeFile(target(), "old text");
    expectSaveAs(target());
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    {
        FileSizeLimit limit(1000);
        d->mnuSaveAs_Click();
    }
    EXPECT_EQ(readFile(target()), QByteArray("old text"));
    EXPECT_TRUE(prompts->shown.at(0).title.startsWith(QStringLiteral("ERROR61")));
}

TEST_F(TextExportTest, TheOpenBookIsNeverAnExportTarget) {
    open({{"Ann"}});
    const QByteArray before = file();
    expectSaveAs(book());
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    d->mnuSaveAs_Click();
    EXPECT_EQ(file(), before);
}

TEST_F(TextExportTest, ABookThatCannotBeReadGivesNoTextAndNoFile) {
    open({{"Ann"}});
    m().DatabaseFile.reset();
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    d->mnuSaveAs_Click(); // no dialog follows
    EXPECT_TRUE(TextBuffer().isEmpty());

    writeFile(printFilePath(), "an older book");
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    EXPECT_FALSE(MakePrintFile());
    EXPECT_EQ(readFile(printFilePath()), QByteArray("an older book"));
    EXPECT_EQ(Forms::find<frmRecordset>(), nullptr);
}

TEST_F(TextExportTest, ThePreviewShowsThePrintFileUnchangedInTheEditor) {
    open({{"Zoë", "Ång"}, {"Bob"}});
    writeFile(printFilePath(), "an older book");
    d->mnuFilePreview_Click();
    EXPECT_EQ(readFile(printFilePath()), TextBuffer());
    auto* editor = Forms::find<frmRecordset>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(codepage::encode(editor->Rtf->toPlainText()).replace("\n", "\r\n"), TextBuffer());
}

TEST_F(TextExportTest, APrintFileThatCannotBeWrittenIsReportedAndNotLoaded) {
    std::vector<Rec> many(40, Rec{"Somebody", "Else", "555 0100"});
    open(many);
    writeFile(printFilePath(), "an older book");
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(MakePrintFile());
    }
    EXPECT_EQ(readFile(printFilePath()), QByteArray("an older book"));
    EXPECT_EQ(Forms::find<frmRecordset>(), nullptr);
}

TEST_F(TextExportTest, TheMenusAndButtonsReachTheExportThePreviewAndTheEditor) {
    open({{"Ann"}});
    for (const char* name : {"mnuSaveAs", "mnuFilePreview", "mnuTextEditor"})
        EXPECT_TRUE(d->action(QString::fromLatin1(name))->isEnabled()) << name;
    d->action(QStringLiteral("mnuTextEditor"))->trigger();
    auto* editor = Forms::find<frmRecordset>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    Forms::unload(editor);

    VantrelMDI* frame = Forms::get<VantrelMDI>();
    EXPECT_TRUE(frame->action(QStringLiteral("mnuTextEd"))->isEnabled());
    frame->MDIToolbar_ButtonClick(QStringLiteral("TextEditor"));
    EXPECT_NE(Forms::find<frmRecordset>(), nullptr);

    // The Save button's menu exports too.
    expectSaveAs(target());
    d->Toolbar1_ButtonMenuClick(QStringLiteral("SaveText"));
    EXPECT_EQ(readFile(target()), TextBuffer());
}
