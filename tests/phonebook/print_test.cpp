#include "accessories/frm_recordset.h"
#include "book_fixture.h"
#include "file_size_limit.h"
#include "output_fakes.h"
#include "phonebook/frm_print.h"
#include "platform/codepage.h"
#include "workspace/frm_save.h"
#include "workspace/text_job.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>

using namespace pb;
using namespace pbtest;

namespace {

QString lines(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

class PrintTest : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        prompts->onModal = [](QDialog& dlg) { static_cast<frmSave&>(dlg).fireArmed(); };
    }
    // The print dialog as the user leaves it: What? (1 this record, 2 all) and Where? (3 file, 4 printer).
    frmPrint* choose(int what, int where) {
        d->action(QStringLiteral("mnuPrint"))->trigger();
        frmPrint* p = Forms::find<frmPrint>();
        EXPECT_NE(p, nullptr);
        (what == 1 ? p->Option1 : p->Option2)->click();
        (where == 3 ? p->Option3 : p->Option4)->click();
        return p;
    }
    void expectPrinterDialog() {
        prompts->expectDialog(Prompts::DialogKind::Print, [](CommonDialog&) { return true; });
    }
    QStringList keys() const {
        QStringList out;
        for (int i = 1; i <= 4; ++i)
            out << setting(QStringLiteral("PrintOption%1").arg(i));
        return out;
    }
    // An editor holding the user's own text, not shown.
    frmRecordset* editorWithOwnText() {
        frmRecordset* e = Forms::get<frmRecordset>();
        e->Rtf->setPlainText(QStringLiteral("My own unsaved notes"));
        return e;
    }
    RecordingPrinter printer;
};

TEST_F(PrintTest, TheChoicesComeFromTheSettingsAndGoBackThereAtTheUnload) {
    open({{"Ann"}});
    // First use: nothing chosen, and Print does nothing until both frames have a choice.
    d->action(QStringLiteral("mnuPrint"))->trigger();
    frmPrint* p = Forms::find<frmPrint>();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isVisible());
    for (QRadioButton* o : {p->Option1, p->Option2, p->Option3, p->Option4})
        EXPECT_FALSE(o->isChecked());
    p->Option1->click();
    p->cmdPrint_Click();
    EXPECT_EQ(Forms::find<frmRecordset>(), nullptr);
    EXPECT_TRUE(printer.printed.empty());
    p->cmdExit_Click();
    EXPECT_EQ(Forms::find<frmPrint>(), nullptr);
    EXPECT_EQ(keys(), (QStringList{"True", "False", "False", "False"}));

    // Both of a frame stored on: the later wins; a key that is no Boolean leaves its button alone.
    const char* stored[] = {"True", "True", "maybe", "True"};
    for (int i = 0; i < 4; ++i)
        putSetting(QStringLiteral("PrintOption%1").arg(i + 1), QString::fromLatin1(stored[i]));
    d->Toolbar1_ButtonClick(QStringLiteral("PrintRecord"));
    p = Forms::find<frmPrint>();
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->Option1->isChecked() || p->Option3->isChecked());
    EXPECT_TRUE(p->Option2->isChecked() && p->Option4->isChecked());

    // The phone book window's unload takes the dialog with it and writes its keys.
    p->Option3->click();
    Forms::unload(d);
    EXPECT_EQ(Forms::find<frmPrint>(), nullptr);
    EXPECT_EQ(keys(), (QStringList{"False", "True", "True", "False"}));
}

TEST_F(PrintTest, ASettingsStoreThatCannotBeWrittenDoesNotKeepTheDialog) {
    open({{"Ann"}});
    frmPrint* p = choose(1, 4);
    // A folder where the settings file should be: no write can succeed, even as root.
    QFile::remove(settingsFile());
    QDir().mkpath(settingsFile());
    p->cmdExit->click();
    EXPECT_EQ(Forms::find<frmPrint>(), nullptr);
    QDir(settingsFile()).removeRecursively();
}

TEST_F(PrintTest, EachChoicePrintsFromItsOwnDocumentOrShowsItsTextInTheEditor) {
    open({{"Ã©ric", "RENÉ’S"}, {"Bob"}});
    show(2);
    d->txtInfo[2]->setText(QStringLiteral(" 555 "));
    const QString summary = QStringLiteral("  ( 2)\nFirst name: Bob\nLast name: \nPhone:  555 \nE-mail: \n"
                                           "Company: \nAddress: \nComments: ");
    frmRecordset* e = editorWithOwnText();
    frmPrint* p = choose(1, 4);
    expectPrinterDialog();
    p->cmdPrint_Click();
    EXPECT_EQ(printer.printed, std::vector<QString>{summary});
    EXPECT_EQ(printer.fonts[0], e->Rtf->document()->defaultFont());
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(Forms::find<frmPrint>(), p);

    // A cancel in the printer dialog prints nothing and says nothing.
    prompts->expectCancel(Prompts::DialogKind::Print);
    p->cmdPrint_Click();
    EXPECT_EQ(printer.printed.size(), 1u);

    // A printer failure is told in the editor's box, not swallowed.
    printer.fail = true;
    expectPrinterDialog();
    prompts->expect(QStringLiteral("Printer error"), mb::AbortRetryIgnore | mb::Critical,
                    QStringLiteral("482"), mb::Abort);
    p->cmdPrint_Click();
    EXPECT_TRUE(prompts->allAnswered());
    EXPECT_EQ(Forms::find<frmPrint>(), p);

    // All records come from the book on disk, through the print file.
    printer.fail = false;
    p->Option2->click();
    expectPrinterDialog();
    p->cmdPrint_Click();
    const QString whole = lines(codepage::decode(TextBuffer()));
    EXPECT_TRUE(whole.startsWith(QStringLiteral(" 1\nFirst name: Ã©ric\nLast name: RENÉ’S\n")));
    EXPECT_EQ(readFile(printFilePath()), TextBuffer());
    EXPECT_EQ(printer.printed, (std::vector<QString>{summary, whole}));
    EXPECT_EQ(e->Rtf->toPlainText(), QStringLiteral("My own unsaved notes"));

    // To a file: the editor shows the text, and the dialog closes.
    p->Option3->click();
    p->cmdPrint_Click();
    EXPECT_EQ(Forms::find<frmPrint>(), nullptr);
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->Rtf->toPlainText(), whole);
    e->hide();
    choose(1, 3)->cmdPrint_Click();
    EXPECT_EQ(keys(), (QStringList{"True", "False", "True", "False"}));
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->Rtf->toPlainText(), summary);
    EXPECT_EQ(printer.printed.size(), 2u);
    prompts->expect(QStringLiteral("Do you want to save changes?"), 36, {}, mb::No);
}

TEST_F(PrintTest, APrintFileThatCannotBeWrittenPrintsNothing) {
    open(std::vector<Rec>(40, Rec{"Somebody", "Else", "555 0100"}));
    writeFile(printFilePath(), "an older book");
    frmPrint* p = choose(2, 4);
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    {
        FileSizeLimit limit(1000);
        p->cmdPrint_Click(); // no printer dialog follows
    }
    EXPECT_TRUE(printer.printed.empty());
    EXPECT_EQ(readFile(printFilePath()), QByteArray("an older book"));
    EXPECT_TRUE(prompts->shown.at(0).title.startsWith(QStringLiteral("ERROR61")));

    // A folder standing where the print file goes is no file to replace: told, kept, nothing printed.
    QFile::remove(printFilePath());
    QDir().mkpath(printFilePath());
    writeFile(printFilePath() + QStringLiteral("/mine.txt"), "mine");
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, QStringLiteral("ERROR75 Path/File access error"),
                    mb::Abort);
    p->cmdPrint_Click();
    EXPECT_TRUE(printer.printed.empty());
    EXPECT_EQ(readFile(printFilePath() + QStringLiteral("/mine.txt")), QByteArray("mine"));
}
