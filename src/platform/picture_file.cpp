#include "platform/picture_file.h"

#include "platform/native_name.h"
#include "platform/vb_error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace pb {

namespace {

// The most a byte of coded data can stand for, in each format's densest coding:
// deflate expands at most 1032 times; a Huffman-coded JPEG spends at least one bit
// on every 8x8 block; a GIF code or a bitmap's run of a few bytes covers thousands of
// pixels; everything else (plain bitmaps, the text formats) no better than a bit a pixel.
constexpr qint64 kDeflateRatio = 1032;
constexpr qint64 kJpegPixelsPerByte = 512;
constexpr qint64 kRunPixelsPerByte = 16384;
constexpr qint64 kBitPixelsPerByte = 8;
// A picture file is read whole before it is checked: none the decoders take is this large.
constexpr qint64 kMostFileBytes = qint64(256) << 20;
// No header's size is taken beyond this many pixels (keeps the sums below in range).
constexpr qint64 kMostPixels = qint64(1) << 40;
// A JPEG decoder visits every block of a scan's components once per scan: about 45 ns a
// block in the slowest (refining) scans, so this many block visits take about a second.
// A photograph has at most a few dozen scans, far below it.
constexpr qint64 kMostBlockVisits = 20'000'000;
constexpr int kMostScans = 500;

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

class Bytes {
public:
    explicit Bytes(QByteArrayView b) : m_b(b) {}
    qsizetype size() const { return m_b.size(); }
    bool has(qsizetype at, qsizetype n) const {
        return at >= 0 && n >= 0 && at <= size() && n <= size() - at;
    }
    unsigned at(qsizetype i) const { return static_cast<unsigned char>(m_b[i]); }
    quint32 be32(qsizetype i) const {
        return quint32(at(i)) << 24 | at(i + 1) << 16 | at(i + 2) << 8 | at(i + 3);
    }
    quint32 be16(qsizetype i) const { return at(i) << 8 | at(i + 1); }
    quint32 le16(qsizetype i) const { return at(i) | at(i + 1) << 8; }
    quint32 le32(qsizetype i) const {
        return at(i) | at(i + 1) << 8 | at(i + 2) << 16 | quint32(at(i + 3)) << 24;
    }
    QByteArrayView view(qsizetype i, qsizetype n) const { return m_b.sliced(i, n); }
    bool startsWith(QByteArrayView prefix) const { return m_b.startsWith(prefix); }

private:
    QByteArrayView m_b;
};

// What a header claims, as far as the check reads it: the picture's size (empty where the
// decoder's own reading is taken alone), the memory the decoder keeps beside the picture,
// and the most pixels a byte of its data could stand for (0: already weighed here).
struct Claim {
    QSize size;
    qint64 working = 0;
    qint64 pixelsPerByte = 0;
};

QSize sizeOf(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        width * height > kMostPixels)
        return {};
    return QSize(int(width), int(height));
}

std::optional<Claim> pngClaim(const Bytes& b) {
    if (!b.startsWith(QByteArrayView(kPngSignature, 8))) return std::nullopt;
    qint64 width = 0, height = 0, idat = 0;
    int depth = 0, colour = -1, interlace = 0;
    bool header = false;
    for (qsizetype at = 8; b.has(at, 8);) {
        const quint32 length = b.be32(at);
        // The decoder allocates a chunk's length before reading it: every chunk must be there whole.
        if (length > 0x7FFFFFFFu || !b.has(at, qsizetype(length) + 12)) return std::nullopt;
        const QByteArrayView type = b.view(at + 4, 4);
        if (!header) {
            if (type != "IHDR" || length != 13) return std::nullopt;
            width = b.be32(at + 8);
            height = b.be32(at + 12);
            depth = int(b.at(at + 16));
            colour = int(b.at(at + 17));
            interlace = int(b.at(at + 20));
            header = true;
        } else if (type == "IDAT") {
            idat += length;
        } else if (type == "IEND") {
            break;
        }
        at += 12 + qsizetype(length);
    }
    const QSize size = sizeOf(width, height);
    if (!header || size.isEmpty()) return std::nullopt;
    static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    const int channels = colour >= 0 && colour <= 6 ? kChannels[colour] : 0;
    if (channels == 0 || (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16))
        return std::nullopt;
    const qint64 bits = qint64(channels) * depth;
    // The filtered rows the compressed data must unpack to, pass by pass when interlaced.
    qint64 raw = 0;
    const auto rows = [&](qint64 x0, qint64 y0, qint64 dx, qint64 dy) {
        const qint64 cols = width > x0 ? (width - x0 + dx - 1) / dx : 0;
        const qint64 lines = height > y0 ? (height - y0 + dy - 1) / dy : 0;
        if (cols > 0) raw += lines * (1 + (cols * bits + 7) / 8);
    };
    if (interlace == 0) {
        rows(0, 0, 1, 1);
    } else {
        rows(0, 0, 8, 8), rows(4, 0, 8, 8), rows(0, 4, 4, 8), rows(2, 0, 4, 4);
        rows(0, 2, 2, 4), rows(1, 0, 2, 2), rows(0, 1, 1, 2);
    }
    // Too little data for its rows, or more than any coding of them needs: the decoder would
    // unpack the rest too, up to a thousand times its size.
    if (raw > kDeflateRatio * idat || idat > raw + raw / 8 + 1024) return std::nullopt;
    return Claim{size, 0, 0};
}

// The next marker as a JPEG decoder finds it from `at` on: bytes up to an FF are passed
// over, FF fill bytes too, and FF 00 is data, not a marker. -1 at the end of the bytes.
int nextJpegMarker(const Bytes& b, qsizetype& at) {
    for (;;) {
        while (at < b.size() && b.at(at) != 0xFF)
            ++at;
        while (at < b.size() && b.at(at) == 0xFF)
            ++at;
        if (at >= b.size()) return -1;
        const unsigned code = b.at(at++);
        if (code != 0x00) return int(code);
    }
}

// Passes over a scan's coded data as the decoder reads it: FF 00 is data, FF D0-D7 restarts,
// anything else after an FF a marker, where `at` is left.
void skipCodedData(const Bytes& b, qsizetype& at) {
    while (at < b.size()) {
        if (b.at(at) != 0xFF) {
            ++at;
            continue;
        }
        if (at + 1 >= b.size()) {
            at = b.size();
            return;
        }
        const unsigned next = b.at(at + 1);
        if (next == 0xFF) {
            ++at;
        } else if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
            at += 2;
        } else {
            return;
        }
    }
}

std::optional<Claim> jpegClaim(const Bytes& b) {
    if (b.size() < 4 || b.at(0) != 0xFF || b.at(1) != 0xD8) return std::nullopt;
    struct Component {
        unsigned id;
        qint64 blocks;
    };
    std::vector<Component> components;
    qint64 width = 0, height = 0, blockVisits = 0;
    bool frame = false, progressive = false;
    int scans = 0;
    for (qsizetype at = 2;;) {
        const int code = nextJpegMarker(b, at);
        if (code < 0 || code == 0xD9) break; // the decoder takes the end of the bytes for the end
        if (code == 0xD8) return std::nullopt;
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;
        if (!b.has(at, 2)) return std::nullopt;
        const qsizetype length = b.be16(at);
        if (length < 2 || !b.has(at, length)) return std::nullopt;
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            // The frame: its size and, per component, how many 8x8 blocks the decoder keeps.
            if (frame || length < 8) return std::nullopt;
            frame = true;
            progressive = code == 0xC2 || code == 0xC6 || code == 0xCA || code == 0xCE;
            height = b.be16(at + 3);
            width = b.be16(at + 5);
            const int count = int(b.at(at + 7));
            if (count == 0 || length != 8 + 3 * count) return std::nullopt;
            unsigned hMax = 1, vMax = 1;
            for (int i = 0; i < count; ++i) {
                const unsigned hv = b.at(at + 9 + 3 * i);
                if ((hv >> 4) == 0 || (hv & 15) == 0) return std::nullopt;
                hMax = std::max(hMax, hv >> 4);
                vMax = std::max(vMax, hv & 15);
            }
            for (int i = 0; i < count; ++i) {
                const unsigned hv = b.at(at + 9 + 3 * i);
                const qint64 cols = ((width * (hv >> 4) + hMax - 1) / hMax + 7) / 8;
                const qint64 rows = ((height * (hv & 15) + vMax - 1) / vMax + 7) / 8;
                components.push_back({b.at(at + 8 + 3 * i), cols * rows});
            }
        } else if (code == 0xDA) {
            // A scan: the decoder visits every block of its components.
            if (!frame || length < 3 || ++scans > kMostScans) return std::nullopt;
            const int count = int(b.at(at + 2));
            if (length < 6 + 2 * count) return std::nullopt;
            for (int i = 0; i < count; ++i) {
                const unsigned id = b.at(at + 3 + 2 * i);
                for (const Component& c : components)
                    if (c.id == id) blockVisits += c.blocks;
            }
            if (blockVisits > kMostBlockVisits) return std::nullopt;
            at += length;
            skipCodedData(b, at);
            continue;
        }
        at += length;
    }
    const QSize size = sizeOf(width, height);
    if (!frame || scans == 0 || size.isEmpty()) return std::nullopt;
    // More than one scan: every coefficient of the picture is kept until the last, two bytes each.
    qint64 working = 0;
    if (progressive || scans > 1)
        for (const Component& c : components)
            working += c.blocks * 64 * 2;
    return Claim{size, working, kJpegPixelsPerByte};
}

std::optional<Claim> gifClaim(const Bytes& b) {
    if (!b.has(0, 13) || (!b.startsWith("GIF87a") && !b.startsWith("GIF89a"))) return std::nullopt;
    qint64 width = b.le16(6), height = b.le16(8);
    const unsigned flags = b.at(10);
    qsizetype at = 13;
    if (flags & 0x80) at += qsizetype(3) << ((flags & 7) + 1);
    // Extensions up to the first picture, each sub-block within the bytes.
    for (;;) {
        if (!b.has(at, 1)) return std::nullopt;
        const unsigned c = b.at(at++);
        if (c == 0x2C) break;
        if (c != 0x21 || !b.has(at, 1)) return std::nullopt;
        ++at;
        for (;;) {
            if (!b.has(at, 1)) return std::nullopt;
            const qsizetype n = b.at(at++);
            if (n == 0) break;
            if (!b.has(at, n)) return std::nullopt;
            at += n;
        }
    }
    if (!b.has(at, 9)) return std::nullopt;
    width = std::max<qint64>(width, qint64(b.le16(at)) + b.le16(at + 4));
    height = std::max<qint64>(height, qint64(b.le16(at + 2)) + b.le16(at + 6));
    const QSize size = sizeOf(width, height);
    if (size.isEmpty()) return std::nullopt;
    // The decoder keeps a second picture of the screen to restore what a frame covered.
    return Claim{size, width * height * 4, kRunPixelsPerByte};
}

// A bitmap's info header at `at`; `halfHeight` for an icon's picture, whose height counts its mask too.
std::optional<QSize> dibSize(const Bytes& b, qsizetype at, bool halfHeight) {
    if (!b.has(at, 12)) return std::nullopt;
    const quint32 header = b.le32(at);
    qint64 width = 0, height = 0;
    unsigned bpp = 0, compression = 0;
    if (header == 12) {
        width = b.le16(at + 4);
        height = b.le16(at + 6);
        bpp = b.le16(at + 10);
    } else if (header >= 40 && b.has(at, 40)) {
        width = qint32(b.le32(at + 4));
        height = qint32(b.le32(at + 8));
        bpp = b.le16(at + 14);
        compression = b.le32(at + 16);
    } else {
        return std::nullopt;
    }
    if (halfHeight) height /= 2;
    height = height < 0 ? -height : height;
    const QSize size = sizeOf(width, height);
    if (size.isEmpty() || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return std::nullopt;
    if (compression == 1 || compression == 2) { // run-length coded
        if (width * height > kRunPixelsPerByte * b.size()) return std::nullopt;
    } else if (compression == 0 || compression == 3 || compression == 6) {
        // Uncompressed rows: all of them must be there.
        if (((width * bpp + 31) / 32) * 4 * height > b.size()) return std::nullopt;
    } else {
        return std::nullopt;
    }
    return size;
}

std::optional<Claim> bmpClaim(const Bytes& b) {
    if (!b.startsWith("BM")) return std::nullopt;
    const std::optional<QSize> size = dibSize(b, 14, false);
    if (!size) return std::nullopt;
    return Claim{*size, 0, 0};
}

std::optional<Claim> icoClaim(const Bytes& b) {
    if (!b.has(0, 6) || b.le16(0) != 0 || (b.le16(2) != 1 && b.le16(2) != 2)) return std::nullopt;
    const qsizetype count = b.le16(4);
    if (count == 0 || !b.has(6, count * 16)) return std::nullopt;
    QSize most;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype entry = 6 + i * 16;
        const qsizetype length = b.le32(entry + 8), offset = b.le32(entry + 12);
        if (!b.has(offset, length)) return std::nullopt;
        const Bytes picture(b.view(offset, length));
        QSize size;
        if (picture.startsWith(QByteArrayView(kPngSignature, 8))) {
            const std::optional<Claim> png = pngClaim(picture);
            if (!png) return std::nullopt;
            size = png->size;
        } else {
            const std::optional<QSize> dib = dibSize(picture, 0, true);
            if (!dib) return std::nullopt;
            size = *dib;
        }
        if (qint64(size.width()) * size.height() > qint64(most.width()) * most.height()) most = size;
    }
    return Claim{most, 0, 0};
}

QByteArray formatOf(const QByteArray& bytes, QBuffer& buffer) {
    const Bytes b(bytes);
    if (b.startsWith(QByteArrayView(kPngSignature, 8))) return "png";
    if (b.size() >= 3 && b.at(0) == 0xFF && b.at(1) == 0xD8 && b.at(2) == 0xFF) return "jpeg";
    if (b.startsWith("GIF8")) return "gif";
    if (b.startsWith("BM")) return "bmp";
    if (b.has(0, 4) && b.le16(0) == 0 && (b.le16(2) == 1 || b.le16(2) == 2)) return "ico";
    return QImageReader::imageFormat(&buffer);
}

// What the picture claims, or nothing when it may not be handed to its decoder. The other
// formats (the plain bitmap and text formats) say their size in a short header, which the
// decoder's own reading gives.
std::optional<Claim> claimOf(const QByteArray& bytes, const QByteArray& format) {
    const Bytes b(bytes);
    if (format == "png") return pngClaim(b);
    if (format == "jpeg" || format == "jpg") return jpegClaim(b);
    if (format == "gif") return gifClaim(b);
    if (format == "bmp" || format == "dib") return bmpClaim(b);
    if (format == "ico" || format == "cur") return icoClaim(b);
    return Claim{{}, 0, kBitPixelsPerByte};
}

// The decoder reads the first frame of an animation and one of an icon's pictures, which the
// check, reading them all, may find smaller than the largest.
bool sizeIsTheDecoders(const QByteArray& format) {
    return format != "gif" && format != "ico" && format != "cur";
}

// The decoders' own bound on one picture, the same wherever a picture is read.
void limitDecoders() {
    static const bool limited = [] {
        QImageReader::setAllocationLimit(int(kPictureBytes >> 20));
        return true;
    }();
    Q_UNUSED(limited);
}

} // namespace

QImage decodePicture(const QByteArray& bytes, const PictureOptions& options) {
    limitDecoders();
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    const QByteArray format = options.format.isEmpty() ? formatOf(bytes, buffer) : options.format.toLower();
    if (format.isEmpty()) return {};
    const std::optional<Claim> claim = claimOf(bytes, format);
    if (!claim) return {};
    // The size as the decoder itself reads it: where the check read another, the bytes are not
    // what they seem to it, and are not decoded.
    QImageReader probe(&buffer, format);
    const QSize read = probe.size();
    const QImage::Format out = probe.imageFormat();
    const bool turned = options.upright && probe.transformation() != QImageIOHandler::TransformationNone;
    buffer.seek(0);
    if (!read.isValid() || read.isEmpty()) return {};
    if (claim->size.isValid() && sizeIsTheDecoders(format) && claim->size != read) return {};
    const QSize size = read.expandedTo(claim->size);
    const qint64 pixels = qint64(size.width()) * size.height();
    if (claim->pixelsPerByte > 0 && pixels > claim->pixelsPerByte * bytes.size()) return {};
    // The picture at four bytes a pixel at least (it is drawn so), its upright copy, the working memory.
    const qint64 bytesPerPixel = std::max(4, QImage::toPixelFormat(out).bitsPerPixel() / 8);
    const qint64 cost = pixels * bytesPerPixel * (turned ? 2 : 1) + claim->working;
    if (cost > options.maxBytes) return {};
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(options.upright);
    return reader.read();
}

QImage readPicture(const QString& path, qint64 maxBytes) {
    const native::FileStat st = native::stat(path);
    if (!st.isFile) throw VbError(err::FileNotFound);
    if (st.size > kMostFileBytes) throw VbError(err::InvalidPicture);
    QFile file;
    if (!native::openForReading(file, path)) throw VbError(err::InvalidPicture);
    const QByteArray bytes = file.readAll();
    QImage image = decodePicture(bytes, {{}, maxBytes, true}); // photos stand the way the camera held them
    if (image.isNull()) throw VbError(err::InvalidPicture);
    return image;
}

} // namespace pb
