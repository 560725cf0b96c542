// The RTF writer: every character outside 7-bit ASCII escaped, every picture written as PNG.
#include "platform/codepage.h"
#include "platform/rtf.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace pb::rtf {

namespace {

// Twips per pixel at the desktop's 96 dots per inch.
constexpr double kTwipsPerPixel = 15.0;

bool plainAscii(char16_t v) {
    return v >= 0x20 && v < 0x7F && v != '\\' && v != '{' && v != '}';
}

// The most bytes one character takes: "\\u-32768\\'hh".
constexpr qsizetype kMaxEscape = 12;

char* put(char* dst, const char* text) {
    while (*text)
        *dst++ = *text++;
    return dst;
}

// Writes one character that is not plain ASCII; returns the end of what it wrote.
char* escapeOne(char* dst, QChar ch) {
    const char16_t u = ch.unicode();
    if (u == '\\' || u == '{' || u == '}') {
        *dst++ = '\\';
        *dst++ = static_cast<char>(u);
        return dst;
    }
    if (u == '\t') return put(dst, "\\tab ");
    if (u == 0x2028 || u == 0x2029 || u == '\n') return put(dst, "\\line ");
    if (u == QChar::ObjectReplacementCharacter) return dst; // pictures are written from their own format
    // \uN with its signed 16-bit number, then what an older reader shows instead.
    dst = put(dst, "\\u");
    char digits[8];
    int value = static_cast<int16_t>(u);
    if (value < 0) {
        *dst++ = '-';
        value = -value;
    }
    int len = 0;
    do {
        digits[len++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (len > 0)
        *dst++ = digits[--len];
    // Below 0x80 and from 0xA0 to 0xFF the code page is Latin-1; only the rest needs a look-up.
    unsigned char b = '?';
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        b = static_cast<unsigned char>(u);
    else if (codepage::representable(QStringView(&ch, 1)))
        b = static_cast<unsigned char>(codepage::encode(QStringView(&ch, 1))[0]);
    // Always as a hex escape: some readers drop the character after a fallback written as itself.
    static const char hex[] = "0123456789abcdef";
    *dst++ = '\\';
    *dst++ = '\'';
    *dst++ = hex[b >> 4];
    *dst++ = hex[b & 15];
    return dst;
}

// Writes the text at `dst`, which has room for kMaxEscape bytes a character.
char* escapeInto(char* dst, QStringView text) {
    const char16_t* src = reinterpret_cast<const char16_t*>(text.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (plainAscii(src[i]))
            *dst++ = static_cast<char>(src[i]);
        else
            dst = escapeOne(dst, text[i]);
    }
    return dst;
}

// Room for the longest spelling is made a slice at a time, so a huge paragraph never asks for twelve times
// its size.
constexpr qsizetype kSlice = 4096;

void escapeText(QByteArray& out, QStringView text) {
    for (qsizetype from = 0; from < text.size(); from += kSlice) {
        const QStringView slice = text.mid(from, std::min(kSlice, text.size() - from));
        const qsizetype start = out.size();
        out.resize(start + slice.size() * kMaxEscape);
        char* end = escapeInto(out.data() + start, slice);
        out.resize(end - out.constData());
    }
}

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc) {}

    QByteArray run() {
        // Room for the text and what each paragraph adds, so the buffer grows once.
        const qsizetype room =
            static_cast<qsizetype>(m_doc.characterCount()) + m_doc.blockCount() * 48 + 4096;
        // The characters by position, read once, in place of a copy per fragment.
        const QString raw = m_doc.toRawText();
        if (isUniform()) {
            // The one run's font and colours are known first: the header can go ahead of the text.
            const QByteArray runStart = '{' + runFormat(m_doc.begin().charFormat()) + ' ';
            QByteArray out = header();
            out.reserve(out.size() + room);
            uniformBody(out, raw, runStart);
            out.append("}\n");
            return out;
        }
        QByteArray body;
        body.reserve(room);
        mixedBody(body, raw);
        return header() + body + "}\n";
    }

private:
    // Every character format spelled the same, no picture and only left-aligned paragraphs (a plain text,
    // say): the same bytes as the general way, without visiting every fragment.
    bool isUniform() const {
        Writer scratch(m_doc); // spelling formats out adds to the tables: not to this writer's
        QByteArray only;
        for (const QTextFormat& f : m_doc.allFormats()) {
            if (f.isBlockFormat() && f.hasProperty(QTextFormat::BlockAlignment) &&
                (f.toBlockFormat().alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignLeft) != 0)
                return false;
            if (!f.isCharFormat()) continue;
            if (f.isImageFormat()) return false;
            const QByteArray spelled = scratch.runFormat(f.toCharFormat());
            if (only.isEmpty())
                only = spelled;
            else if (spelled != only)
                return false;
        }
        return !only.isEmpty();
    }

    void uniformBody(QByteArray& body, const QString& raw, const QByteArray& run) {
        const char16_t* src = reinterpret_cast<const char16_t*>(raw.constData());
        const qsizetype n = raw.size();
        qsizetype from = 0;
        for (;;) {
            qsizetype end = from;
            while (end < n && src[end] != QChar::ParagraphSeparator)
                ++end;
            // A paragraph goes straight into the buffer, with room for its longest spelling.
            const qsizetype length = end - from;
            const bool whole = length <= kSlice;
            const qsizetype start = body.size();
            body.resize(start + run.size() + (whole ? length * kMaxEscape : 0) + 24);
            char* dst = body.data() + start;
            if (from > 0) dst = put(dst, "\\par\n");
            dst = put(dst, "\\pard\\ql ");
            if (length > 0) {
                std::memcpy(dst, run.constData(), static_cast<std::size_t>(run.size()));
                dst += run.size();
                if (!whole) {
                    body.resize(dst - body.constData());
                    escapeText(body, QStringView(raw).mid(from, length));
                    body.append('}');
                    if (end >= n) break;
                    from = end + 1;
                    continue;
                }
                dst = escapeInto(dst, QStringView(raw).mid(from, length));
                *dst++ = '}';
            }
            body.resize(dst - body.constData());
            if (end >= n) break;
            from = end + 1;
        }
    }

    void mixedBody(QByteArray& body, const QString& raw) {
        bool first = true;
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
            if (!first) body.append("\\par\n");
            first = false;
            body.append("\\pard");
            const Qt::Alignment a = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
            body.append(a & Qt::AlignRight     ? "\\qr"
                        : a & Qt::AlignHCenter ? "\\qc"
                        : a & Qt::AlignJustify ? "\\qj"
                                               : "\\ql");
            body.append(' ');
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment frag = it.fragment();
                if (!frag.isValid()) continue;
                const QTextCharFormat f = frag.charFormat();
                if (f.isImageFormat()) {
                    picture(body, f.toImageFormat(), frag.length());
                    continue;
                }
                // Most fragments share a few formats: each is spelled out once.
                auto known = m_runFormats.find(frag.charFormatIndex());
                if (known == m_runFormats.end())
                    known = m_runFormats.emplace(frag.charFormatIndex(), '{' + runFormat(f) + ' ').first;
                body.append(known->second);
                const qsizetype at = frag.position();
                if (at >= 0 && at + frag.length() <= raw.size())
                    escapeText(body, QStringView(raw).mid(at, frag.length()));
                else
                    escapeText(body, frag.text());
                body.append('}');
            }
        }
    }

    QByteArray header() const {
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        for (std::size_t i = 0; i < m_fonts.size(); ++i) {
            out.append("{\\f" + QByteArray::number(qsizetype(i)) + "\\fnil ");
            escapeText(out, m_fonts[i]);
            out.append(";}");
        }
        out.append("}\n{\\colortbl;");
        for (const QColor& c : m_colors)
            out.append("\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
                       "\\blue" + QByteArray::number(c.blue()) + ";");
        out.append("}\n");
        return out;
    }

    int fontIndex(const QString& family) {
        for (std::size_t i = 0; i < m_fonts.size(); ++i)
            if (m_fonts[i] == family) return static_cast<int>(i);
        m_fonts.push_back(family);
        return static_cast<int>(m_fonts.size()) - 1;
    }
    int colorIndex(const QColor& c) {
        const QRgb rgb = c.rgb();
        for (std::size_t i = 0; i < m_colors.size(); ++i)
            if (m_colors[i].rgb() == rgb) return static_cast<int>(i) + 1;
        m_colors.push_back(c);
        return static_cast<int>(m_colors.size());
    }

    QByteArray runFormat(const QTextCharFormat& f) {
        const QFont base = m_doc.defaultFont();
        const QStringList families = f.fontFamilies().toStringList();
        const QString family = !families.isEmpty() ? families.first() : base.family();
        double points = f.fontPointSize();
        if (points <= 0) points = base.pointSizeF() > 0 ? base.pointSizeF() : 12;
        QByteArray s = "\\f" + QByteArray::number(fontIndex(family)) + "\\fs" +
                       QByteArray::number(std::clamp(static_cast<int>(std::lround(points * 2)), 2, 3276));
        if (f.fontWeight() >= QFont::DemiBold) s.append("\\b");
        if (f.fontItalic()) s.append("\\i");
        if (f.fontUnderline()) s.append("\\ul");
        if (f.fontStrikeOut()) s.append("\\strike");
        if (f.foreground().style() != Qt::NoBrush)
            s.append("\\cf" + QByteArray::number(colorIndex(f.foreground().color())));
        if (f.background().style() != Qt::NoBrush)
            s.append("\\highlight" + QByteArray::number(colorIndex(f.background().color())));
        return s;
    }

    void picture(QByteArray& out, const QTextImageFormat& f, int count) {
        const QVariant res = m_doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
        QImage image = res.value<QImage>();
        if (image.isNull()) image = res.value<QPixmap>().toImage();
        for (int k = 0; k < count; ++k) {
            if (image.isNull()) {
                escapeText(out, kPicturePlaceholder);
                continue;
            }
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            const double w = f.width() > 0 ? f.width() : image.width();
            const double h = f.height() > 0 ? f.height() : image.height();
            out.append("{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
                       QByteArray::number(image.height()) + "\\picwgoal" +
                       QByteArray::number(std::lround(w * kTwipsPerPixel)) + "\\pichgoal" +
                       QByteArray::number(std::lround(h * kTwipsPerPixel)) + "\n");
            const QByteArray hex = png.toHex();
            for (qsizetype i = 0; i < hex.size(); i += 128) {
                out.append(hex.constData() + i, std::min<qsizetype>(128, hex.size() - i));
                out.append('\n');
            }
            out.append('}');
        }
    }

    const QTextDocument& m_doc;
    std::unordered_map<int, QByteArray> m_runFormats;
    std::vector<QString> m_fonts;
    std::vector<QColor> m_colors;
};

} // namespace

QByteArray write(const QTextDocument& doc) {
    return Writer(doc).run();
}

} // namespace pb::rtf
