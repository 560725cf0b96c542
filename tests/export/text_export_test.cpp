#include "accessories/frm_recordset.h"
#include "builders/records_text.h"
#include "export/web_export.h"
#include "export_fixture.h"
#include "file_size_limit.h"
#include "platform/codepage.h"
#include "platform/printer.h"
#include "workspace/text_job.h"

#include <QFileInfo>
#include <QPrinter>

using namespace pb;
using namespace pbtest;

namespace {

QByteArray block(int n, const std::array<const char*, 7>& lines) {
    QByteArray out = " " + QByteArray::number(n) + "\r\n";
    for (const char* l : lines)
        out += QByteArray(l) + "\r\n";
    return out + "\r\n";
}

} // namespace

TEST(RecordsText, EachRecordIsItsNumberSevenCaptionedLinesAndAnEmptyLineInTheCodePage) {
    const QByteArray book =
        bookBytes({{"Ann", "Lee", "555 0100"}, {"  Bob  ", "", "   ", "b@x.org", "", "", "bob.jpg"}});
    const QByteArray expected = block(1, {"First name: Ann", "Last name: Lee", "Phone: 555 0100",
                                          "E-mail: ", "Company: ", "Address: ", "Comments: "}) +
                                block(2, {"First name: Bob", "Last name: ", "Phone: ", "E-mail: b@x.org",
                                          "Company: ", "Address: ", "Comments: "});
    EXPECT_EQ(recordsText(book, 2, kDefaultLabels), expected);
    // An empty book is an empty text; a count beyond the bytes stops at the bytes.
    EXPECT_EQ(recordsText({}, 0, kDefaultLabels), QByteArray());
    EXPECT_EQ(recordsText(book, 5, kDefaultLabels), expected);

    std::array<QString, 7> labels = kDefaultLabels;
    labels[0] = QStringLiteral("Prénom:");
    labels[6] = QStringLiteral("Prix €");
    const QByteArray text = recordsText(bookBytes({{"José", "", "", "", "", "", "", "ñ 5 "}}), 1, labels);
    EXPECT_TRUE(text.startsWith(" 1\r\nPr\xE9nom:: Jos\xE9\r\n"));
    EXPECT_TRUE(text.endsWith("Prix \x80: \xF1 5\r\n\r\n"));
}

TEST(RecordsText, ProgressLinesRoundHalvesToEven) {
    EXPECT_EQ(textProgressLine(1, 8), QStringLiteral("Writing Record 1.   Completed:  12%"));
    EXPECT_EQ(textProgressLine(3, 8), QStringLiteral("Writing Record 3.   Completed:  38%"));
    EXPECT_EQ(textProgressLine(32766, 32766), QStringLiteral("Writing Record 32766.   Completed:  100%"));
}

class TextExportTest : public ExportFixture {
protected:
    void expectError() { prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort); }
    QString target() const { return appDir() + QStringLiteral("out.txt"); }
};

TEST_F(TextExportTest, TheExportWritesTheBookAsItIsOnDiskWithEveryProgressLine) {
    open({{"Ann", "Lee"}, {"Bob"}, {"Cy"}});
    show(2);
    d->txtInfo[0]->setText(QStringLiteral("Unsaved")); // the boxes are not the book
    chooseSave(target());
    d->mnuSaveAs_Click();
    EXPECT_EQ(readFile(target()),
              recordsText(bookBytes({{"Ann", "Lee"}, {"Bob"}, {"Cy"}}), 3, kDefaultLabels));
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Writing Records to Text. Please Wait . . ."),
                                     QStringLiteral("Writing Record 1.   Completed:  33%"),
                                     QStringLiteral("Writing Record 2.   Completed:  67%"),
                                     QStringLiteral("Writing Record 3.   Completed:  100%"),
                                     VantrelMDI::normalCaption()}));
    EXPECT_EQ(m().Rec.trimmed(PhoneRecord::FirstName), QStringLiteral("Bob"));
    prompts->expect(QStringLiteral("Do you want to save changes?"), 36, {}, mb::No);
}

TEST_F(TextExportTest, AnEmptyBookGivesAnEmptyFileAndNoProgressLine) {
    open({});
    chooseSave(target());
    d->mnuSaveAs_Click();
    EXPECT_TRUE(QFileInfo(target()).isFile());
    EXPECT_EQ(readFile(target()), QByteArray());
    EXPECT_EQ(captions.size(), 2); // the job's line and the normal caption only
}

TEST_F(TextExportTest, ACancelWritesNothingButTheTextIsBuiltAndAnUnreadableBookGivesNoText) {
    open({{"Ann"}});
    for (bool cancelError : {false, true}) {
        d->dlgFileOpen[0].CancelError = cancelError;
        prompts->expectCancel(Prompts::DialogKind::Save);
        d->mnuSaveAs_Click();
    }
    EXPECT_TRUE(QFileInfo(target()).dir().entryList({QStringLiteral("*.txt")}).isEmpty());
    EXPECT_TRUE(TextBuffer().startsWith(" 1\r\nFirst name: Ann\r\n"));
    EXPECT_TRUE(prompts->shown.empty());

    m().DatabaseFile.reset();
    expectError();
    d->mnuSaveAs_Click(); // no dialog follows
    EXPECT_TRUE(TextBuffer().isEmpty());
    writeFile(printFilePath(), "an older book");
    expectError();
    EXPECT_FALSE(MakePrintFile());
    EXPECT_EQ(readFile(printFilePath()), QByteArray("an older book"));
    EXPECT_EQ(Forms::find<frmRecordset>(), nullptr);
}

TEST_F(TextExportTest, EveryPlaceTheUserNamesToWriteIsRefusedAlikeWhenItIsOurs) {
    open(std::vector<Rec>(3, Rec{"Somebody", "Else", "555 0100"}));
    const QString clip = appDir() + QStringLiteral("PhoneClip.q7B");
    const QString bag = appDir() + QStringLiteral("Dorvane2DataBase.set");
    const auto ours = [&] { return QList<QByteArray>{file(), readFile(clip), readFile(printFilePath())}; };
    const auto before = ours();
    const auto told = [&](const QString& path, const QString& title) {
        prompts->expect(path + QStringLiteral("\r\nbelongs to the open phonebook or is one of Dorvane's "
                                              "working files.\r\nPlease choose another name."),
                        mb::Exclamation, title, mb::OK);
    };
    frmRecordset* editor = Forms::get<frmRecordset>();
    editor->Rtf->setPlainText(QStringLiteral("a letter"));
    d->mnuReport_Click();
    DataReport* r = Forms::find<DataReport>();
    ASSERT_NE(r, nullptr);
    const QString saveAs = QStringLiteral("Save As");
    const struct {
        QString chosen, named, title;
        std::function<void()> command;
    } saves[] = {
        {book(), book(), saveAs, [&] { d->mnuSaveAs_Click(); }},
        {appDir() + QStringLiteral("Applet.htm"), appletFolder(), saveAs, [&] { d->mnuSaveAsHtml_Click(); }},
        {bag, bag, saveAs, [&] { d->mnuTransform_Click(); }},
        {clip, clip, QStringLiteral("Create New Database As..."), [&] { d->mnuNewDataBase_Click(); }},
        {clip, clip, QStringLiteral("Save Database As"), [&] { d->saveDataBaseAs(); }},
        {book(), book(), saveAs, [&] { editor->mnuSaveAs_Click(); }},
        {clip, clip, QStringLiteral("Print to PDF"), [&] { r->cmdPdf_Click(); }},
    };
    // The dialog comes back after the refusal, and is cancelled.
    for (const auto& save : saves) {
        chooseSave(save.chosen);
        told(save.named, save.title);
        prompts->expectCancel(ScriptedPrompts::Kind::Save);
        save.command();
    }

    // A print dialog's print to file names its file in the printer; nothing is printed.
    QPrinter& printer = programPrinter();
    const auto printToFile = [&](const QString& path) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    };
    prompts->expectDialog(ScriptedPrompts::Kind::Print, [&](CommonDialog&) {
        printToFile(clip);
        return true;
    });
    told(clip, QStringLiteral("Print"));
    editor->mnuPrint_Click();
    const auto job = prompts->onModal;
    prompts->onModal = [&](QDialog& dialog) {
        printToFile(printFilePath());
        dialog.setResult(QDialog::Accepted);
    };
    told(printFilePath(), QStringLiteral("Print"));
    r->cmdPrint_Click();
    prompts->onModal = job;
    printer.setOutputFileName({});

    EXPECT_EQ(ours(), before);
    EXPECT_FALSE(QFileInfo::exists(appletFolder() + QStringLiteral("/Records.htm")));
}

TEST_F(TextExportTest, AFailedWriteLeavesTheOldFileWhole) {
    open(std::vector<Rec>(40, Rec{"Somebody", "Else", "555 0100"}));
    writeFile(target(), "old text");
    writeFile(printFilePath(), "an older book");
    chooseSave(target());
    expectError();
    expectError();
    {
        FileSizeLimit limit(1000);
        d->mnuSaveAs_Click();
        EXPECT_FALSE(MakePrintFile());
    }
    EXPECT_EQ(readFile(target()), QByteArray("old text"));
    EXPECT_TRUE(prompts->shown.at(0).title.startsWith(QStringLiteral("ERROR61")));
    // The print file is neither damaged nor loaded.
    EXPECT_EQ(readFile(printFilePath()), QByteArray("an older book"));
    EXPECT_EQ(Forms::find<frmRecordset>(), nullptr);
}

TEST_F(TextExportTest, ThePreviewShowsThePrintFileUnchangedAndTheMenusReachTheEditorAndTheExport) {
    // Names whose code-page bytes also read as other characters in UTF-8 (C3 A9, C9 92).
    open({{"Ã©ric", "RENÉ’S"}, {"Bob"}});
    writeFile(printFilePath(), "an older book");
    d->mnuFilePreview_Click();
    EXPECT_EQ(readFile(printFilePath()), TextBuffer());
    auto* editor = Forms::find<frmRecordset>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(codepage::encode(editor->Rtf->toPlainText()).replace("\n", "\r\n"), TextBuffer());

    Forms::unload(editor);
    d->action(QStringLiteral("mnuTextEditor"))->trigger();
    ASSERT_NE(editor = Forms::find<frmRecordset>(), nullptr);
    Forms::unload(editor);
    Forms::get<VantrelMDI>()->MDIToolbar_ButtonClick(QStringLiteral("TextEditor"));
    EXPECT_NE(Forms::find<frmRecordset>(), nullptr);
    chooseSave(target());
    d->Toolbar1_ButtonMenuClick(QStringLiteral("SaveText"));
    EXPECT_EQ(readFile(target()), TextBuffer());
}
