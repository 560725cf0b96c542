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
    void chooseFile(Kind kind, const char* name) {
        prompts->expectDialog(kind, [file = path(name)](CommonDialog& d) {
            d.FileName = file;
            return true;
        });
    }
    // The editor's own error box: the error's text, its number as the title.
    void expectErrorBox(int number, int answer = mb::Abort) {
        prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, QString::number(number), answer);
    }
    void savePicture(const char* name, const char* format) {
        QImage img(4, 3, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(path(name), format));
    }
    // Where a search leaves the selection; `asked` answers the question when one comes.
    int find(const char* asked) {
        prompts->expectInput({}, {}, QString::fromLatin1(asked));
        e->mnuFind_Click();
        return e->Rtf->selStart();
    }
    int findNext() {
        e->mnuFindNext_Click();
        return e->Rtf->selStart();
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
        chooseFile(Kind::Open, c.name);
        e->mnuOpen_Click();
        EXPECT_EQ(text(), c.text) << c.name;
        EXPECT_TRUE(e->frmRecordsetCD.FileName.isEmpty());
    }
}

TEST_F(EditorTest, OpenRefusesMissingAndHugeFilesAndKeepsTheText) {
    setText(QStringLiteral("mine"));
    chooseFile(Kind::Open, "gone.txt");
    expectErrorBox(err::FileNotFound);
    e->mnuOpen_Click();

    QFile huge(path("huge.log"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(RichTextBox::kMaxFileBytes + 1)); // sparse: no disk is used
    huge.close();
    chooseFile(Kind::Open, "huge.log");
    expectErrorBox(err::OutOfMemory);
    e->mnuOpen_Click();
    EXPECT_EQ(pbm().LastErrorAnswer, QStringLiteral("3"));

    prompts->expectCancel(Kind::Open); // silent
    e->mnuOpen_Click();
    EXPECT_EQ(text(), QStringLiteral("mine"));
}

TEST_F(EditorTest, SaveAsWritesRichTextWholeOrLeavesTheOldFile) {
    e->Rtf->setHtml(QStringLiteral("<b>bold</b> and {braces} \\ é"));
    prompts->expectDialog(Kind::Save, [this](CommonDialog& d) {
        EXPECT_EQ(d.Flags, 2);
        d.FileName = path("letter"); // the default extension is added
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
    chooseFile(Kind::Save, "old.rtf");
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
    const auto askSave = [this](int answer) {
        prompts->expect(QStringLiteral("Save Document?"), 35, QStringLiteral("Save"), answer);
    };
    setText(QStringLiteral("keep me"));
    askSave(mb::Yes);
    prompts->expectCancel(Kind::Save);
    e->mnuNew_Click();
    EXPECT_EQ(text(), QStringLiteral("keep me"));

    askSave(mb::No);
    e->mnuNew_Click();
    EXPECT_EQ(text(), QString());
    e->Rtf->undo();
    EXPECT_EQ(text(), QStringLiteral("keep me"));

    e->mnuClear_Click();
    EXPECT_EQ(text(), QString());
    e->Rtf->undo();

    askSave(mb::Cancel);
    e->mnuNew_Click();
    EXPECT_EQ(text(), QStringLiteral("keep me"));
}

TEST_F(EditorTest, FindAndFindNextMatchCaseBlindOverlappingLiterallyAndWithoutWrap) {
    // Where Find and then each Find Next leave the selection; positions count across paragraphs.
    const struct {
        const char* text;
        const char* what;
        std::vector<int> at;
    } cases[] = {{"xABC aaa a.c abc", "abc", {1, 13}},
                 {"xABC aaa a.c abc", "aa", {5, 6}},
                 {"xABC aaa a.c abc", "a.c", {9}},
                 {"one\nTwo two\n\ntwo", "two", {4, 8, 13}}};
    for (const auto& c : cases) {
        setText(QString::fromLatin1(c.text));
        EXPECT_EQ(find(c.what), c.at[0]) << c.what;
        for (size_t i = 1; i < c.at.size(); ++i)
            EXPECT_EQ(findNext(), c.at[i]) << c.what;
        EXPECT_EQ(e->Rtf->selectedPlainText().toLower(), QString::fromLatin1(c.what).toLower());
        prompts->expect(QStringLiteral("No more \"%1\" to find").arg(QLatin1String(c.what)), mb::Exclamation,
                        QStringLiteral("TextEditor"), mb::OK);
        EXPECT_EQ(findNext(), c.at.back()) << c.what; // the last match stays selected
    }

    prompts->expect(QStringLiteral("Cannot Find zz"), mb::Information, QStringLiteral("TextEditor"), mb::OK);
    find("zz");
    // A cancelled question searches for nothing; Find Next then asks again.
    prompts->expect(QStringLiteral("Cannot Find "), mb::Information, QStringLiteral("TextEditor"), mb::OK);
    find("");
    prompts->expectInput(QStringLiteral("Type Text to Find"), QStringLiteral("Find"), QStringLiteral("TWO"));
    EXPECT_EQ(findNext(), 4);
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
}

TEST_F(EditorTest, PrintSendsTheSelectionOrTheWholeTextThroughTheDialog) {
    RecordingPrinter printer;
    const auto expectPrint = [this](int flags) {
        prompts->expectDialog(Kind::Print, [flags](CommonDialog& d) {
            EXPECT_EQ(d.Flags, flags);
            EXPECT_TRUE(d.CancelError);
            return true;
        });
    };
    setText(QStringLiteral("first line\nsecond line"));
    expectPrint(264);
    e->mnuPrint_Click();
    e->Rtf->setSelection(6, 10);
    expectPrint(265);
    e->mnuPrint_Click();
    EXPECT_EQ(printer.printed, (std::vector<QString>{QStringLiteral("first line\nsecond line"),
                                                     QStringLiteral("line\nsecon")}));

    prompts->expectCancel(Kind::Print);
    e->mnuPrint_Click();
    printer.fail = true;
    expectPrint(265);
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
    const auto& m = mail.sent[0];
    EXPECT_EQ(QStringList({m.address, m.displayName, m.subject, m.body}),
              QStringList({QStringLiteral("a@b.org"), QString(), QStringLiteral("Hi"),
                           QStringLiteral("Hello\nthere")}));
    EXPECT_EQ(sounds->played, std::vector<int>{sound::ToolbarClick});

    // An address the mail program would split into two recipients is refused, and nothing goes.
    prompts->expectInput(QStringLiteral("Enter recipient mail"), QStringLiteral("To:"),
                         QStringLiteral("a@b.org; e@evil.org"));
    prompts->expectInput(QStringLiteral("Enter recipient full name"), QStringLiteral("name:"), QString());
    prompts->expectInput(QStringLiteral("Enter subject"), QStringLiteral("subject:"), QString());
    prompts->expect({}, mb::OKOnly | mb::Exclamation, QStringLiteral("TextEditor"), mb::OK);
    e->mnuSend_Click();
    ASSERT_FALSE(prompts->shown.empty());
    EXPECT_TRUE(prompts->shown.back().prompt.contains(QStringLiteral("a semicolon")));
    EXPECT_EQ(mail.sent.size(), 1u);
}

TEST_F(EditorTest, PicturesGoInWithoutTheClipboardAndRefreshFreesTheViewerPane) {
    savePicture("pic.png", "PNG");
    QApplication::clipboard()->setText(QStringLiteral("the user's"));
    setText(QStringLiteral("ab"));
    e->Rtf->setSelection(1, 0);
    chooseFile(Kind::Open, "pic.png");
    e->mnuInsertImage_Click();
    EXPECT_EQ(text(), QStringLiteral("a") + QChar::ObjectReplacementCharacter + QStringLiteral("b"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's"));

    writeFile(path("fake.png"), "not a picture");
    chooseFile(Kind::Open, "fake.png");
    expectErrorBox(err::InvalidPicture);
    e->mnuInsertImage_Click();

    // Refresh hides the frame's viewer pane, and a later picture still shows.
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    savePicture("pic.jpg", "JPEG");
    frame->OpenMyFile(path("pic.jpg"));
    ASSERT_TRUE(frame->mdiPic()->isVisibleTo(frame));
    e->mnuRefresh_Click();
    EXPECT_FALSE(frame->mdiPic()->isVisibleTo(frame));
    frame->OpenMyFile(path("pic.jpg"));
    EXPECT_TRUE(frame->mdiPic()->isVisibleTo(frame));
}

TEST_F(EditorTest, FormatsComeFromTheToolbarAndTheDialogsAndACancelChangesNothing) {
    pbm().PlaySoundEffect = true;
    const auto pressed = [this](const char* key) {
        return e->toolbarButton(QString::fromLatin1(key))->isChecked();
    };
    setText(QStringLiteral("word"));
    e->mnuSelect_Click();
    e->Toolbar1_ButtonClick(QStringLiteral("Bold"));
    EXPECT_TRUE(pressed("Bold"));
    EXPECT_GE(e->Rtf->textCursor().charFormat().fontWeight(), QFont::Bold);
    e->Toolbar1_ButtonClick(QStringLiteral("Bold"));
    EXPECT_FALSE(pressed("Bold"));
    e->Toolbar1_ButtonClick(QStringLiteral("Center"));
    EXPECT_TRUE(pressed("Center"));
    EXPECT_FALSE(pressed("Align Left"));
    EXPECT_EQ(e->Rtf->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    // Buttons without an action are silent and change nothing.
    const auto played = sounds->played.size();
    for (const char* key : {"Delete", "Justify", "bold"})
        e->Toolbar1_ButtonClick(QString::fromLatin1(key));
    EXPECT_EQ(sounds->played.size(), played);
    EXPECT_FALSE(pressed("Justify"));
    EXPECT_EQ(text(), QStringLiteral("word"));

    prompts->expectDialog(Kind::Font, [](CommonDialog& d) {
        EXPECT_EQ(d.FontName, QStringLiteral("Verdana")); // the box's font, as the window loaded it
        d.FontName = QStringLiteral("Courier");
        d.FontSize = 20;
        d.FontItalic = true;
        d.Color = 0x0000FF; // red, as 0x00BBGGRR
        return true;
    });
    e->mnuRFont_Click();
    const QFont f = e->Rtf->font();
    EXPECT_TRUE(f.family() == QStringLiteral("Courier") && f.pointSizeF() == 20 && f.italic());
    EXPECT_EQ(e->Rtf->textCursor().charFormat().foreground().color(), QColor(255, 0, 0));

    prompts->expectDialog(Kind::Color, [](CommonDialog& d) {
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
}
