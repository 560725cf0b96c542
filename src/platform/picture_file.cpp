#include "platform/picture_file.h"

#include "platform/native_name.h"
#include "platform/vb_error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstring>

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

// Each function gives the pixels the picture's header claims, or -1 when the header
// does not fit in the bytes or claims more than they could hold.

qint64 pngPixels(const Bytes& b) {
    if (!b.startsWith(QByteArrayView(kPngSignature, 8))) return -1;
    qint64 width = 0, height = 0, idat = 0;
    int depth = 0, colour = -1, interlace = 0;
    bool header = false;
    for (qsizetype at = 8; b.has(at, 8);) {
        const quint32 length = b.be32(at);
        // The decoder allocates a chunk's length before reading it: every chunk must be there whole.
        if (length > 0x7FFFFFFFu || !b.has(at, qsizetype(length) + 12)) return -1;
        const QByteArrayView type = b.view(at + 4, 4);
        if (!header) {
            if (type != "IHDR" || length != 13) return -1;
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
    if (!header || width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        width * height > kMostPixels)
        return -1;
    static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    const int channels = colour >= 0 && colour <= 6 ? kChannels[colour] : 0;
    if (channels == 0 || (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)) return -1;
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
    if (raw > kDeflateRatio * idat) return -1;
    return width * height;
}

qint64 jpegPixels(const Bytes& b) {
    if (b.size() < 4 || b.at(0) != 0xFF || b.at(1) != 0xD8) return -1;
    qint64 width = 0, height = 0;
    for (qsizetype at = 2;;) {
        // Like the decoder, stray bytes before a marker are passed over.
        while (at < b.size() && b.at(at) != 0xFF)
            ++at;
        while (at < b.size() && b.at(at) == 0xFF)
            ++at;
        if (at >= b.size()) break;
        const unsigned code = b.at(at++);
        if (code == 0xD8 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;
        if (code == 0xD9) break;
        if (!b.has(at, 2)) return -1;
        const qsizetype length = b.be16(at);
        if (length < 2 || !b.has(at, length)) return -1;
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame) {
            if (length < 8) return -1;
            height = b.be16(at + 3);
            width = b.be16(at + 5);
        }
        if (code == 0xDA) break; // the coded data follows
        at += length;
    }
    const qint64 pixels = width * height;
    if (pixels == 0 || pixels > kJpegPixelsPerByte * b.size()) return -1;
    return pixels;
}

qint64 gifPixels(const Bytes& b) {
    if (!b.has(0, 13) || (!b.startsWith("GIF87a") && !b.startsWith("GIF89a"))) return -1;
    qint64 width = b.le16(6), height = b.le16(8);
    const unsigned flags = b.at(10);
    qsizetype at = 13;
    if (flags & 0x80) at += qsizetype(3) << ((flags & 7) + 1);
    // Extensions up to the first picture, each sub-block within the bytes.
    for (;;) {
        if (!b.has(at, 1)) return -1;
        const unsigned c = b.at(at++);
        if (c == 0x2C) break;
        if (c != 0x21 || !b.has(at, 1)) return -1;
        ++at;
        for (;;) {
            if (!b.has(at, 1)) return -1;
            const qsizetype n = b.at(at++);
            if (n == 0) break;
            if (!b.has(at, n)) return -1;
            at += n;
        }
    }
    if (!b.has(at, 9)) return -1;
    width = std::max<qint64>(width, qint64(b.le16(at)) + b.le16(at + 4));
    height = std::max<qint64>(height, qint64(b.le16(at + 2)) + b.le16(at + 6));
    const qint64 pixels = width * height;
    if (pixels == 0 || pixels > kRunPixelsPerByte * b.size()) return -1;
    return pixels;
}

// A bitmap's info header at `at`; `halfHeight` for an icon's picture, whose height counts its mask too.
qint64 dibPixels(const Bytes& b, qsizetype at, bool halfHeight) {
    if (!b.has(at, 12)) return -1;
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
        return -1;
    }
    if (halfHeight) height /= 2;
    height = height < 0 ? -height : height;
    if (width <= 0 || height == 0 ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return -1;
    const qint64 pixels = width * height;
    if (compression == 1 || compression == 2) { // run-length coded
        if (pixels > kRunPixelsPerByte * b.size()) return -1;
    } else if (compression == 0 || compression == 3 || compression == 6) {
        // Uncompressed rows: all of them must be there.
        if (((width * bpp + 31) / 32) * 4 * height > b.size()) return -1;
    } else {
        return -1;
    }
    return pixels;
}

qint64 bmpPixels(const Bytes& b) {
    if (!b.startsWith("BM")) return -1;
    return dibPixels(b, 14, false);
}

qint64 icoPixels(const Bytes& b) {
    if (!b.has(0, 6) || b.le16(0) != 0 || (b.le16(2) != 1 && b.le16(2) != 2)) return -1;
    const qsizetype count = b.le16(4);
    if (count == 0 || !b.has(6, count * 16)) return -1;
    qint64 most = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype entry = 6 + i * 16;
        const qsizetype length = b.le32(entry + 8), offset = b.le32(entry + 12);
        if (!b.has(offset, length)) return -1;
        const Bytes picture(b.view(offset, length));
        const qint64 pixels = picture.startsWith(QByteArrayView(kPngSignature, 8))
                                  ? pngPixels(picture)
                                  : dibPixels(picture, 0, true);
        if (pixels < 0) return -1;
        most = std::max(most, pixels);
    }
    return most;
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

// The pixels the picture claims, or -1 when it may not be handed to its decoder.
qint64 claimedPixels(const QByteArray& bytes, const QByteArray& format, QBuffer& buffer) {
    const Bytes b(bytes);
    if (format == "png") return pngPixels(b);
    if (format == "jpeg" || format == "jpg") return jpegPixels(b);
    if (format == "gif") return gifPixels(b);
    if (format == "bmp" || format == "dib") return bmpPixels(b);
    if (format == "ico" || format == "cur") return icoPixels(b);
    // The rest (the plain bitmap and text formats) say their size in a short header.
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    buffer.seek(0);
    const qint64 pixels = size.isValid() ? qint64(size.width()) * size.height() : -1;
    if (pixels <= 0 || pixels > kBitPixelsPerByte * b.size()) return -1;
    return pixels;
}

} // namespace

QImage decodePicture(const QByteArray& bytes, const PictureOptions& options) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    const QByteArray format = options.format.isEmpty() ? formatOf(bytes, buffer) : options.format.toLower();
    if (format.isEmpty()) return {};
    const qint64 pixels = claimedPixels(bytes, format, buffer);
    if (pixels <= 0 || (options.maxPixels > 0 && pixels > options.maxPixels)) return {};
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(options.upright);
    return reader.read();
}

QImage readPicture(const QString& path, qint64 maxPixels) {
    const native::FileStat st = native::stat(path);
    if (!st.isFile) throw VbError(err::FileNotFound);
    if (st.size > kMostFileBytes) throw VbError(err::InvalidPicture);
    QFile file;
    if (!native::openForReading(file, path)) throw VbError(err::InvalidPicture);
    const QByteArray bytes = file.readAll();
    QImage image = decodePicture(bytes, {{}, maxPixels, true}); // photos stand the way the camera held them
    if (image.isNull()) throw VbError(err::InvalidPicture);
    return image;
}

} // namespace pb
