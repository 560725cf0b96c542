#include "platform/picture_decoder.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>

namespace pb::picture_decoder {

using picture_wire::Fit;
using Turn = QImageIOHandler::Transformations;

namespace {

// Rows converted at a time: the converted copy of a band stays small whatever the picture.
constexpr int kBandRows = 64;

bool turns90(Turn t) {
    return t & QImageIOHandler::TransformationRotate90;
}

bool writeAll(int fd, const void* data, qint64 size, qint64 at) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, p, size_t(std::min<qint64>(size, qint64(1) << 30)), at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n, size -= n, at += n;
    }
    return true;
}

// Rows `y`.. of the picture in the format the pixels are handed over in.
QImage band(const QImage& image, int y, int rows, QImage::Format format) {
    QImage view(image.constScanLine(y), image.width(), rows, image.bytesPerLine(), image.format());
    if (image.colorCount() > 0) view.setColorTable(image.colorTable());
    return view.convertToFormat(format);
}

// The picture into the memory file, turned by `turn`, a band of rows at a time.
bool writePixels(const QImage& image, Turn turn, QImage::Format format, int out) {
    const int w = image.width(), h = image.height();
    const QSize size = turns90(turn) ? QSize(h, w) : QSize(w, h);
    const qint64 line = qint64(size.width()) * 4;
    const qint64 bytes = line * size.height();
    if (turn == QImageIOHandler::TransformationNone) {
        // Straight rows: written as they come, never mapped here.
        if (image.format() == format)
            return writeAll(out, image.constBits(), bytes, picture_wire::kPixelsOffset);
        for (int y = 0; y < h; y += kBandRows) {
            const QImage part = band(image, y, std::min(kBandRows, h - y), format);
            if (!writeAll(out, part.constBits(), line * part.height(),
                          picture_wire::kPixelsOffset + line * y))
                return false;
        }
        return true;
    }
    if (::ftruncate(out, picture_wire::kPixelsOffset + bytes) != 0) return false;
    void* mapped = ::mmap(nullptr, size_t(picture_wire::kPixelsOffset + bytes), PROT_READ | PROT_WRITE,
                          MAP_SHARED, out, 0);
    if (mapped == MAP_FAILED) return false;
    auto* pixels = reinterpret_cast<quint32*>(static_cast<char*>(mapped) + picture_wire::kPixelsOffset);
    const bool mirror = turn & QImageIOHandler::TransformationMirror;
    const bool flip = turn & QImageIOHandler::TransformationFlip;
    // Mirrored and flipped first, then a quarter turn clockwise, as the camera's mark means.
    for (int y0 = 0; y0 < h; y0 += kBandRows) {
        const QImage part = band(image, y0, std::min(kBandRows, h - y0), format);
        for (int r = 0; r < part.height(); ++r) {
            const auto* row = reinterpret_cast<const quint32*>(part.constScanLine(r));
            const int y1 = flip ? h - 1 - (y0 + r) : y0 + r;
            for (int x = 0; x < w; ++x) {
                const int x1 = mirror ? w - 1 - x : x;
                const qint64 at =
                    turns90(turn) ? qint64(x1) * size.width() + (h - 1 - y1) : qint64(y1) * size.width() + x1;
                pixels[at] = row[x];
            }
        }
    }
    return ::munmap(mapped, size_t(picture_wire::kPixelsOffset + bytes)) == 0;
}

} // namespace

QSize keptSize(QSize size, Fit fit, QSize box) {
    if (box.isEmpty() || (size.width() <= box.width() && size.height() <= box.height())) return size;
    switch (fit) {
    case Fit::Within:
        return size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    case Fit::Stretched:
    case Fit::TopLeft:
        return size.boundedTo(box);
    case Fit::Whole:
        break;
    }
    return size;
}

QRect storedRect(const QRect& upright, QSize uprightSize, Turn turn) {
    const QSize stored = turns90(turn) ? uprightSize.transposed() : uprightSize;
    const auto back = [&](QPoint p) {
        // Undo the quarter turn, then the mirror and the flip.
        QPoint q = turns90(turn) ? QPoint(p.y(), stored.height() - 1 - p.x()) : p;
        if (turn & QImageIOHandler::TransformationMirror) q.setX(stored.width() - 1 - q.x());
        if (turn & QImageIOHandler::TransformationFlip) q.setY(stored.height() - 1 - q.y());
        return q;
    };
    const QPoint a = back(upright.topLeft()), b = back(upright.bottomRight());
    // Corner to corner, both inclusive (QRect::normalized would take one pixel off a turned one).
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

int decode(int in, int out, const picture_wire::Request& request) {
    using picture_wire::kExitNoPicture;
    QFile file;
    if (!file.open(in, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) return kExitNoPicture;
    const QByteArray format =
        QByteArray(request.format, int(qstrnlen(request.format, sizeof request.format)));
    QImageReader reader(&file, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    reader.setAutoTransform(false);
    const Turn turn = request.upright ? reader.transformation() : QImageIOHandler::TransformationNone;
    const QSize box(request.boxWidth, request.boxHeight);
    // The decoder's own size and part for a picture stored at `stored`, and the bytes kept of it.
    const auto plan = [&](QSize stored, QSize& scaled, QRect& clip) {
        const QSize upright = turns90(turn) ? stored.transposed() : stored;
        const QSize kept = keptSize(upright, request.fit, box);
        scaled = stored;
        clip = QRect();
        if (request.fit != Fit::TopLeft)
            scaled = turns90(turn) ? kept.transposed() : kept;
        else if (kept != upright)
            clip = storedRect(QRect(QPoint(0, 0), kept), upright, turn);
        return qint64(kept.width()) * kept.height() * 4;
    };
    // The size the header tells is enough to refuse a picture larger than allowed before it is
    // decoded, and lets the decoder make only what is drawn (a JPEG scales while it decodes).
    const QSize stored = reader.size();
    const bool told = stored.isValid() && !stored.isEmpty();
    QSize scaled;
    QRect clip;
    if (told) {
        if (plan(stored, scaled, clip) > request.maxBytes) return kExitNoPicture;
        if (scaled != stored) reader.setScaledSize(scaled);
        if (clip.isValid()) reader.setClipRect(clip);
    }
    QImage image = reader.read();
    if (image.isNull()) return kExitNoPicture;
    if (!told) {
        plan(image.size(), scaled, clip);
        if (clip.isValid()) image = image.copy(clip);
        if (scaled != image.size())
            image = image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QImage::Format pixels =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (qint64(image.width()) * image.height() * 4 > request.maxBytes) return kExitNoPicture;
    if (!writePixels(image, turn, pixels, out)) return kExitNoPicture;
    picture_wire::PixelsHeader header;
    const QSize size = turns90(turn) ? image.size().transposed() : image.size();
    header.width = size.width();
    header.height = size.height();
    header.format = int32_t(pixels);
    header.bytesPerLine = qint64(size.width()) * 4;
    return writeAll(out, &header, sizeof header, 0) ? picture_wire::kExitDecoded : kExitNoPicture;
}

} // namespace pb::picture_decoder
