#include "error_of.h"
#include "fakes.h"
#include "file_size_limit.h"
#include "platform/mail.h"
#include "platform/print_output.h"
#include "platform/vb_error.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <gtest/gtest.h>

using namespace pb;

TEST(Mail, EveryPartIsEncodedSoUserTextStaysOneField) {
    EXPECT_EQ(
        mailtoAddress({QStringLiteral("ann@example.org"),
                       {},
                       QStringLiteral("Hi & bye"),
                       QStringLiteral("line 1\nline 2 é")}),
        QStringLiteral("mailto:ann@example.org?subject=Hi%20%26%20bye&body=line%201%0D%0Aline%202%20%C3%A9"));

    const MailMessage hostile{QStringLiteral("a@b?bcc=x@y&attach=/home/u/.ssh/id_rsa"),
                              QStringLiteral("Lee, \"Ann\""), QStringLiteral("x&cc=evil@z&body=no"),
                              QStringLiteral("text")};
    const QUrl url(mailtoAddress(hostile), QUrl::StrictMode);
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    // One recipient: the whole address, with the name quoted in front.
    EXPECT_EQ(url.path(QUrl::FullyDecoded),
              QStringLiteral("\"Lee, \\\"Ann\\\"\" <a@b?bcc=x@y&attach=/home/u/.ssh/id_rsa>"));
    const QUrlQuery query(url);
    const auto items = query.queryItems(QUrl::FullyDecoded);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0], qMakePair(QStringLiteral("subject"), QStringLiteral("x&cc=evil@z&body=no")));
    EXPECT_EQ(items[1], qMakePair(QStringLiteral("body"), QStringLiteral("text")));
}

TEST(Mail, TheDesktopGetsTheOneAddressOrTheFailureIsReported) {
    pbtest::RecordingShell shell;
    const MailMessage m{QStringLiteral("ann@example.org"), {}, QStringLiteral("s"), QStringLiteral("b")};
    mailer().send(m);
    EXPECT_EQ(shell.opened, QStringList{mailtoAddress(m)});

    shell.succeed = false;
    EXPECT_EQ(pbtest::errorOf([&] { mailer().send(m); }), err::MailFailed);

    // Too long to hand over: reported, nothing handed over, nothing cut.
    shell.succeed = true;
    shell.opened.clear();
    const MailMessage big{m.address, {}, m.subject, QString(40 * 1024, QLatin1Char('%'))};
    try {
        mailer().send(big);
        ADD_FAILURE() << "a mail past the limit was handed over";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::MailFailed);
        EXPECT_TRUE(e.description().contains(QStringLiteral("too long")));
    }
    // So is an address that reads as several recipients; blanks around the one address are not part of it.
    for (const char* address : {"a@b.org,e@evil.org", "a@b.org;e@evil.org", "a@b.org>,<e@evil.org",
                                "a@b.org e@evil.org", "a@b.org\ne@evil.org"})
        EXPECT_EQ(pbtest::errorOf([&] {
                      mailer().send({QString::fromLatin1(address), {}, {}, {}});
                  }),
                  err::MailFailed)
            << address;
    EXPECT_TRUE(shell.opened.isEmpty());
    mailer().send({QStringLiteral(" ann@example.org "), {}, {}, {}});
    EXPECT_EQ(shell.opened.size(), 1);
}

TEST(Mail, ANameOrSubjectWithAControlCharacterIsRefusedAndWhatGoesHoldsOneRecipientAndNoOtherHeader) {
    pbtest::RecordingShell shell;
    const QString address = QStringLiteral("ann@example.org");
    const QString breaks[] = {QStringLiteral("\r"),  QStringLiteral("\n"), QStringLiteral("\r\n"),
                              QStringLiteral("\t"),  QString(QChar(0)),    QString(QChar(0x85)),
                              QString(QChar(0x2028))};
    std::vector<MailMessage> refused;
    for (const QString& b : breaks) {
        const QString header = QStringLiteral("Ann Lee") + b + QStringLiteral("Reply-To: e@evil.org");
        refused.push_back({address, header, QStringLiteral("Hi"), QStringLiteral("text")});
        refused.push_back({address, QStringLiteral("Ann Lee"), header, QStringLiteral("text")});
    }
    for (const MailMessage& m : refused)
        EXPECT_EQ(pbtest::errorOf([&] { mailer().send(m); }), err::MailFailed)
            << QUrl::toPercentEncoding(m.displayName + QLatin1Char('|') + m.subject).toStdString();
    const qsizetype refusedHandedOver = shell.opened.size();
    EXPECT_EQ(refusedHandedOver, 0);

    // Accents and a body of several lines go as they are.
    mailer().send({address, QStringLiteral("Zo\u00eb \u00c5ngstr\u00f6m-N\u00fa\u00f1ez"),
                   QStringLiteral("Gr\u00fc\u00dfe & cc=x@y.org"),
                   QStringLiteral("a\nBcc: e@evil.org\r\nb")});
    ASSERT_EQ(shell.opened.size(), refusedHandedOver + 1);

    // Whatever reached the mail program decodes to one recipient, a subject and a body, nothing more.
    const QRegularExpression oneRecipient(QStringLiteral("^\"([^\"\\\\]|\\\\.)*\" <ann@example\\.org>$"));
    for (const QString& opened : shell.opened) {
        const QUrl url(opened, QUrl::StrictMode);
        ASSERT_TRUE(url.isValid()) << opened.toStdString();
        const QString to = url.path(QUrl::FullyDecoded);
        EXPECT_TRUE(oneRecipient.match(to).hasMatch()) << opened.toStdString();
        const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
        ASSERT_EQ(items.size(), 2) << opened.toStdString();
        EXPECT_EQ(items[0].first, QStringLiteral("subject"));
        EXPECT_EQ(items[1].first, QStringLiteral("body"));
        for (const QChar lineEnd : {QChar(u'\r'), QChar(u'\n'), QChar(0x85), QChar(0x2028), QChar(0x2029)})
            EXPECT_FALSE(to.contains(lineEnd) || items[0].second.contains(lineEnd)) << opened.toStdString();
    }
    EXPECT_EQ(QUrl(shell.opened[refusedHandedOver]).path(QUrl::FullyDecoded),
              QStringLiteral("\"Zo\u00eb \u00c5ngstr\u00f6m-N\u00fa\u00f1ez\" <ann@example.org>"));
    EXPECT_EQ(QUrlQuery(QUrl(shell.opened[refusedHandedOver]))
                  .queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
              QStringLiteral("a\r\nBcc: e@evil.org\r\nb"));
}

namespace {

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                            pdf.count("/Type /Page "));
}

} // namespace

TEST(Print, ALongDocumentPrintsEveryPageToPdfAndAPrinterThatCannotBeginIsError482) {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
    QString text;
    for (int i = 0; i < 30000; ++i)
        text += QStringLiteral("Line %1\n").arg(i);
    QTextDocument doc(text);
    const int pages = printPages(doc, printer);
    EXPECT_GT(pages, 300);
    EXPECT_EQ(pdfPages(printer.outputFileName()), pages);

    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
    EXPECT_EQ(pbtest::errorOf([&] { printPages(doc, printer); }), 482);

    // A one-page PDF cut short by a full disk: the toolkit says it ended well, the file says not.
    printer.setOutputFileName(dir.filePath(QStringLiteral("short.pdf")));
    const QTextDocument one(QStringLiteral("One line"));
    {
        const pbtest::FileSizeLimit fullDisk(1024);
        EXPECT_EQ(pbtest::errorOf([&] { printPages(one, printer); }), 482);
    }
}

TEST(Print, EveryLineOfALongBookIsWholeOnExactlyOnePage) {
    // The print text of a large book, in the editor's font, on a letter page's printable area.
    QString text;
    for (int i = 1; i <= 13000; ++i)
        text += QStringLiteral(" %1\nFirst name: Somebody\nLast name: Else\nPhone: 555 0100\nE-mail: \n"
                               "Company: \nAddress: \nComments: \n\n")
                    .arg(i);
    QTextDocument doc;
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(12);
    doc.setDefaultFont(font);
    doc.setPlainText(text);
    const QSizeF paper(7.99 * 96, 11.41 * 96);
    const std::vector<PrintPage> pages = paginate(doc, paper);
    ASSERT_GT(pages.size(), 2000u);
    for (const PrintPage& p : pages) {
        EXPECT_EQ(p.paper.size(), paper);
        EXPECT_TRUE(p.paper.contains(p.shown));
    }

    int lines = 0;
    int cut = 0;
    QString first;
    const QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QPointF at = layout->blockBoundingRect(b).topLeft();
        for (int l = 0; l < b.layout()->lineCount(); ++l, ++lines) {
            const QRectF line = b.layout()->lineAt(l).rect().translated(at);
            // The pages run down the document: the first one reaching below the line's top must hold it.
            const auto on = std::partition_point(pages.begin(), pages.end(), [&](const PrintPage& p) {
                return p.shown.bottom() <= line.top();
            });
            const bool whole = on != pages.end() && on->shown.contains(line) &&
                               (on + 1 == pages.end() || !(on + 1)->shown.intersects(line));
            if (!whole && cut++ == 0) first = b.text();
        }
    }
    EXPECT_EQ(lines, 13000 * 9 + 1);
    EXPECT_EQ(cut, 0) << "first line cut: " << first.toStdString();
}
