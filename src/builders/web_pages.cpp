#include "builders/web_pages.h"

#include "data/phone_record.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

namespace pb::web {

namespace {

constexpr QByteArrayView kEol = "\r\n";
// The pages are written in the book's code page: without this a browser guesses, and reads
// names whose bytes happen to form UTF-8 as other letters.
constexpr QByteArrayView kCharsetMeta =
    "<meta http-equiv = 'Content-Type' content = 'text/html; charset=windows-1252'>";
const QByteArray kCharsetHead = "<head>" + kCharsetMeta.toByteArray() + "</head>";
const QByteArray kStyleLink =
    "<head>" + kCharsetMeta.toByteArray() +
    "<link href = 'Dorvane2StyleSheet.css' rel = 'stylesheet' type = 'text/css'></head>";

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

void line(ByteSink& out, QByteArrayView text) {
    out << text << kEol;
}

// A field's bytes with blanks removed from both ends. Fields are mostly padding:
// the blanks at the end are skipped eight at a time.
QByteArrayView field(const char* record, PhoneRecord::Field f) {
    const auto [offset, width] = PhoneRecord::kLayout[f];
    const char* begin = record + offset;
    const char* end = begin + width;
    while (end - begin >= 8 && std::memcmp(end - 8, "        ", 8) == 0)
        end -= 8;
    while (end > begin && end[-1] == ' ')
        --end;
    while (begin < end && *begin == ' ')
        ++begin;
    return QByteArrayView(begin, end - begin);
}

const char* entityOf(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

// The bytes that mark-up gives a meaning to.
constexpr auto kSpecial = [] {
    std::array<bool, 256> t{};
    for (const unsigned char c : {'&', '<', '>', '"', '\''})
        t[c] = true;
    return t;
}();

// What a sink would be given, counted only.
struct ByteCount {
    qsizetype n = 0;
    ByteCount& operator<<(QByteArrayView v) {
        n += v.size();
        return *this;
    }
    ByteCount& operator<<(char) {
        ++n;
        return *this;
    }
};

// Writes into room made ready beforehand, never past its end.
struct ByteSpan {
    char* at;
    char* end;
    ByteSpan& operator<<(QByteArrayView v) {
        if (v.size() > end - at) throw PartChanged();
        std::memcpy(at, v.data(), static_cast<std::size_t>(v.size()));
        at += v.size();
        return *this;
    }
    ByteSpan& operator<<(char c) {
        if (at == end) throw PartChanged();
        *at++ = c;
        return *this;
    }
};

template <typename Out> void appendEscaped(Out& out, QByteArrayView text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!kSpecial[static_cast<unsigned char>(text[i])]) continue;
        const char* entity = entityOf(text[i]);
        out << text.sliced(start, i - start) << entity;
        start = i + 1;
    }
    out << text.sliced(start);
}

// The decimal digits of a number, with a blank in the place of the sign when `signPlace`.
struct Digits {
    Digits(long long value, bool signPlace) {
        char* p = buf;
        if (signPlace && value >= 0) *p++ = ' ';
        p = std::to_chars(p, buf + sizeof buf, value).ptr;
        len = p - buf;
    }
    operator QByteArrayView() const { return QByteArrayView(buf, len); }
    char buf[24];
    qsizetype len;
};

bool plainMailByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '@' || c == '+';
}

} // namespace

QByteArray ByteSink::take() {
    m_buf.resize(m_len);
    m_data = nullptr;
    m_len = m_cap = 0;
    return std::exchange(m_buf, {});
}

char* ByteSink::extend(qsizetype n) {
    reserve(m_len + n);
    char* at = m_data + m_len;
    m_len += n;
    return at;
}

void ByteSink::grow(qsizetype more) {
    m_cap = std::max({m_cap * 2, m_len + more, qsizetype(4096)});
    m_buf.resize(m_cap);
    m_data = m_buf.data();
}

QByteArray escape(QByteArrayView text) {
    ByteSink out;
    appendEscaped(out, text);
    return out.take();
}

QByteArray mailTarget(QByteArrayView address) {
    if (std::all_of(address.begin(), address.end(), plainMailByte)) return address.toByteArray();
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
    char buf[160];
    const std::size_t head = std::min(std::strlen(what), sizeof buf - 48);
    std::memcpy(buf, what, head);
    char* p = buf + head;
    const Digits number(i, true);
    const Digits pc(static_cast<long long>(percent), true);
    std::memcpy(p, number.buf, static_cast<std::size_t>(number.len));
    p += number.len;
    std::memcpy(p, ".   Completed: ", 15);
    p += 15;
    std::memcpy(p, pc.buf, static_cast<std::size_t>(pc.len));
    p += pc.len;
    *p++ = '%';
    return QString::fromLatin1(buf, p - buf);
}

PageBuilder::PageBuilder(const PageSettings& settings, int recordCount) : m_settings(settings) {
    for (std::size_t i = 0; i < m_labels.size(); ++i)
        m_labels[i] = escape(codepage::encode(settings.labels[i]));
    m_contents.reserve(static_cast<qsizetype>(recordCount) * 64 + 1024);
    line(m_contents, "<html>");
    line(m_contents, kStyleLink);
    line(m_contents, "<body>");
    m_contents << "Available " << Digits(recordCount, true) << " Records:" << kEol;
    line(m_contents, "<select style = 'background-color: black; color: white' size = '14' "
                     "onChange = 'if(options[selectedIndex].value) "
                     "parent.inlineFrameRecords.document.inlineRecords.location.href = "
                     "(options[selectedIndex].value)' >");

    // The records' own room is made once they are measured (makeRoom).
    m_records.reserve(4096);
}

void PageBuilder::addName(int i, const char* record) {
    writeName(m_contents, i, record);
}

void PageBuilder::addRecord(int i, const char* record) {
    writeRecord(m_records, i, record);
}

PartSize PageBuilder::measure(const char* records, int first, int last) const {
    ByteCount names, blocks;
    for (int i = first; i <= last; ++i, records += PhoneRecord::kLength) {
        writeName(names, i, records);
        writeRecord(blocks, i, records);
    }
    return {names.n, blocks.n};
}

std::vector<PageBuilder::Room> PageBuilder::makeRoom(const std::vector<PartSize>& parts) {
    qsizetype names = 0;
    qsizetype records = 0;
    for (const PartSize& p : parts) {
        names += p.names;
        records += p.records;
    }
    // Room for the foot lines too: the page must not move while the parts are written.
    m_contents.reserve(m_contents.size() + names + 1024);
    m_records.reserve(m_records.size() + records + 1024);
    char* n = m_contents.extend(names);
    char* r = m_records.extend(records);
    std::vector<Room> room;
    for (const PartSize& p : parts) {
        room.push_back({n, n + p.names, r, r + p.records});
        n += p.names;
        r += p.records;
    }
    return room;
}

void PageBuilder::writeInto(Room& room, const char* records, int first, int last) const {
    ByteSpan n{room.names, room.namesEnd}, b{room.records, room.recordsEnd};
    for (int i = first; i <= last; ++i, records += PhoneRecord::kLength) {
        writeName(n, i, records);
        writeRecord(b, i, records);
    }
    room.names = n.at;
    room.records = b.at;
}

template <typename Out> void PageBuilder::writeName(Out& out, int i, const char* record) const {
    out << "<option value ='Records.htm#" << Digits(i, false) << "'>";
    const QByteArrayView first = field(record, PhoneRecord::FirstName);
    const QByteArrayView last = field(record, PhoneRecord::LastName);
    if (m_settings.sortedByLastName) {
        appendEscaped(out, last);
        out << ", ";
        appendEscaped(out, first);
    } else {
        appendEscaped(out, first);
        out << ' ';
        appendEscaped(out, last);
    }
    out << "</option>" << kEol;
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

template <typename Out> void PageBuilder::writeRecord(Out& out, int i, const char* record) const {
    const Digits n(i, true);
    out << "<p><a name =" << n << ">" << n << "</a><br>" << kEol << "<table>" << kEol;
    const auto row = [&](int label, PhoneRecord::Field f) {
        out << "<tr><td>" << m_labels[static_cast<std::size_t>(label)] << ":</td><td>";
        appendEscaped(out, field(record, f));
        out << "</td></tr>" << kEol;
    };
    row(0, PhoneRecord::FirstName);
    row(1, PhoneRecord::LastName);
    row(2, PhoneRecord::Phone);
    const QByteArrayView mail = field(record, PhoneRecord::EMail);
    out << "<tr><td>" << m_labels[3] << ":</td><td><a href = 'mailto:";
    if (std::all_of(mail.begin(), mail.end(), plainMailByte))
        out << mail;
    else
        out << mailTarget(mail);
    out << "'>";
    appendEscaped(out, mail);
    out << "</a></td></tr>" << kEol;
    row(4, PhoneRecord::Company);
    row(5, PhoneRecord::Address);
    row(6, PhoneRecord::Comments);
    out << "</table></p><br><br><br><br><br><br>" << kEol << kEol;
}

std::array<QByteArray, PageCount> PageBuilder::finish() {
    std::array<QByteArray, PageCount> pages;
    const QByteArray link = folderLink(m_settings.folder);

    pages[Title] = joinLines(
        {"<html>", kStyleLink,
         "<body><font color = '#123456'><center><H1><a target = 'inlineRecords' "
         "href = 'Records.htm#Top'>",
         "<img border = '0' src = 'Dorvane2.ico'></a><br>Web Phonebook</H1></center></font>",
         "<H5><center><i><SCRIPT>",
         // Browsers of today know no creation date of a page: its modification date stands in.
         "document.write('File Created Date: ' + (document.fileCreatedDate || document.lastModified) + "
         "'<BR>' + 'Last Update: ' + document.lastModified);",
         "</SCRIPT></i></center></H5>", "</body>", "</html>"});

    line(m_contents, "</select><br><br>");
    line(m_contents, "");
    line(m_contents, "</body>");
    m_contents << "</html>";
    pages[Contents] = m_contents.take();

    line(m_records, "");
    line(m_records, "<br><br><br><br><br><br><br><br><br><br><br><br><br><br><br><hr>");
    line(m_records, "");
    line(m_records, "");
    line(m_records, "</body>");
    m_records << "</html>";
    pages[Records] = m_records.take();

    pages[InlineFrame] = joinLines(
        {"<html>", kCharsetHead, "<body bgcolor = 'black'>",
         QByteArray(
             "<center><iframe src = '" + link +
             "Records.htm' name = 'inlineRecords'width = '600' height ='300' frameborder = 'no'  "
             "scrolling = 'no' align = middle>Your browser cannot display inline frames.</iframe></center>"),
         "</body>", "</html>"});

    pages[Frameset] = joinLines(
        {"<head>", kCharsetMeta, "<title>Web Phonebook</title>",
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
