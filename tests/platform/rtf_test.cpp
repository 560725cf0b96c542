#include "platform/rtf.h"
#include "records.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace pb;

namespace {

QTextCharFormat format(bool bold, bool italic, bool underline, bool strike) {
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    f.setFontStrikeOut(strike);
    return f;
}

// Three paragraphs with every kind of format, text that needs escaping and a picture.
void fill(QTextDocument& doc) {
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mine:1")), picture);
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("a\\b{c}\t"), format(true, false, false, false));
    QTextCharFormat red = format(false, true, true, true);
    red.setForeground(QColor(255, 0, 0));
    red.setFontPointSize(18);
    red.setFontFamilies({QStringLiteral("Courier")});
    c.insertText(QStringLiteral("é€中😀") + QChar(0x2028) + QStringLiteral("x"), red);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre);
    c.insertText(QStringLiteral("middle"), format(false, false, false, false));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    QTextImageFormat img;
    img.setName(QStringLiteral("mine:1"));
    img.setWidth(30);
    img.setHeight(20);
    c.insertImage(img);
}

// The process's peak memory so far, in MB.
long peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

QTextCharFormat formatAt(const QTextDocument& doc, int position) {
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

} // namespace

TEST(Rtf, WhatIsWrittenReadsBackWithItsTextFormatsAlignmentAndPicture) {
    QTextDocument doc;
    fill(doc);
    const QByteArray bytes = rtf::write(doc);
    for (const char b : bytes)
        ASSERT_LT(static_cast<unsigned char>(b), 0x80) << "only 7-bit bytes in the file";
    ASSERT_TRUE(rtf::isRtf(bytes));

    QTextDocument back;
    rtf::read(bytes, back);
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    ASSERT_EQ(back.blockCount(), 3);
    EXPECT_EQ(back.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(back.begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(back.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    const QTextCharFormat bold = formatAt(back, 0);
    EXPECT_EQ(bold.fontWeight(), QFont::Bold);
    EXPECT_FALSE(bold.fontItalic());
    const QTextCharFormat red = formatAt(back, 8);
    EXPECT_NE(red.fontWeight(), QFont::Bold);
    EXPECT_TRUE(red.fontItalic());
    EXPECT_TRUE(red.fontUnderline());
    EXPECT_TRUE(red.fontStrikeOut());
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(red.fontPointSize(), 18);
    EXPECT_EQ(red.fontFamilies().toStringList(), QStringList{QStringLiteral("Courier")});

    const QTextCharFormat pic = formatAt(back, back.lastBlock().position());
    ASSERT_TRUE(pic.isImageFormat());
    EXPECT_EQ(pic.toImageFormat().width(), 30);
    const QImage image =
        back.resource(QTextDocument::ImageResource, QUrl(pic.toImageFormat().name())).value<QImage>();
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(10, 200, 30));
    // Written again, the same bytes: nothing drifts.
    EXPECT_EQ(rtf::write(back), bytes);
}

TEST(Rtf, AWordProcessorsFileReadsWithItsSkippedPartsLeftOut) {
    const QByteArray png = pbtest::pictureBytes(2, 2, Qt::blue, "PNG");
    const QByteArray file =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\froman "
        "Times New Roman;}}\r\n{\\colortbl ;\\red0\\green0\\blue255;}\r\n{\\*\\generator Riched20 10.0;}"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret title}{\\author Someone}}\r\n"
        "\\viewkind4\\uc1\\pard\\qj\\f0\\fs20 Caf\\'e9 \\u8364? and {\\b bold}\\b0  {\\*\\unknown hidden}"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\\par\r\n"
        "\\pard\\f1\\fs28\\cf1 Second\\line line\\tab end\\par\r\n"
        "{\\*\\shppict{\\pict\\pngblip\\picwgoal600\\pichgoal600 " +
        png.toHex() +
        "}}{\\nonshppict{\\pict\\wmetafile8 0102}}{\\pict\\wmetafile8\\picw10\\pich10 0102}\\par\r\n}\r\n";
    QTextDocument doc;
    rtf::read(file, doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Café € and bold link\nSecond\nline\tend\n") +
                                     QChar::ObjectReplacementCharacter + rtf::kPicturePlaceholder +
                                     QStringLiteral("\n"));
    EXPECT_EQ(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    const QTextCharFormat second = formatAt(doc, doc.begin().next().position());
    EXPECT_EQ(second.fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
    EXPECT_EQ(second.fontPointSize(), 14);
    EXPECT_EQ(second.foreground().color(), QColor(0, 0, 255));
    const QTextCharFormat pic = formatAt(doc, doc.begin().next().next().position());
    ASSERT_TRUE(pic.isImageFormat());
    EXPECT_EQ(pic.toImageFormat().width(), 40); // 600 twips
}

TEST(Rtf, ATableReadsAsItsRowsWithATabBetweenCells) {
    // Rows as two word processors write them: cells ended by the cell's end alone, or by a paragraph's end
    // and then the cell's; an empty last cell; text after the table with no paragraph end before it.
    const QByteArray file =
        "{\\rtf1 Before.\\par \\trowd\\cellx991\\cellx2012\\pard\\intbl{A1}\\cell"
        "\\pard\\intbl{B1}\\cell\\row\\pard\\trowd\\pard\\intbl{A2}\\cell\\pard\\intbl\\cell\\row"
        "{\\trowd{{\\pard\\intbl x\\par}\\cell}{{\\pard\\intbl y\\par}\\cell}\\intbl\\row}"
        "\\pard After.\\par}";
    QTextDocument doc;
    rtf::read(file, doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Before.\nA1\tB1\nA2\t\nx\ty\nAfter.\n"));
}

TEST(Rtf, DamagedInputNeverFailsAndStaysWithinWhatItHolds) {
    const QByteArray cases[] = {
        QByteArray(100000, '{') + "deep" + QByteArray(100000, '}'),
        "{\\rtf1 {\\pict\\pngblip\\bin999999999 abc",
        "{\\rtf1\\fs999999999999999999 big\\u-99999999999 \\uc99999 x\\'zz\\'4",
        "{\\rtf1 {\\pict\\jpegblip\\picwgoal-5 ffd8ffe000}} end}",
        "{\\rtf1 \\",
        QByteArray("{\\rtf1 }}}}}} after"),
    };
    for (const QByteArray& bytes : cases) {
        QTextDocument doc;
        rtf::read(bytes, doc);
        EXPECT_LT(doc.characterCount(), bytes.size() + 2);
    }
    QTextDocument doc;
    rtf::read(cases[0], doc);
    EXPECT_TRUE(doc.toPlainText().contains(QStringLiteral("deep")));
    rtf::read(cases[5], doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral(" after"));
}

TEST(Rtf, APictureWhoseChunkClaimsMoreThanTheFileHoldsIsNotDecoded) {
    // A 2x2 PNG with a text chunk whose length says 0x60000025 but which holds 9 bytes.
    QByteArray png = pbtest::pictureBytes(2, 2, Qt::blue, "PNG");
    png.insert(png.size() - 12, QByteArray::fromHex("60000025") + "tEXtComment\0x" + QByteArray(4, '\0'));
    const QByteArray file = "{\\rtf1 before {\\pict\\pngblip " + png.toHex() + "} after}";
    const long before = peakMb();
    QTextDocument doc;
    rtf::read(file, doc);
    EXPECT_EQ(doc.toPlainText(),
              QStringLiteral("before ") + rtf::kPicturePlaceholder + QStringLiteral(" after"));
    EXPECT_LT(peakMb() - before, 100) << "the decoder was handed the chunk's claimed length";
}

TEST(Rtf, PlainTextIsUtf8WhenValidElseTheSingleByteCodePage) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"caf\xC3\xA9\r\nnext", QStringLiteral("café\nnext")},
        {"\xEF\xBB\xBFwith mark\rline", QStringLiteral("with mark\nline")},
        {"caf\xE9 \x80 5\n", QStringLiteral("café € 5\n")},
        {" 1\r\nFirst name: Ann\r\n\r\n", QStringLiteral(" 1\nFirst name: Ann\n\n")},
        {"", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rtf::decodePlainText(c.bytes), c.text) << c.bytes.toHex().toStdString();
    EXPECT_FALSE(rtf::isRtf("{\\rt"));
    EXPECT_FALSE(rtf::isRtf(" {\\rtf1}"));
}

TEST(Rtf, OtherProgramsReadWhatIsWritten) {
    QTextDocument doc;
    fill(doc);
    QTextCursor end(&doc);
    end.movePosition(QTextCursor::End);
    end.insertBlock();
    end.insertText(QStringLiteral("中x and ∑y"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.rtf"));
    const QString out = dir.filePath(QStringLiteral("doc.txt"));
    pbtest::writeFile(path, rtf::write(doc));
    // The characters after one that the code page lacks come through too.
    const QStringList plain{"a\\b{c}", "middle", "中x and ∑y"};
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile"))).toString();
    const struct {
        const char* program;
        QStringList arguments, parts;
    } readers[] = {
        {"unrtf", {"--html", path}, {"<b>a\\b{c}", "&eacute;&euro;", "#ff0000", "<center>", "middle"}},
        {"pandoc", {"-f", "rtf", "-t", "plain", "-o", out, path}, plain},
        {"soffice",
         {"-env:UserInstallation=" + profile, "--headless", "--convert-to", "txt:Text (encoded):UTF8",
          "--outdir", dir.path(), path},
         plain + QStringList{"é€中"}},
    };
    int ran = 0;
    for (const auto& reader : readers) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(reader.program));
        if (program.isEmpty()) continue;
        ++ran;
        QFile::remove(out);
        // In the test's own folder: some readers write the document's pictures where they run.
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(program, reader.arguments);
        EXPECT_TRUE(p.waitForFinished(120000)) << reader.program;
        const QString text = QString::fromUtf8(p.readAllStandardOutput() + pbtest::readFile(out));
        for (const QString& part : reader.parts)
            EXPECT_TRUE(text.contains(part)) << reader.program << ": " << part.toStdString() << "\n"
                                             << text.toStdString();
    }
    if (ran == 0) GTEST_SKIP() << "none of unrtf, pandoc and soffice is installed";
}

TEST(Rtf, APlainDocumentIsWrittenExactlyWhateverFormatsItOnceHeldAndComesBackHoweverLong) {
    QTextDocument plain;
    plain.setDefaultFont(QFont(QStringLiteral("Verdana"), 12));
    plain.setPlainText(QStringLiteral("a{b}\\c\n\nd é"));
    const QByteArray bytes = rtf::write(plain);
    EXPECT_EQ(bytes,
              QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl{\\f0\\fnil Verdana;}}\n"
                         "{\\colortbl;}\n\\pard\\ql {\\f0\\fs24 a\\{b\\}\\\\c}\\par\n\\pard\\ql \\par\n"
                         "\\pard\\ql {\\f0\\fs24 d \\u233\\'e9}}\n"));
    // A format used once and gone again takes the long way: the bytes do not change.
    QTextDocument edited;
    edited.setDefaultFont(QFont(QStringLiteral("Verdana"), 12));
    edited.setPlainText(QStringLiteral("a{b}\\c\n\nd é"));
    QTextCursor c(&edited);
    c.insertText(QStringLiteral("gone"), format(true, true, false, false));
    c.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    EXPECT_EQ(rtf::write(edited), bytes);

    // Long paragraphs with every kind of character come back whole.
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QChar(static_cast<char16_t>(i % 3 == 0   ? 0x20 + i % 95
                                            : i % 3 == 1 ? 0xA0 + i % 0x2F00
                                                         : '{'));
    QTextDocument doc;
    doc.setPlainText(text + QStringLiteral("\nshort\n") + text);
    QTextDocument back;
    rtf::read(rtf::write(doc), back);
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
}
