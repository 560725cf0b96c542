#include "export/web_pages.h"

#include "data/phone_record.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cmath>
#include <cstring>

namespace pb::web {

namespace {

constexpr QByteArrayView kEol = "\r\n";
constexpr QByteArrayView kStyleLink =
    "<head><link href = 'Dorvane2StyleSheet.css' rel = 'stylesheet' type = 'text/css'></head>";

// The display applet's block at the head of the records page; "%S" stands for the applet type.
constexpr const char* kAppletLines[] = {
    "<center  name = 'Top'><applet code='anfy3d.class' width=530 height=260>",
    "<param name=real_width value='530'><param name=real_height value='260'><param name=texture0 "
    "value='texture.gif'>",
    "<param name=texture1 value='fire.gif'><param name=texture2 value='texture2.gif'><param name=phongmap "
    "value='light2.gif'>",
    "<param name=interactive value='YES'>",
    "<param name=script value='%S'><param name=shadow value='0'><param name=mirror value='1'><param "
    "name=lightballs value='4'>",
    "<param name=main_type value='1'><param name=main_render value='1'><param name=main_texture "
    "value='0'><param name=rot_x value='0.05'>",
    "<param name=rot_y value='0.07'><param name=rot_z value='0.04'><param name=sheet_x value='100'><param "
    "name=sheet_y value='100'>",
    "<param name=sheet_numx value='10'>",
    "<param name=sheet_numy value='10'><param name=sheet_add value='0.1'><param name=sheet_h "
    "value='20'><param name=sheet_period1 value='6.28'>",
    "<param name=sheet_period2 value='6.28'><param name=sheet_function value='2'><param name=animlight "
    "value='NO'>",
    "<param name=child_type value='2'><param name=child_render value='13'><param name=child_texture "
    "value='1'><param name=back_type value='1'>",
    "<param name=back_render value='13'>",
    "<param name=back_texture value='2'><param name=back_r value='50'><param name=back_g value='30'><param "
    "name=back_b value='0'>",
    "<param name=fog value='0'><param name=fog_near value='1'><param name=fog_far value='2'><param "
    "name=blur_motion value='0'>",
    "<param name=overimg value='NO'><param name=overimgX value='0'><param name=overimgY value='0'><param "
    "name=textscroll value='anfy3dscr.txt'>",
    "<param name=texttype value='zooming'>",
    "<param name=textvspace value='0'><param name=textminfont value='24'><param name=textmaxfont "
    "value='172'><param name=textoffset value='190'>",
    "<param name=textspeed value='2'><param name=textfont value='Helvetica'><param name=textbold "
    "value='NO'><param name=textitalic value='NO'>",
    "<param name=textsize value='24'><param name=textshadow value='YES'><param name=TextSColR value='20'>",
    "<param name=TextSColG value='20'>",
    "<param name=TextSColB value='50'><param name=TextColR value='0'><param name=TextColG value='0'><param "
    "name=TextColB value='0'>",
    "<param name=TextJumpAmp value='0'><param name=TextJumpSpd value='0'><param name=TextSineAmp "
    "value='0'><param name=TextSineSpd value='0'>",
    "<param name=TextSineAngle value='0'>",
    "<param name=statusmsg value='Dorvane2'><param name=memdelay value='1000'><param name=priority "
    "value='3'>",
    "<param name=MinSYNC value='10'>Sorry, your browser doesn't support Java.</applet><br><br><br><br>",
    "<h1>Phonebook Records</h1></center><hr>",
    "",
};

// One page's lines, joined by CR LF.
QByteArray joinLines(std::initializer_list<QByteArrayView> lines, bool finalEol = false) {
    QByteArray out;
    for (QByteArrayView l : lines)
        out.append(l).append(kEol);
    if (!finalEol) out.chop(kEol.size());
    return out;
}

void line(QByteArray& out, QByteArrayView text) {
    out.append(text).append(kEol);
}

// A field's bytes with blanks removed from both ends.
QByteArrayView field(const char* record, PhoneRecord::Field f) {
    const auto [offset, width] = PhoneRecord::kLayout[f];
    const char* begin = record + offset;
    const char* end = begin + width;
    while (begin < end && *begin == ' ')
        ++begin;
    while (end > begin && end[-1] == ' ')
        --end;
    return QByteArrayView(begin, end - begin);
}

void appendEscaped(QByteArray& out, QByteArrayView text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (text[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        case '\'':
            entity = "&#39;";
            break;
        default:
            continue;
        }
        out.append(text.sliced(start, i - start)).append(entity);
        start = i + 1;
    }
    out.append(text.sliced(start));
}

QByteArray number(int i) {
    return QByteArray::number(i);
}

// The sign-place form: a blank in the place of the sign.
QByteArray signNumber(long long i) {
    return i < 0 ? QByteArray::number(i) : ' ' + QByteArray::number(i);
}

} // namespace

QByteArray escape(QByteArrayView text) {
    QByteArray out;
    appendEscaped(out, text);
    return out;
}

QByteArray mailTarget(QByteArrayView address) {
    // Percent-encoded bytes are read as UTF-8 by whatever takes the link.
    const QByteArray utf8 = codepage::decode(address.data(), address.size()).toUtf8();
    return utf8.toPercentEncoding("@+");
}

QByteArray folderLink(const QString& folder) {
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return escape(QUrl::fromLocalFile(path).toEncoded());
}

QString exportFolderFor(const QString& chosenFile) {
    for (const QLatin1String ext : {QLatin1String(".html"), QLatin1String(".htm")}) {
        if (!chosenFile.endsWith(ext, Qt::CaseInsensitive)) continue;
        const QString stem = chosenFile.chopped(ext.size());
        if (!stem.isEmpty() && !stem.endsWith(QLatin1Char('/'))) return stem;
        break;
    }
    return chosenFile + QStringLiteral("_files");
}

QString progressLine(const char* what, int i, int n) {
    // Halves go to the even neighbour, as the default rounding mode does.
    const double percent = std::nearbyint(static_cast<double>(i) / n * 100.0);
    return QString::fromLatin1(what) + QString::fromLatin1(signNumber(i)) +
           QStringLiteral(".   Completed: ") +
           QString::fromLatin1(signNumber(static_cast<long long>(percent))) + QLatin1Char('%');
}

PageBuilder::PageBuilder(const PageSettings& settings, int recordCount) : m_settings(settings) {
    for (std::size_t i = 0; i < m_labels.size(); ++i)
        m_labels[i] = escape(codepage::encode(settings.labels[i]));
    m_contents.reserve(static_cast<qsizetype>(recordCount) * 64 + 1024);
    line(m_contents, "<html>");
    line(m_contents, kStyleLink);
    line(m_contents, "<body>");
    line(m_contents, QByteArray("Available " + signNumber(recordCount) + " Records:"));
    line(m_contents, "<select style = 'background-color: black; color: white' size = '14' "
                     "onChange = 'if(options[selectedIndex].value) "
                     "parent.inlineFrameRecords.document.inlineRecords.location.href = "
                     "(options[selectedIndex].value)' >");

    m_records.reserve(static_cast<qsizetype>(recordCount) * 520 + 4096);
}

void PageBuilder::addName(int i, const char* record) {
    QByteArray& out = m_contents;
    out.append("<option value ='Records.htm#").append(number(i)).append("'>");
    const QByteArrayView first = field(record, PhoneRecord::FirstName);
    const QByteArrayView last = field(record, PhoneRecord::LastName);
    if (m_settings.sortedByLastName) {
        appendEscaped(out, last);
        out.append(", ");
        appendEscaped(out, first);
    } else {
        appendEscaped(out, first);
        out.append(' ');
        appendEscaped(out, last);
    }
    out.append("</option>").append(kEol);
}

void PageBuilder::beginRecords(const QString& appletType) {
    line(m_records, "<html>");
    line(m_records, kStyleLink);
    line(m_records, "<body>");
    line(m_records, "");
    const QByteArray applet = escape(codepage::encode(appletType));
    for (const char* l : kAppletLines) {
        const QByteArrayView text(l);
        if (const qsizetype at = text.indexOf("%S"); at >= 0)
            line(m_records,
                 QByteArray(text.first(at).toByteArray() + applet + text.sliced(at + 2).toByteArray()));
        else
            line(m_records, text);
    }
}

void PageBuilder::addRecord(int i, const char* record) {
    QByteArray& out = m_records;
    const QByteArray n = signNumber(i);
    out.append("<p><a name =").append(n).append(">").append(n).append("</a><br>").append(kEol);
    out.append("<table>").append(kEol);
    const auto row = [&](int label, PhoneRecord::Field f) {
        out.append("<tr><td>").append(m_labels[label]).append(":</td><td>");
        appendEscaped(out, field(record, f));
        out.append("</td></tr>").append(kEol);
    };
    row(0, PhoneRecord::FirstName);
    row(1, PhoneRecord::LastName);
    row(2, PhoneRecord::Phone);
    const QByteArrayView mail = field(record, PhoneRecord::EMail);
    out.append("<tr><td>").append(m_labels[3]).append(":</td><td><a href = 'mailto:");
    out.append(mailTarget(mail)).append("'>");
    appendEscaped(out, mail);
    out.append("</a></td></tr>").append(kEol);
    row(4, PhoneRecord::Company);
    row(5, PhoneRecord::Address);
    row(6, PhoneRecord::Comments);
    out.append("</table></p><br><br><br><br><br><br>").append(kEol).append(kEol);
}

std::array<QByteArray, PageCount> PageBuilder::finish() {
    std::array<QByteArray, PageCount> pages;
    const QByteArray link = folderLink(m_settings.folder);

    pages[Title] =
        joinLines({"<html>", kStyleLink,
                   "<body><font color = '#123456'><center><H1><a target = 'inlineRecords' "
                   "href = 'Records.htm#Top'>",
                   "<img border = '0' src = 'Dorvane2.ico'></a><br>Web Phonebook</H1></center></font>",
                   "<H5><center><i><SCRIPT>",
                   "document.write('File Created Date: ' + document.fileCreatedDate + '<BR>' + "
                   "'Last Update: ' + document.lastModified);",
                   "</SCRIPT></i></center></H5>", "</body>", "</html>"});

    line(m_contents, "</select><br><br>");
    line(m_contents, "");
    line(m_contents, "</body>");
    m_contents.append("</html>");
    pages[Contents] = std::move(m_contents);

    line(m_records, "");
    line(m_records, "<br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><hr>");
    line(m_records, "");
    line(m_records, "");
    line(m_records, "</body>");
    m_records.append("</html>");
    pages[Records] = std::move(m_records);

    pages[InlineFrame] = joinLines(
        {"<html>", "<body bgcolor = 'black'>",
         QByteArray(
             "<center><iframe src = '" + link +
             "Records.htm' name = 'inlineRecords'width = '600' height ='300' frameborder = 'no'  "
             "scrolling = 'no' align = middle>Your browser cannot display inline frames.</iframe></center>"),
         "</body>", "</html>"});

    pages[Frameset] = joinLines(
        {"<head>", "<title>Web Phonebook</title>",
         "<meta name = 'Dorvane2 Web Phonebook' content = 'A phonebook html page generated by Dorvane2 "
         "application from Brenmoor'></head>",
         "<frameset rows ='24%,76%'  border=0>",
         QByteArray("<frame name = title src = '" + link + "Title.htm' noresize >"),
         "<frameset cols ='25%,75%'>", QByteArray("<frame name = contents src = '" + link + "Contents.htm'>"),
         QByteArray("<frame name = inlineFrameRecords src = '" + link + "InlineFrameRecords.htm'>"),
         "</frameset>", "<NoFrames>Your browser cannot display frames.</NoFrames>"});

    pages[StyleSheet] =
        joinLines({"body {background-color: black; color: white;}",
                   "table {border: 0; cellspacing: 8; cellpadding: 8;}", "td {font-size: 19px;}",
                   "a:link {color: white;}", "a:active {color: green;}", "a:visited {color: #999966;}",
                   "a:hover {color: red; font-size: large;}"},
                  true);
    return pages;
}

std::array<QByteArray, PageCount> buildPages(const QByteArray& book, int count,
                                             const PageSettings& settings) {
    QByteArray padded = book;
    const qsizetype need = static_cast<qsizetype>(count) * PhoneRecord::kLength;
    if (padded.size() < need) padded.append(need - padded.size(), '\0');
    PageBuilder b(settings, count);
    const auto record = [&](int i) {
        return padded.constData() + static_cast<qsizetype>(i - 1) * PhoneRecord::kLength;
    };
    for (int i = 1; i <= count; ++i)
        b.addName(i, record(i));
    b.beginRecords(settings.appletType);
    for (int i = 1; i <= count; ++i)
        b.addRecord(i, record(i));
    return b.finish();
}

} // namespace pb::web
