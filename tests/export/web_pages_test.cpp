#include "builders/web_pages.h"
#include "data/module_phonebook.h"
#include "records.h"

#include <QUrl>
#include <gtest/gtest.h>

using namespace pb;
using namespace pb::web;
using namespace pbtest;

namespace {

const QByteArray kCharset = "<meta http-equiv = 'Content-Type' content = 'text/html; charset=windows-1252'>";
const QByteArray kStyle =
    "<head>" + kCharset +
    "<link href = 'Dorvane2StyleSheet.css' rel = 'stylesheet' type = 'text/css'></head>";

QByteArray lines(std::initializer_list<QByteArray> l) {
    QByteArray out;
    for (const QByteArray& x : l)
        out += x + "\r\n";
    out.chop(2);
    return out;
}

PageSettings settings(const QString& folder = QStringLiteral("/srv/book")) {
    PageSettings s;
    s.labels = kDefaultLabels;
    s.folder = folder;
    s.appletType = QStringLiteral("1");
    return s;
}

// The records page past the applet block: what the records themselves gave.
QByteArray afterApplet(const QByteArray& records) {
    const QByteArray mark = "<h1>Phonebook Records</h1></center><hr>\r\n\r\n";
    const qsizetype at = records.indexOf(mark);
    return at < 0 ? QByteArray() : records.mid(at + mark.size());
}

const QByteArray kFoot = "\r\n<br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><hr>\r\n\r\n\r\n"
                         "</body>\r\n</html>";

} // namespace

TEST(WebPages, SmallBookGivesThePagesByteForByte) {
    std::vector<Rec> recs = {
        {"  Ann", "Lee  ", "555 0101", "ann@mail.example", "Acme", "1 Road", "", "Hi"},
        {"Bob", "Stone\u2019s", "", "", "", "", "", QStringLiteral("Caf\u00e9 \u20ac5")}};
    PageSettings s = settings();
    s.labels[2] = QString::fromLatin1("T\xe9l\xe9phone");
    s.labels[6] = QStringLiteral("Notes \u03a9"); // not in the code page
    const auto pages = buildPages(bookBytes(recs), 2, s);

    EXPECT_EQ(pages[Title],
              lines({"<html>", kStyle,
                     "<body><font color = '#123456'><center><H1><a target = 'inlineRecords' href = "
                     "'Records.htm#Top'>",
                     "<img border = '0' src = 'Dorvane2.ico'></a><br>Web Phonebook</H1></center></font>",
                     "<H5><center><i><SCRIPT>",
                     "document.write('File Created Date: ' + (document.fileCreatedDate || "
                     "document.lastModified) + '<BR>' "
                     "+ 'Last Update: ' "
                     "+ document.lastModified);",
                     "</SCRIPT></i></center></H5>", "</body>", "</html>"}));

    EXPECT_EQ(
        pages[Contents],
        lines({"<html>", kStyle, "<body>", "Available  2 Records:",
               "<select style = 'background-color: black; color: white' size = '14' onChange = "
               "'if(options[selectedIndex].value) parent.inlineFrameRecords.document.inlineRecords.location."
               "href = (options[selectedIndex].value)' >",
               "<option value ='Records.htm#1'>Ann Lee</option>",
               "<option value ='Records.htm#2'>Bob Stone\x92s</option>", "</select><br><br>", "", "</body>",
               "</html>"}));

    const QByteArray& records = pages[Records];
    EXPECT_TRUE(records.startsWith(lines({"<html>", kStyle, "<body>", "",
                                          "<center  name = 'Top'><applet code='anfy3d.class' width=530 "
                                          "height=260>"})));
    EXPECT_TRUE(records.contains("\r\n<param name=script value='1'><param name=shadow value='0'>"));
    EXPECT_EQ(afterApplet(records),
              "<p><a name = 1> 1</a><br>\r\n<table>\r\n"
              "<tr><td>First name:</td><td>Ann</td></tr>\r\n"
              "<tr><td>Last name:</td><td>Lee</td></tr>\r\n"
              "<tr><td>T\xe9l\xe9phone:</td><td>555 0101</td></tr>\r\n"
              "<tr><td>E-mail:</td><td><a href = 'mailto:ann@mail.example'>ann@mail.example</a></td></tr>\r\n"
              "<tr><td>Company:</td><td>Acme</td></tr>\r\n"
              "<tr><td>Address:</td><td>1 Road</td></tr>\r\n"
              "<tr><td>Notes ?:</td><td>Hi</td></tr>\r\n"
              "</table></p><br><br><br><br><br><br>\r\n\r\n"
              "<p><a name = 2> 2</a><br>\r\n<table>\r\n"
              "<tr><td>First name:</td><td>Bob</td></tr>\r\n"
              "<tr><td>Last name:</td><td>Stone\x92s</td></tr>\r\n"
              "<tr><td>T\xe9l\xe9phone:</td><td></td></tr>\r\n"
              "<tr><td>E-mail:</td><td><a href = 'mailto:'></a></td></tr>\r\n"
              "<tr><td>Company:</td><td></td></tr>\r\n"
              "<tr><td>Address:</td><td></td></tr>\r\n"
              "<tr><td>Notes ?:</td><td>Caf\xe9 \x80"
              "5</td></tr>\r\n"
              "</table></p><br><br><br><br><br><br>\r\n\r\n" +
                  kFoot);

    EXPECT_EQ(
        pages[InlineFrame],
        lines({"<html>", "<head>" + kCharset + "</head>", "<body bgcolor = 'black'>",
               "<center><iframe src = 'file:///srv/book/Records.htm' name = 'inlineRecords'width = '600' "
               "height ='300' frameborder = 'no'  scrolling = 'no' align = middle>Your browser cannot "
               "display inline frames.</iframe></center>",
               "</body>", "</html>"}));

    EXPECT_EQ(
        pages[Frameset],
        lines({"<head>", kCharset, "<title>Web Phonebook</title>",
               "<meta name = 'Dorvane2 Web Phonebook' content = 'A phonebook html page generated by "
               "Dorvane2 application from Brenmoor'></head>",
               "<frameset rows ='24%,76%'  border=0>",
               "<frame name = title src = 'file:///srv/book/Title.htm' noresize >",
               "<frameset cols ='25%,75%'>", "<frame name = contents src = 'file:///srv/book/Contents.htm'>",
               "<frame name = inlineFrameRecords src = 'file:///srv/book/InlineFrameRecords.htm'>",
               "</frameset>", "<NoFrames>Your browser cannot display frames.</NoFrames>"}));

    EXPECT_EQ(pages[StyleSheet], "body {background-color: black; color: white;}\r\n"
                                 "table {border: 0; cellspacing: 8; cellpadding: 8;}\r\n"
                                 "td {font-size: 19px;}\r\n"
                                 "a:link {color: white;}\r\n"
                                 "a:active {color: green;}\r\n"
                                 "a:visited {color: #999966;}\r\n"
                                 "a:hover {color: red; font-size: large;}\r\n");

    // Built in parts, each measured and then written into its own room, the pages are the same.
    const QByteArray book = bookBytes(recs);
    PageBuilder parted(s, 2);
    const std::vector<PartSize> sizes = {parted.measure(book.constData(), 1, 1),
                                         parted.measure(book.constData() + 440, 2, 2)};
    parted.beginRecords(s.appletType);
    std::vector<PageBuilder::Room> rooms = parted.makeRoom(sizes);
    parted.writeInto(rooms[1], book.constData() + 440, 2, 2);
    parted.writeInto(rooms[0], book.constData(), 1, 1);
    EXPECT_TRUE(rooms[0].full() && rooms[1].full());
    EXPECT_EQ(parted.finish(), pages);
    // A record that no longer gives what was measured writes nothing past its room.
    PageBuilder changed(s, 1);
    const std::vector<PartSize> one = {changed.measure(book.constData() + 440, 1, 1)};
    changed.beginRecords(s.appletType);
    std::vector<PageBuilder::Room> room = changed.makeRoom(one);
    EXPECT_THROW(changed.writeInto(room[0], book.constData(), 1, 1), PartChanged);
    EXPECT_LE(room[0].records, room[0].recordsEnd);
}

TEST(WebPages, EmptyBooksAndNameOrder) {
    const auto empty = buildPages({}, 0, settings());
    EXPECT_TRUE(empty[Contents].contains("\r\nAvailable  0 Records:\r\n<select"));
    EXPECT_TRUE(empty[Contents].contains("(options[selectedIndex].value)' >\r\n</select><br><br>\r\n"));
    EXPECT_EQ(afterApplet(empty[Records]), kFoot);

    // Sorted by last name: only the contents list changes, the records keep file order.
    PageSettings byLast = settings();
    byLast.sortedByLastName = true;
    const QByteArray book = bookBytes({{"Ann", "Lee"}, {"Cy", "Adams"}});
    const auto sorted = buildPages(book, 2, byLast);
    EXPECT_TRUE(sorted[Contents].contains("<option value ='Records.htm#1'>Lee, Ann</option>\r\n"
                                          "<option value ='Records.htm#2'>Adams, Cy</option>\r\n"));
    EXPECT_EQ(sorted[Records], buildPages(book, 2, settings())[Records]);
}

TEST(WebPages, EveryValueLabelAndFolderIsEscaped) {
    PageSettings s = settings(QStringLiteral("/home/O'Brien/#1 100%/Book"));
    s.labels[0] = QStringLiteral("<b>Name</b>");
    const auto pages = buildPages(
        bookBytes({{"<script>x</script>", "O'Hara & \"Sons\"", "", "a@b.example?cc=x@y.example&x='"}}), 1, s);
    const QByteArray& r = pages[Records];
    EXPECT_FALSE(r.contains("<script>"));
    EXPECT_TRUE(r.contains("<tr><td>&lt;b&gt;Name&lt;/b&gt;:</td><td>&lt;script&gt;x&lt;/script&gt;</td>"));
    EXPECT_TRUE(r.contains("<td>O&#39;Hara &amp; &quot;Sons&quot;</td>"));
    // The mail target can add no recipient or header; the text shows it as it is.
    EXPECT_TRUE(r.contains("<a href = 'mailto:a@b.example%3Fcc%3Dx@y.example%26x%3D%27'>"
                           "a@b.example?cc=x@y.example&amp;x=&#39;</a>"));
    EXPECT_TRUE(
        pages[Contents].contains(">&lt;script&gt;x&lt;/script&gt; O&#39;Hara &amp; &quot;Sons&quot;<"));

    // The folder is a file address: encoded, and safe inside the quotes.
    const QByteArray link = "file:///home/O&#39;Brien/%231%20100%25/Book/";
    EXPECT_EQ(folderLink(s.folder), link);
    EXPECT_TRUE(pages[Frameset].contains(QByteArray("src = '" + link + "Title.htm'")));
    EXPECT_TRUE(pages[InlineFrame].contains(QByteArray("src = '" + link + "Records.htm'")));
    const QUrl back(QString::fromLatin1(link).replace(QStringLiteral("&#39;"), QStringLiteral("'")));
    EXPECT_EQ(back.toLocalFile(), s.folder + QLatin1Char('/'));
}

TEST(WebPages, TheFolderIsTheChosenNameLessItsEndingOnlyAndNeverTheFileOrItsFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"Book.htm", "Book"},   {"BOOK.HTM", "BOOK"},   {"Book.html", "Book"},
        {"Book", "Book_files"}, {".htm", ".htm_files"}, {"my.htmdocs/Book.htm", "my.htmdocs/Book"}};
    for (const auto& [chosen, folder] : cases)
        EXPECT_EQ(exportFolderFor(QStringLiteral("/home/u/") + QLatin1String(chosen)),
                  QStringLiteral("/home/u/") + QLatin1String(folder));
}

TEST(WebPages, ProgressLinesRoundHalvesToEven) {
    EXPECT_EQ(progressLine("Constructing Contents Page. Writing Name", 1, 8),
              QStringLiteral("Constructing Contents Page. Writing Name 1.   Completed:  12%"));
    EXPECT_EQ(progressLine("X", 3, 8), QStringLiteral("X 3.   Completed:  38%"));
    EXPECT_EQ(progressLine("X", 7, 7), QStringLiteral("X 7.   Completed:  100%"));
}
