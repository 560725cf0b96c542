#include "accessories/frm_recordset.h"
#include "app_fixture.h"
#include "data/module_phonebook.h"
#include "file_size_limit.h"
#include "output_fakes.h"
#include "platform/rtf.h"
#include "workspace/forms.h"
#include "workspace/help_class.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/viewer_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

using namespace pb;
using namespace pbtest;
using Kind = Prompts::DialogKind;

class EditorTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        e = Forms::get<frmRecordset>();
    }
    void setText(const QString& text) { e->Rtf->setPlainText(text); }
    QString text() const { return e->Rtf->toPlainText(); }
    QString path(const char* name) const { return appDir() + QString::fromLatin1(name); }
    void chooseFile(Kind kind, const QString& file, const char* title) {
        prompts->expectDialog(kind, [file, title](CommonDialog& d) {
            EXPECT_EQ(d.DialogTitle, QString::fromLatin1(title));
            d.FileName = file;
            return true;
        });
    }
    // The editor's own error box: the error's text, its number as the title.
    void expectErrorBox(int number, int answer = mb::Abort) {
        prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, QString::number(number), answer);
    }
    frmRecordset* e = nullptr;
};

TEST_F(EditorTest, OpenReadsSingleByteUtf8AndRichTextFiles) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"a.txt", " 1\r\nFirst name: Jos\xE9\r\n\r\n", QStringLiteral(" 1\nFirst name: José\n\n")},
        {"b.log", "na\xC3\xAFve\rline", QStringLiteral("naïve\nline")},
        {"c.rtf", "{\\rtf1\\ansi {\\b Bold} caf\\'e9}", QStringLiteral("Bold café")},
        {"d.doc", "{\\rtf1 rich despite its name}", QStringLiteral("rich despite its name")},
    };
    for (const Case& c : cases) {
        writeFile(path(c.name), c.bytes);
        chooseFile(Kind::Open, path(c.name), "Open");
        e->mnuOpen_Click();
        EXPECT_EQ(text(), c.text) << c.name;
        EXPECT_TRUE(e->frmRecordsetCD.FileName.isEmpty());
    }
}

TEST_F(EditorTest, OpenRefusesMissingAndHugeFilesAndKeepsTheText) {
    setText(QStringLiteral("mine"));
    chooseFile(Kind::Open, path("gone.txt"), "Open");
    expectErrorBox(err::FileNotFound);
    e->mnuOpen_Click();

    QFile huge(path("huge.log"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(RichTextBox::kMaxFileBytes + 1)); // sparse: no disk is used
    huge.close();
    chooseFile(Kind::Open, path("huge.log"), "Open");
    expectErrorBox(err::OutOfMemory);
    e->mnuOpen_Click();
    EXPECT_EQ(text(), QStringLiteral("mine"));
    EXPECT_EQ(pbm().LastErrorAnswer, QStringLiteral("3"));

    prompts->expectCancel(Kind::Open); // silent
    e->mnuOpen_Click();
    EXPECT_EQ(text(), QStringLiteral("mine"));
}

TEST_F(EditorTest, SaveAsWritesRichTextWholeOrLeavesTheOldFile) {
    e->Rtf->setHtml(QStringLiteral("<b>bold</b> and {braces} \\ é"));
    prompts->expectDialog(Kind::Save, [this](CommonDialog& d) {
        EXPECT_EQ(d.Flags, 2);
        EXPECT_EQ(d.DefaultExt, QStringLiteral("txt"));
        EXPECT_EQ(d.Filter, QStringLiteral("Text |*.txt; *.rtf; *.doc"));
        d.FileName = path("letter");
        return true;
    });
    e->mnuSaveAs_Click();
    const QByteArray saved = readFile(path("letter.txt"));
    EXPECT_TRUE(rtf::isRtf(saved));
    QTextDocument back;
    rtf::read(saved, back);
    EXPECT_EQ(back.toPlainText(), text());

    writeFile(path("old.rtf"), "old");
    e->Rtf->setPlainText(QString(5000, QLatin1Char('x')));
    chooseFile(Kind::Save, path("old.rtf"), "Save As");
    expectErrorBox(err::DiskFull);
    {
        FileSizeLimit limit(1000);
        e->mnuSaveAs_Click();
    }
    EXPECT_EQ(readFile(path("old.rtf")), QByteArray("old"));

    prompts->expectCancel(Kind::Save);
    e->mnuSaveAs_Click();
}

TEST_F(EditorTest, NewAsksEveryTimeAndItsEmptyingCanBeUndone) {
    setText(QStringLiteral("keep me"));
    prompts->expect(QStringLiteral("Save Document?"), 35, QStringLiteral("Save"), mb::Yes);
    prompts->expectCancel(Kind::Save);
    e->mnuNew_Click();
    EXPECT_EQ(text(), QStringLiteral("keep me"));

    prompts->expect(QStringLiteral("Save Document?"), 35, QStringLiteral("Save"), mb::No);
    e->mnuNew_Click();
    EXPECT_EQ(text(), QString());
    e->Rtf->undo();
    EXPECT_EQ(text(), QStringLiteral("keep me"));

    e->mnuClear_Click();
    EXPECT_EQ(text(), QString());
    e->Rtf->undo();
    EXPECT_EQ(text(), QStringLiteral("keep me"));

    prompts->expect(QStringLiteral("Save Document?"), 35, QStringLiteral("Save"), mb::Cancel);
    e->mnuNew_Click();
    EXPECT_EQ(text(), QStringLiteral("keep me"));
}

TEST_F(EditorTest, FindAndFindNextMatchCaseBlindOverlappingLiterallyAndWithoutWrap) {
    setText(QStringLiteral("xABC aaa a.c abc"));
    prompts->expectInput(QStringLiteral("Type Text to Find"), QStringLiteral("Find"), QStringLiteral("abc"));
    e->mnuFind_Click();
    EXPECT_EQ(e->Rtf->selStart(), 1);
    EXPECT_EQ(e->Rtf->selLength(), 3);
    e->mnuFindNext_Click();
    EXPECT_EQ(e->Rtf->selStart(), 13);
    prompts->expect(QStringLiteral("No more \"abc\" to find"), mb::Exclamation, QStringLiteral("TextEditor"),
                    mb::OK);
    e->mnuFindNext_Click();
    EXPECT_EQ(e->Rtf->selStart(), 13); // the last match stays selected

    prompts->expectInput({}, {}, QStringLiteral("aa"));
    e->mnuFind_Click();
    EXPECT_EQ(e->Rtf->selStart(), 5);
    e->mnuFindNext_Click();
    EXPECT_EQ(e->Rtf->selStart(), 6); // overlapping

    prompts->expectInput({}, {}, QStringLiteral("a.c"));
    e->mnuFind_Click();
    EXPECT_EQ(e->Rtf->selStart(), 9); // the dot is a dot

    // Positions count across paragraphs as the box counts them.
    setText(QStringLiteral("one\nTwo two\n\ntwo"));
    prompts->expectInput({}, {}, QStringLiteral("two"));
    e->mnuFind_Click();
    EXPECT_EQ(e->Rtf->selStart(), 4);
    e->mnuFindNext_Click();
    EXPECT_EQ(e->Rtf->selectedPlainText(), QStringLiteral("two"));
    EXPECT_EQ(e->Rtf->selStart(), 8);
    e->mnuFindNext_Click();
    EXPECT_EQ(e->Rtf->selStart(), 13);
    EXPECT_EQ(e->Rtf->selectedPlainText(), QStringLiteral("two"));

    setText(QStringLiteral("xABC aaa a.c abc"));
    prompts->expectInput({}, {}, QStringLiteral("a.c"));
    e->mnuFind_Click();
    EXPECT_EQ(e->Rtf->selStart(), 9); // the dot is a dot

    prompts->expectInput({}, {}, QStringLiteral("zz"));
    prompts->expect(QStringLiteral("Cannot Find zz"), mb::Information, QStringLiteral("TextEditor"), mb::OK);
    e->mnuFind_Click();

    // A cancelled question searches for nothing; Find Next then asks again.
    prompts->expectInput({}, {}, QString());
    prompts->expect(QStringLiteral("Cannot Find "), mb::Information, QStringLiteral("TextEditor"), mb::OK);
    e->mnuFind_Click();
    prompts->expectInput({}, {}, QStringLiteral("ABC"));
    e->mnuFindNext_Click();
    EXPECT_EQ(e->Rtf->selStart(), 1);
}

TEST_F(EditorTest, TheClipboardCarriesPlainTextThroughMenusAndKeys) {
    e->Rtf->setHtml(QStringLiteral("<b>bold</b> plain"));
    QClipboard* clip = QApplication::clipboard();
    e->Rtf->setSelection(0, 6);
    e->mnuCopy_Click();
    EXPECT_EQ(clip->text(), QStringLiteral("bold p"));
    EXPECT_FALSE(clip->mimeData()->hasHtml());

    e->Rtf->setFocus();
    e->Rtf->setSelection(5, 5);
    QTest::keyClick(e->Rtf, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(text(), QStringLiteral("bold "));
    EXPECT_EQ(clip->text(), QStringLiteral("plain"));
    EXPECT_FALSE(clip->mimeData()->hasHtml());

    auto* rich = new QMimeData;
    rich->setHtml(QStringLiteral("<i>styled</i>"));
    rich->setText(QStringLiteral("styled"));
    clip->setMimeData(rich);
    e->Rtf->setSelection(0, 0);
    QTest::keyClick(e->Rtf, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(), QStringLiteral("styledbold "));
    EXPECT_FALSE(e->Rtf->document()->begin().begin().fragment().charFormat().fontItalic());

    // No text on the clipboard: the selection stays.
    auto* picture = new QMimeData;
    picture->setImageData(QImage(2, 2, QImage::Format_RGB32));
    clip->setMimeData(picture);
    e->Rtf->setSelection(0, 6);
    e->mnuPaste_Click();
    QTest::keyClick(e->Rtf, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(), QStringLiteral("styledbold "));
    e->mnuCut_Click();
    EXPECT_EQ(clip->text(), QStringLiteral("styled"));
    EXPECT_EQ(text(), QStringLiteral("bold "));
}

TEST_F(EditorTest, PrintSendsTheSelectionOrTheWholeTextThroughTheDialog) {
    RecordingPrinter printer;
    setText(QStringLiteral("first line\nsecond line"));
    prompts->expectDialog(Kind::Print, [](CommonDialog& d) {
        EXPECT_EQ(d.DialogTitle, QStringLiteral("Print"));
        EXPECT_EQ(d.Flags, 264);
        EXPECT_TRUE(d.CancelError);
        return true;
    });
    e->mnuPrint_Click();
    e->Rtf->setSelection(6, 10);
    prompts->expectDialog(Kind::Print, [](CommonDialog& d) {
        EXPECT_EQ(d.Flags, 265);
        return true;
    });
    e->mnuPrint_Click();
    EXPECT_EQ(printer.printed, (std::vector<QString>{QStringLiteral("first line\nsecond line"),
                                                     QStringLiteral("line\nsecon")}));

    prompts->expectCancel(Kind::Print);
    e->mnuPrint_Click();
    printer.fail = true;
    prompts->expectDialog(Kind::Print, [](CommonDialog&) { return true; });
    expectErrorBox(482);
    e->mnuPrint_Click();
    EXPECT_EQ(printer.printed.size(), 2u);
}

TEST_F(EditorTest, SendAsksThreeQuestionsAndHandsOverThePlainText) {
    RecordingMailer mail;
    pbm().PlaySoundEffect = true;
    e->Rtf->setHtml(QStringLiteral("<b>Hello</b><br>there"));
    prompts->expectInput(QStringLiteral("Enter recipient mail"), QStringLiteral("To:"),
                         QStringLiteral("a@b.org"));
    prompts->expectInput(QStringLiteral("Enter recipient full name"), QStringLiteral("name:"), QString());
    prompts->expectInput(QStringLiteral("Enter subject"), QStringLiteral("subject:"), QStringLiteral("Hi"));
    e->Toolbar1_ButtonClick(QStringLiteral("Mail"));
    ASSERT_EQ(mail.sent.size(), 1u);
    EXPECT_EQ(mail.sent[0].address, QStringLiteral("a@b.org"));
    EXPECT_EQ(mail.sent[0].displayName, QString());
    EXPECT_EQ(mail.sent[0].subject, QStringLiteral("Hi"));
    EXPECT_EQ(mail.sent[0].body, QStringLiteral("Hello\nthere"));
    EXPECT_EQ(sounds->played, std::vector<int>{sound::ToolbarClick});
}

TEST_F(EditorTest, ToolbarTogglesFormatsAndShowsThemPressed) {
    pbm().PlaySoundEffect = true;
    setText(QStringLiteral("word"));
    e->mnuSelect_Click();
    e->Toolbar1_ButtonClick(QStringLiteral("Bold"));
    EXPECT_TRUE(e->toolbarButton(QStringLiteral("Bold"))->isChecked());
    EXPECT_GE(e->Rtf->textCursor().charFormat().fontWeight(), QFont::Bold);
    e->Toolbar1_ButtonClick(QStringLiteral("Bold"));
    EXPECT_FALSE(e->toolbarButton(QStringLiteral("Bold"))->isChecked());
    e->Toolbar1_ButtonClick(QStringLiteral("Center"));
    EXPECT_TRUE(e->toolbarButton(QStringLiteral("Center"))->isChecked());
    EXPECT_FALSE(e->toolbarButton(QStringLiteral("Align Left"))->isChecked());
    EXPECT_EQ(e->Rtf->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    const auto played = sounds->played.size();
    e->Toolbar1_ButtonClick(QStringLiteral("Delete"));
    e->Toolbar1_ButtonClick(QStringLiteral("Justify"));
    e->Toolbar1_ButtonClick(QStringLiteral("bold"));
    EXPECT_EQ(sounds->played.size(), played);
    EXPECT_FALSE(e->toolbarButton(QStringLiteral("Justify"))->isChecked());
    EXPECT_EQ(text(), QStringLiteral("word"));
}

TEST_F(EditorTest, InsertImagePutsThePictureInAndLeavesTheClipboardAlone) {
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(path("pic.png"), "PNG"));
    QApplication::clipboard()->setText(QStringLiteral("the user's"));
    setText(QStringLiteral("ab"));
    e->Rtf->setSelection(1, 0);
    chooseFile(Kind::Open, path("pic.png"), "Pics");
    e->mnuInsertImage_Click();
    EXPECT_EQ(text(), QStringLiteral("a") + QChar::ObjectReplacementCharacter + QStringLiteral("b"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's"));

    writeFile(path("fake.png"), "not a picture");
    chooseFile(Kind::Open, path("fake.png"), "Pics");
    expectErrorBox(err::InvalidPicture);
    e->mnuInsertImage_Click();
}

TEST_F(EditorTest, RefreshHidesTheFramesViewerPaneSoLaterPicturesStillShow) {
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(path("pic.jpg"), "JPEG"));
    frame->OpenMyFile(path("pic.jpg"));
    ASSERT_TRUE(frame->mdiPic()->isVisibleTo(frame));
    e->mnuRefresh_Click();
    EXPECT_FALSE(frame->mdiPic()->isVisibleTo(frame));
    frame->OpenMyFile(path("pic.jpg"));
    EXPECT_TRUE(frame->mdiPic()->isVisibleTo(frame));
}

TEST_F(EditorTest, FontAndBackColourChangeTheBoxAndACancelChangesNothing) {
    setText(QStringLiteral("colour me"));
    e->Rtf->setSelection(0, 6);
    prompts->expectDialog(Kind::Font, [](CommonDialog& d) {
        EXPECT_EQ(d.Flags, 259);
        EXPECT_EQ(d.FontName, QStringLiteral("Verdana")); // the box's font, as the window loaded it
        d.FontName = QStringLiteral("Courier");
        d.FontSize = 20;
        d.FontItalic = true;
        d.Color = 0x0000FF; // red, as 0x00BBGGRR
        return true;
    });
    e->mnuRFont_Click();
    EXPECT_EQ(e->Rtf->font().family(), QStringLiteral("Courier"));
    EXPECT_EQ(e->Rtf->font().pointSizeF(), 20);
    EXPECT_TRUE(e->Rtf->font().italic());
    EXPECT_EQ(e->Rtf->textCursor().charFormat().foreground().color(), QColor(255, 0, 0));

    prompts->expectDialog(Kind::Color, [](CommonDialog& d) {
        EXPECT_EQ(d.Flags, 1);
        EXPECT_EQ(d.Color, 0x0000FF); // the colour chosen last
        d.Color = 0x00FF00;
        return true;
    });
    e->mnuRBC_Click();
    EXPECT_EQ(e->Rtf->palette().color(QPalette::Base), QColor(0, 255, 0));

    prompts->expectCancel(Kind::Color);
    e->mnuRBC_Click();
    prompts->expectCancel(Kind::Font);
    e->mnuRFont_Click();
    EXPECT_EQ(e->Rtf->palette().color(QPalette::Base), QColor(0, 255, 0));
    EXPECT_EQ(e->Rtf->font().family(), QStringLiteral("Courier"));
    EXPECT_TRUE(prompts->shown.empty());
}
