#include "platform/rtf.h"

#include "platform/codepage.h"
#include "platform/picture_file.h"

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace pb::rtf {

bool isRtf(const QByteArray& bytes) {
    return bytes.startsWith("{\\rtf");
}

QString decodePlainText(const QByteArray& bytes) {
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) text = codepage::decode(bytes);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

namespace {

// Groups nest no deeper than this; anything deeper is read as plain content of the last level.
constexpr int kMaxDepth = 200;
// Twips per pixel at the desktop's 96 dots per inch.
constexpr double kTwipsPerPixel = 15.0;

enum class Dest { Text, FontTable, ColorTable, Picture, Skip };

struct CharState {
    int font = -1;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int fore = 0;  // colour table index, 0 the automatic colour
    int back = -1; // -1 none
    int align = 0; // 0 left, 1 right, 2 centre, 3 justified
    int uc = 1;
    bool inTable = false; // the paragraph is in a table's cell
    Dest dest = Dest::Text;
};

struct Picture {
    enum Kind { None, Png, Jpeg, Other } kind = None;
    QByteArray data;
    int hexHigh = -1;
    int goalW = 0, goalH = 0, picW = 0, picH = 0;
    int scaleX = 100, scaleY = 100;
};

class Reader {
public:
    Reader(const QByteArray& bytes, QTextDocument& doc) : m_in(bytes), m_doc(doc), m_cursor(&doc) {}

    void run() {
        m_doc.clear();
        m_cursor = QTextCursor(&m_doc);
        m_cursor.beginEditBlock();
        m_stack.push_back(CharState{});
        while (m_pos < m_in.size())
            step();
        flush();
        if (std::exchange(m_cellPar, false)) breakParagraph(m_cellParAlign);
        applyBlockFormat(m_blockAlign);
        m_cursor.endEditBlock();
    }

private:
    CharState& st() { return m_stack.back(); }

    void step() {
        const char c = m_in[m_pos++];
        switch (c) {
        case '{':
            flush();
            if (static_cast<int>(m_stack.size()) < kMaxDepth) {
                m_stack.push_back(st());
            } else {
                ++m_excess;
            }
            return;
        case '}':
            flush();
            if (m_excess > 0) {
                --m_excess;
                return;
            }
            if (st().dest == Dest::Picture &&
                !(m_stack.size() > 1 && m_stack[m_stack.size() - 2].dest == Dest::Picture))
                endPicture();
            if (m_stack.size() > 1) m_stack.pop_back();
            return;
        case '\\':
            control();
            return;
        case '\r':
        case '\n':
            return;
        default:
            text(static_cast<unsigned char>(c));
            return;
        }
    }

    void control() {
        if (m_pos >= m_in.size()) return;
        const char c = m_in[m_pos];
        if (!isAlpha(c)) {
            ++m_pos;
            symbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && isAlpha(m_in[m_pos]) && m_pos - start < 32)
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        int digits = 0;
        while (m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
            if (digits < 10) param = param * 10 + (m_in[m_pos] - '0');
            ++digits;
            ++m_pos;
        }
        hasParam = digits > 0;
        if (negative) param = -param;
        param = std::clamp<long long>(param, -2'000'000'000LL, 2'000'000'000LL);
        if (m_pos < m_in.size() && m_in[m_pos] == ' ') ++m_pos;
        keyword(word, hasParam, static_cast<int>(param));
    }

    static bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    void symbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            text(static_cast<unsigned char>(c));
            break;
        case '~':
            unicode(0xA0);
            break;
        case '_':
            text('-');
            break;
        case '\'': {
            const int hi = hexValue(m_pos < m_in.size() ? m_in[m_pos] : 0);
            const int lo = hexValue(m_pos + 1 < m_in.size() ? m_in[m_pos + 1] : 0);
            if (hi < 0 || lo < 0) break;
            m_pos += 2;
            if (m_skipChars > 0) {
                --m_skipChars;
                break;
            }
            byte(static_cast<unsigned char>(hi * 16 + lo));
            break;
        }
        case '*':
            // An optional destination: skipped unless it is one this reader knows.
            m_starred = true;
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default:
            break;
        }
    }

    static int hexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void keyword(const QByteArray& w, bool hasParam, int p) {
        CharState& s = st();
        const int on = hasParam ? p : 1;
        // A picture container keeps its picture; every other optional destination goes.
        if (std::exchange(m_starred, false) && w != "shppict") return setDest(Dest::Skip);
        // Destinations first: they change what the group's text means.
        if (w == "fonttbl") return setDest(Dest::FontTable);
        if (w == "colortbl") return setDest(Dest::ColorTable);
        if (w == "pict") {
            if (s.dest != Dest::Text) return setDest(Dest::Skip);
            m_pict = Picture{};
            return setDest(Dest::Picture);
        }
        static const char* const skipped[] = {"info",
                                              "stylesheet",
                                              "header",
                                              "footer",
                                              "headerl",
                                              "headerr",
                                              "headerf",
                                              "footerl",
                                              "footerr",
                                              "footerf",
                                              "footnote",
                                              "fldinst",
                                              "listtable",
                                              "listoverridetable",
                                              "rsidtbl",
                                              "generator",
                                              "xmlnstbl",
                                              "filetbl",
                                              "revtbl",
                                              "themedata",
                                              "colorschememapping",
                                              "latentstyles",
                                              "datastore",
                                              "nonshppict",
                                              "objdata",
                                              "pntext",
                                              "pntxta",
                                              "pntxtb",
                                              "comment",
                                              "annotation",
                                              "bkmkstart",
                                              "bkmkend",
                                              "private",
                                              "template",
                                              "userprops",
                                              "docvar",
                                              "mmathPr",
                                              "pgdsctbl",
                                              "shpinst"};
        for (const char* k : skipped)
            if (w == k) return setDest(Dest::Skip);
        if (s.dest == Dest::Skip) return;
        if (s.dest == Dest::Picture) return pictureWord(w, hasParam, p);
        if (s.dest == Dest::ColorTable) {
            if (w == "red") m_color.setRed(std::clamp(p, 0, 255));
            if (w == "green") m_color.setGreen(std::clamp(p, 0, 255));
            if (w == "blue") m_color.setBlue(std::clamp(p, 0, 255));
            m_colorSet = true;
            return;
        }
        if (s.dest == Dest::FontTable) {
            if (w == "f") m_fontIndex = p;
            return;
        }
        if (w == "par") return paragraph();
        // A table reads as its text: a tab between the cells of a row, the row a paragraph of its own.
        if (w == "cell" || w == "nestcell") {
            m_cellPar = false; // a paragraph's end right before is the cell's own
            ++m_cellEnds;
            return;
        }
        if (w == "row" || w == "nestrow") {
            m_cellPar = false;
            if (m_cellEnds > 0) --m_cellEnds; // the last cell's end is the row's
            endCells();
            return breakParagraph(st().align);
        }
        if (w == "intbl") {
            s.inTable = true;
            return;
        }
        if (w == "line") return unicode(0x2028);
        if (w == "tab") return text('\t');
        if (w == "pard") {
            s.align = 0;
            s.inTable = false;
            m_blockAlign = 0;
            return;
        }
        if (w == "plain") {
            const int align = s.align;
            const int uc = s.uc;
            const bool inTable = s.inTable;
            const Dest dest = s.dest;
            s = CharState{};
            s.align = align;
            s.uc = uc;
            s.inTable = inTable;
            s.dest = dest;
            return;
        }
        if (w == "ql")
            s.align = 0;
        else if (w == "qr")
            s.align = 1;
        else if (w == "qc")
            s.align = 2;
        else if (w == "qj")
            s.align = 3;
        else if (w == "b")
            s.bold = on != 0;
        else if (w == "i")
            s.italic = on != 0;
        else if (w == "ul")
            s.underline = on != 0;
        else if (w == "ulnone")
            s.underline = false;
        else if (w == "strike")
            s.strike = on != 0;
        else if (w == "f")
            s.font = p;
        else if (w == "fs")
            s.halfPoints = hasParam ? std::clamp(p, 2, 3276) : 24;
        else if (w == "cf")
            s.fore = p;
        else if (w == "cb" || w == "highlight")
            s.back = p > 0 ? p : -1;
        else if (w == "uc")
            s.uc = std::clamp(p, 0, 8);
        else if (w == "u") {
            unicode(static_cast<char16_t>(p < 0 ? p + 65536 : p));
            m_skipChars = s.uc;
        } else if (w == "emdash")
            unicode(0x2014);
        else if (w == "endash")
            unicode(0x2013);
        else if (w == "bullet")
            unicode(0x2022);
        else if (w == "lquote")
            unicode(0x2018);
        else if (w == "rquote")
            unicode(0x2019);
        else if (w == "ldblquote")
            unicode(0x201C);
        else if (w == "rdblquote")
            unicode(0x201D);
        else if (w == "bin")
            skipBinary(p);
    }

    void setDest(Dest d) {
        flush();
        if (st().dest == Dest::Text || d == Dest::Skip) st().dest = d;
    }

    void skipBinary(int n) {
        const qsizetype count = std::clamp<qsizetype>(n, 0, m_in.size() - m_pos);
        m_pos += count;
    }

    void pictureWord(const QByteArray& w, bool hasParam, int p) {
        if (w == "pngblip")
            m_pict.kind = Picture::Png;
        else if (w == "jpegblip")
            m_pict.kind = Picture::Jpeg;
        else if (w == "wmetafile" || w == "emfblip" || w == "macpict" || w == "dibitmap" || w == "wbitmap")
            m_pict.kind = Picture::Other;
        else if (w == "picwgoal")
            m_pict.goalW = std::max(0, p);
        else if (w == "pichgoal")
            m_pict.goalH = std::max(0, p);
        else if (w == "picw")
            m_pict.picW = std::max(0, p);
        else if (w == "pich")
            m_pict.picH = std::max(0, p);
        else if (w == "picscalex")
            m_pict.scaleX = std::clamp(p, 1, 1000);
        else if (w == "picscaley")
            m_pict.scaleY = std::clamp(p, 1, 1000);
        else if (w == "bin" && hasParam) {
            // Raw bytes: as many as were announced, but no more than there are.
            const qsizetype count = std::clamp<qsizetype>(p, 0, m_in.size() - m_pos);
            m_pict.data.append(m_in.constData() + m_pos, count);
            m_pos += count;
        }
    }

    void endPicture() {
        Picture pict = std::move(m_pict);
        m_pict = Picture{};
        if (pict.kind == Picture::Png || pict.kind == Picture::Jpeg) {
            // The document's pictures share one budget of memory and CPU.
            QImage image = decodePicture(pict.data, {pict.kind == Picture::Png ? "png" : "jpeg", false, {}},
                                         m_pictureBudget);
            if (!image.isNull()) return insertImage(std::move(image), pict);
        }
        if (pict.kind != Picture::None || !pict.data.isEmpty()) {
            CharState plain = st();
            plain.dest = Dest::Text;
            endCells();
            insertRun(kPicturePlaceholder, plain);
        }
    }

    void insertImage(QImage&& image, const Picture& pict) {
        endCells();
        const QString name = QStringLiteral("rtfpicture:%1").arg(++m_pictures);
        const QSize size = image.size();
        m_doc.addResource(QTextDocument::ImageResource, QUrl(name), shownPicture(std::move(image)));
        QTextImageFormat f;
        f.setName(name);
        const double w = pict.goalW > 0 ? pict.goalW / kTwipsPerPixel : size.width();
        const double h = pict.goalH > 0 ? pict.goalH / kTwipsPerPixel : size.height();
        f.setWidth(std::min(w * pict.scaleX / 100.0, 20000.0));
        f.setHeight(std::min(h * pict.scaleY / 100.0, 20000.0));
        m_cursor.insertImage(f);
        m_blockAlign = st().align;
    }

    void text(unsigned char c) {
        switch (st().dest) {
        case Dest::Text:
            if (m_skipChars > 0) {
                --m_skipChars;
                return;
            }
            byte(c);
            return;
        case Dest::FontTable:
            if (c == ';') {
                if (m_fontIndex >= 0) m_fonts[m_fontIndex] = m_fontName.trimmed();
                m_fontName.clear();
            } else if (m_fontName.size() < 256) {
                m_fontName.append(codepage::decode(reinterpret_cast<const char*>(&c), 1));
            }
            return;
        case Dest::ColorTable:
            if (c == ';') {
                m_colors.push_back(m_colorSet ? m_color : QColor());
                m_color = QColor(0, 0, 0);
                m_colorSet = false;
            }
            return;
        case Dest::Picture: {
            const int v = hexValue(static_cast<char>(c));
            if (v < 0) return;
            if (m_pict.hexHigh < 0) {
                m_pict.hexHigh = v;
            } else {
                m_pict.data.append(static_cast<char>(m_pict.hexHigh * 16 + v));
                m_pict.hexHigh = -1;
            }
            return;
        }
        case Dest::Skip:
            return;
        }
    }

    void byte(unsigned char b) {
        if (st().dest != Dest::Text) return;
        if (b < 0x80) {
            unicode(b);
            return;
        }
        const char c = static_cast<char>(b);
        pending(codepage::decode(&c, 1));
    }

    void unicode(char16_t u) {
        // The object mark stands for pictures only; as text it would be taken for one.
        if (st().dest != Dest::Text || u == QChar::ObjectReplacementCharacter) return;
        pending(QString(QChar(u)));
    }

    void pending(const QString& s) {
        if (m_cellPar || m_cellEnds > 0) settleCells();
        if (m_run.isEmpty()) m_runState = st();
        m_run += s;
    }

    // Content after the ends of cells or of a cell's paragraph: they were not the cell's or the row's end.
    void settleCells() {
        if (std::exchange(m_cellPar, false)) breakParagraph(m_cellParAlign);
        if (m_cellEnds == 0) return;
        if (m_run.isEmpty()) m_runState = st();
        m_run += QString(std::exchange(m_cellEnds, 0), QLatin1Char('\t'));
    }

    void endCells() {
        settleCells();
        flush();
    }

    void flush() {
        if (m_run.isEmpty()) return;
        insertRun(m_run, m_runState);
        m_run.clear();
    }

    void insertRun(const QString& s, const CharState& state) {
        QTextCharFormat f;
        const auto font = m_fonts.find(state.font);
        if (font != m_fonts.end() && !font->second.isEmpty()) f.setFontFamilies({font->second});
        f.setFontPointSize(state.halfPoints / 2.0);
        f.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(state.italic);
        f.setFontUnderline(state.underline);
        f.setFontStrikeOut(state.strike);
        if (state.fore > 0 && state.fore < static_cast<int>(m_colors.size()) &&
            m_colors[state.fore].isValid())
            f.setForeground(m_colors[state.fore]);
        if (state.back > 0 && state.back < static_cast<int>(m_colors.size()) &&
            m_colors[state.back].isValid())
            f.setBackground(m_colors[state.back]);
        m_cursor.insertText(s, f);
        m_blockAlign = state.align;
    }

    void paragraph() {
        if (st().dest != Dest::Text) return;
        endCells();
        if (st().inTable) {
            m_cellPar = true;
            m_cellParAlign = st().align;
            return;
        }
        breakParagraph(st().align);
    }

    void breakParagraph(int align) {
        flush();
        applyBlockFormat(align);
        m_cursor.insertBlock(QTextBlockFormat());
        m_blockAlign = align;
    }

    // Paragraph properties hold for the paragraph that ends with them.
    void applyBlockFormat(int align) {
        if (align == 0) return;
        static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                               Qt::AlignJustify};
        QTextBlockFormat bf = m_cursor.blockFormat();
        bf.setAlignment(kAlign[std::clamp(align, 0, 3)]);
        m_cursor.setBlockFormat(bf);
    }

    const QByteArray& m_in;
    qsizetype m_pos = 0;
    QTextDocument& m_doc;
    QTextCursor m_cursor;
    std::vector<CharState> m_stack;
    int m_excess = 0;
    bool m_starred = false;
    int m_skipChars = 0;
    // Ends of table cells, and of a paragraph in a cell, wait for what follows.
    int m_cellEnds = 0;
    bool m_cellPar = false;
    int m_cellParAlign = 0;
    QString m_run;
    CharState m_runState;
    int m_blockAlign = 0;
    std::map<int, QString> m_fonts;
    int m_fontIndex = -1;
    QString m_fontName;
    std::vector<QColor> m_colors;
    QColor m_color{0, 0, 0};
    bool m_colorSet = false;
    Picture m_pict;
    int m_pictures = 0;
    PictureBudget m_pictureBudget{kDocumentPictureBytes, kDocumentPictureCpuMicros};
};

} // namespace

void read(const QByteArray& bytes, QTextDocument& doc) {
    Reader(bytes, doc).run();
}

} // namespace pb::rtf
