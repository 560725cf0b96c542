#include "hostile_pictures.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>
#include <zlib.h>
// jpeglib.h leans on the standard headers above.
#include <jpeglib.h>

namespace pbtest::hostile {

namespace {

unsigned byteAt(const QByteArray& b, qsizetype i) {
    return static_cast<unsigned char>(b[i]);
}
void putBe16(QByteArray& b, qsizetype at, unsigned v) {
    b[at] = static_cast<char>(v >> 8);
    b[at + 1] = static_cast<char>(v & 0xFF);
}
QByteArray be16(unsigned v) {
    QByteArray b(2, '\0');
    putBe16(b, 0, v);
    return b;
}
QByteArray be32(quint32 v) {
    return be16(v >> 16) + be16(v & 0xFFFF);
}
QByteArray bytes(std::initializer_list<unsigned> values) {
    QByteArray b;
    for (unsigned v : values)
        b.append(static_cast<char>(v & 0xFF));
    return b;
}
QByteArray le16(unsigned v) {
    return bytes({v, v >> 8});
}
QByteArray le32(quint32 v) {
    return le16(v & 0xFFFF) + le16(v >> 16);
}
QByteArray gifPicture(int width, int height);

QByteArray written(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// Colour changing a little from row to row.
QImage gently(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int step = y * 100 / height;
        const QRgb colour = qRgb(60 + step, 140, 220 - step);
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + width, colour);
    }
    return image;
}

// A JPEG's segments from its FF, each scan with its coded data up to the next
// marker that is neither a stuffed FF 00 nor a restart.
struct Segment {
    unsigned marker;
    QByteArray bytes;
};
QList<Segment> segments(const QByteArray& jpeg) {
    QList<Segment> out{{0xD8, jpeg.left(2)}};
    for (qsizetype at = 2; at + 3 < jpeg.size();) {
        const unsigned marker = byteAt(jpeg, at + 1);
        if (marker == 0xD9) break;
        qsizetype end = at + 2 + (byteAt(jpeg, at + 2) << 8 | byteAt(jpeg, at + 3));
        if (marker == 0xDA) {
            const auto markerAt = [&](qsizetype i) {
                const unsigned next = byteAt(jpeg, i + 1);
                return byteAt(jpeg, i) == 0xFF && next != 0 && (next < 0xD0 || next > 0xD7);
            };
            while (end + 1 < jpeg.size() && !markerAt(end))
                ++end;
        }
        out.append({marker, jpeg.mid(at, end - at)});
        at = end;
    }
    out.append({0xD9, QByteArray("\xFF\xD9", 2)});
    return out;
}

bool isFrame(unsigned marker) {
    return marker == 0xC0 || marker == 0xC2;
}

QByteArray withSize(QByteArray frame, int side) {
    putBe16(frame, 5, side);
    putBe16(frame, 7, side);
    return frame;
}

} // namespace

QByteArray hiddenSizeJpeg(bool progressive) {
    QImage tiny(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            tiny.setPixel(x, y, qRgb(x * 16, y * 16, 128));
    // The tables and the frame header go first, then the APP1 segment with the
    // fake frame header, then the scans (with any tables between them). All three
    // components share the first quantization table, which keeps the file small.
    QByteArray head, fake, rest;
    bool scanned = false;
    for (const Segment& s : segments(written(tiny, "jpeg", progressive))) {
        if (s.marker == 0xD8 || (s.marker >= 0xE0 && s.marker <= 0xEF)) continue;
        if (s.marker == 0xDB && (byteAt(s.bytes, 4) & 0x0F) != 0) continue;
        scanned = scanned || s.marker == 0xDA;
        if (isFrame(s.marker)) {
            QByteArray frame = s.bytes;
            for (unsigned i = 0; i < byteAt(frame, 9); ++i)
                frame[12 + 3 * i] = '\0';
            head += withSize(frame, kHiddenSide);
            fake = withSize(frame, 8);
        } else {
            (scanned ? rest : head) += s.bytes;
        }
    }
    // The walk that reads FF 00 as a marker takes the next two bytes for its length
    // and jumps to the fake header; neither byte may be FF, which the decoder would
    // read as the start of a marker.
    QByteArray pad;
    qsizetype jump = 2 + head.size() + 4;
    if ((jump & 0xFF) == 0xFF || (jump >> 8) == 0xFF) {
        pad.append('\0');
        ++jump;
    }
    const QByteArray app1 = "\xFF\xE1" + be16(2 + pad.size() + fake.size()) + pad + fake;
    return "\xFF\xD8\xFF" + QByteArray(1, '\0') + be16(jump) + head + app1 + rest;
}

QByteArray progressiveJpeg(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(qRgb(128, 128, 128));
    return written(image, "jpeg", true);
}

QByteArray manyScanJpeg(int side, int scans) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(qRgb(90, 160, 210));
    const QList<Segment> parts = segments(written(image, "jpeg", true));
    unsigned luminance = 0;
    qsizetype refinement = -1;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray& b = parts[i].bytes;
        if (isFrame(parts[i].marker)) luminance = byteAt(b, 10);
        if (parts[i].marker != 0xDA || byteAt(b, 4) != 1 || byteAt(b, 5) != luminance) continue;
        // One component: Ss, then Ah in the high half of the byte after Se.
        if (byteAt(b, 7) > 0 && byteAt(b, 9) >> 4 > 0) refinement = i;
    }
    if (refinement < 0) return {};
    // The scan with the Huffman tables it was coded with, which later scans may have replaced.
    QByteArray tables, out;
    for (qsizetype i = refinement - 1; i >= 0 && parts[i].marker == 0xC4; --i)
        tables.prepend(parts[i].bytes);
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        out += parts[i].bytes;
    out += tables + parts[refinement].bytes.repeated(scans);
    return out + parts.last().bytes;
}

QByteArray monoPng(int side) {
    QImage image(side, side, QImage::Format_Mono);
    image.setColorTable({qRgb(20, 40, 120), qRgb(250, 220, 60)});
    image.fill(0);
    for (int y = side * 2 / 5; y < side * 3 / 5; ++y)
        image.setPixel(y, y, 1);
    return written(image, "png");
}

namespace {

QByteArray pngChunk(const char* type, const QByteArray& data) {
    const QByteArray typed = QByteArray(type, 4) + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()));
    return be32(quint32(data.size())) + typed + be32(quint32(crc));
}

// Deflates `input` onto `out`, ending with `flush`.
void deflateInto(z_stream& z, QByteArray& out, const QByteArray& input, int flush) {
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    z.avail_in = uInt(input.size());
    char buffer[1 << 16];
    do {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        deflate(&z, flush);
        out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
    } while (z.avail_out == 0 || z.avail_in > 0);
}

} // namespace

QByteArray pngWithTrailingZeros(qint64 zeroBytes) {
    constexpr int kSide = 64;
    constexpr qint64 kRun = qint64(64) << 20, kPiece = qint64(1) << 20;
    QByteArray rows;
    for (int y = 0; y < kSide; ++y) {
        rows.append('\0'); // no filter
        for (int x = 0; x < kSide; ++x)
            rows += bytes({unsigned(x) * 4, unsigned(y) * 4, 128, 255});
    }
    // A run of zeros is deflated once after a full flush and repeated: each copy
    // starts afresh, so the stream stays valid; its checksum is summed up apart.
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15, 9, Z_RLE);
    QByteArray stream;
    deflateInto(z, stream, rows, Z_FULL_FLUSH);
    QByteArray run;
    const QByteArray piece(kPiece, '\0');
    for (qint64 done = kPiece; done <= kRun; done += kPiece)
        deflateInto(z, run, piece, done == kRun ? Z_FULL_FLUSH : Z_NO_FLUSH);
    const qint64 runs = zeroBytes / kRun;
    stream += run.repeated(runs);
    QByteArray end;
    deflateInto(z, end, {}, Z_FINISH);
    deflateEnd(&z);
    uLong pieceSum = adler32(1, reinterpret_cast<const Bytef*>(piece.constData()), uInt(kPiece));
    uLong runSum = pieceSum;
    for (qint64 n = kPiece; n < kRun; n *= 2)
        runSum = adler32_combine(runSum, runSum, z_off_t(n));
    uLong sum = adler32(1, reinterpret_cast<const Bytef*>(rows.constData()), uInt(rows.size()));
    for (qint64 i = 0; i < runs; ++i)
        sum = adler32_combine(sum, runSum, z_off_t(kRun));
    stream += end.chopped(4) + be32(quint32(sum));

    QByteArray png("\x89PNG\r\n\x1a\n");
    png += pngChunk("IHDR", be32(kSide) + be32(kSide) + QByteArray("\x08\x06\x00\x00\x00", 5));
    for (qsizetype at = 0; at < stream.size(); at += 1 << 18)
        png += pngChunk("IDAT", stream.mid(at, 1 << 18));
    return png + pngChunk("IEND", {});
}

QByteArray rtfWithPictures(const QByteArray& picture, const char* blip, int copies) {
    QByteArray hex;
    const QByteArray all = picture.toHex();
    for (qsizetype at = 0; at < all.size(); at += 128)
        hex += all.mid(at, 128) + '\n';
    QByteArray rtf = "{\\rtf1\\ansi\\deff0 {\\fonttbl{\\f0 Arial;}}\n";
    for (int i = 0; i < copies; ++i)
        rtf += "{\\pict\\" + QByteArray(blip) + '\n' + hex + "}\\par\n";
    return rtf + '}';
}

QByteArray picture(int width, int height, const char* format, bool progressive) {
    return written(gently(width, height), format, progressive);
}

QByteArray gif(int width, int height, int frames) {
    QByteArray out = "GIF89a" + le16(width) + le16(height) + QByteArray("\x91\x00\x00", 3);
    for (QRgb c : {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200), qRgb(240, 240, 240)})
        out += bytes({unsigned(qRed(c)), unsigned(qGreen(c)), unsigned(qBlue(c))});
    const QByteArray picture = gifPicture(width, height);
    for (int i = 0; i < frames; ++i) {
        // Each frame a tenth of a second.
        if (frames > 1) out += bytes({0x21, 0xF9, 4, 0, 10, 0, 0, 0});
        out += picture;
    }
    return out + ';';
}

namespace {

QByteArray gifPicture(int width, int height) {
    QByteArray out = ',' + le16(0) + le16(0) + le16(width) + le16(height) + '\0';

    // LZW with two-bit pixels: the code size grows as the table fills and the
    // table starts over with a clear code when it is full.
    constexpr int kClear = 4, kEnd = 5, kFirst = 6;
    QByteArray data;
    quint32 bits = 0;
    int count = 0, size = 3, next = kFirst;
    const auto put = [&](int code) {
        bits |= quint32(code) << count;
        for (count += size; count >= 8; count -= 8, bits >>= 8)
            data.append(char(bits & 0xFF));
        // The reader widens its codes once its table, a code behind this one, outgrows them.
        if (next > (1 << size) - 1 && size < 12) ++size;
    };
    QHash<quint32, int> table;
    const auto pixel = [&](qsizetype i) { return int((i % width) / 40 + (i / width) / 40) % 4; };
    put(kClear);
    int prefix = pixel(0);
    for (qsizetype i = 1; i < qsizetype(width) * height; ++i) {
        const int c = pixel(i);
        const quint32 key = quint32(prefix) << 8 | quint32(c);
        if (const auto found = table.constFind(key); found != table.cend()) {
            prefix = *found;
            continue;
        }
        put(prefix);
        if (next < 4096) {
            table.insert(key, next++);
        } else {
            put(kClear);
            table.clear();
            next = kFirst;
            size = 3;
        }
        prefix = c;
    }
    put(prefix);
    put(kEnd);
    if (count > 0) data.append(char(bits & 0xFF));
    out += '\x02';
    for (qsizetype at = 0; at < data.size(); at += 255)
        out += char(std::min<qsizetype>(255, data.size() - at)) + data.mid(at, 255);
    return out + '\0';
}

} // namespace

QByteArray failingManyScanJpeg(int side, int scans) {
    QByteArray jpeg = manyScanJpeg(side, scans);
    // The last scan's one component: the frame's ids are 1 to 3.
    const qsizetype last = jpeg.lastIndexOf("\xFF\xDA");
    jpeg[last + 5] = '\x7F';
    return jpeg;
}

QByteArray pngWithText(int chunks, qint64 letters, bool compressed) {
    const QByteArray text(letters, 'a');
    QByteArray body = "Comment" + QByteArray(1, '\0');
    if (compressed) {
        uLong size = compressBound(uLong(letters));
        QByteArray packed(qsizetype(size), '\0');
        compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(text.constData()), uLong(letters), 9);
        body += '\0' + packed.left(qsizetype(size));
    } else {
        body += text;
    }
    const QByteArray plain = picture(16, 16, "png");
    const qsizetype end = plain.size() - 12; // before IEND
    return plain.left(end) + pngChunk(compressed ? "zTXt" : "tEXt", body).repeated(chunks) + plain.mid(end);
}

QByteArray iconOfOnePng(int entries, int emptyChunks) {
    QByteArray inner = picture(16, 16, "png");
    inner.insert(8 + 25, pngChunk("teXx", {}).repeated(emptyChunks));
    const quint32 offset = quint32(6 + 16 * entries);
    QByteArray out = le16(0) + le16(1) + le16(unsigned(entries));
    const QByteArray entry =
        bytes({16, 16, 0, 0}) + le16(1) + le16(32) + le32(quint32(inner.size())) + le32(offset);
    return out + entry.repeated(entries) + inner;
}

QByteArray png(int width, int height, int depth, int colour,
               const std::function<void(int, QByteArray&)>& row) {
    z_stream z{};
    deflateInit(&z, Z_BEST_SPEED);
    QByteArray stream, line;
    for (int y = 0; y < height; ++y) {
        line.clear();
        row(y, line);
        deflateInto(z, stream, line, y + 1 == height ? Z_FINISH : Z_NO_FLUSH);
    }
    deflateEnd(&z);
    QByteArray out("\x89PNG\r\n\x1a\n");
    out += pngChunk("IHDR", be32(quint32(width)) + be32(quint32(height)) +
                                bytes({unsigned(depth), unsigned(colour), 0, 0, 0}));
    for (qsizetype at = 0; at < stream.size(); at += 1 << 20)
        out += pngChunk("IDAT", stream.mid(at, 1 << 20));
    return out + pngChunk("IEND", {});
}

QByteArray asciiPpm(int side) {
    QByteArray out = "P3\n" + QByteArray::number(side) + ' ' + QByteArray::number(side) + "\n255\n";
    out.reserve(out.size() + qsizetype(side) * side * 6);
    const QByteArray pixel = "201 99 7 ";
    for (int y = 0; y < side; ++y)
        out += pixel.repeated(side) + '\n';
    return out;
}

QByteArray xpm(int side) {
    QByteArray out = "/* XPM */\nstatic char* p[] = {\n\"" + QByteArray::number(side) + ' ' +
                     QByteArray::number(side) + " 2 2\",\n\"aa c #2050A0\",\n\"bb c #F0C030\",\n";
    for (int y = 0; y < side; ++y)
        out += '"' + QByteArray(y % 2 ? "aabb" : "bbaa").repeated(side / 2) + "\",\n";
    return out + "};\n";
}

QByteArray photoJpeg(int width, int height, const JpegShape& shape) {
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &bytes, &size);
    const int channels = shape.cmyk ? 4 : 3;
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = channels;
    c.in_color_space = shape.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    c.comp_info[0].h_samp_factor = shape.cmyk ? 1 : shape.h;
    c.comp_info[0].v_samp_factor = shape.cmyk ? 1 : shape.v;
    if (shape.progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> line(size_t(width) * channels);
    quint32 grain = 1;
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < width; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int g = int(grain >> 28) - 8;
            for (int k = 0; k < channels; ++k)
                line[size_t(x) * channels + k] = JSAMPLE(std::clamp((k == 0   ? x * 255 / width
                                                                     : k == 1 ? y * 255 / height
                                                                              : 100 + k * 20) +
                                                                        g,
                                                                    0, 255));
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    const QByteArray out(reinterpret_cast<const char*>(bytes), qsizetype(size));
    std::free(bytes);
    return out;
}

QByteArray withOrientation(const QByteArray& jpeg, int orientation) {
    // One IFD entry: tag 0x0112, a SHORT, one of it.
    const QByteArray tiff = "MM" + be16(42) + be32(8) + be16(1) + be16(0x0112) + be16(3) + be32(1) +
                            be16(unsigned(orientation)) + be16(0) + be32(0);
    const QByteArray exif = "Exif" + QByteArray(2, '\0') + tiff;
    return jpeg.left(2) + "\xFF\xE1" + be16(unsigned(2 + exif.size())) + exif + jpeg.mid(2);
}

QByteArray bmp(int width, int height) {
    const int line = (width * 3 + 3) / 4 * 4;
    const quint32 pixels = quint32(line) * quint32(height);
    QByteArray out = "BM" + le32(54 + pixels) + le32(0) + le32(54) + le32(40) + le32(quint32(width)) +
                     le32(quint32(height)) + le16(1) + le16(24) + le32(0) + le32(pixels) + le32(2835) +
                     le32(2835) + le32(0) + le32(0);
    out.reserve(out.size() + qsizetype(pixels));
    for (int y = 0; y < height; ++y) {
        const QByteArray colour = bytes({unsigned(y * 255 / height), 140, 60});
        out += colour.repeated(width) + QByteArray(line - width * 3, '\0');
    }
    return out;
}

} // namespace pbtest::hostile
