#include "workspace/film_surface.h"

#include <QPainter>
#include <QScopeGuard>
#include <QVideoSink>
#include <algorithm>

namespace pb {

namespace {

// YUV to RGB in fixed point (1/1024): the luma scale and the four chroma weights.
struct Weights {
    int y, offset, rv, gu, gv, bu;
};

Weights weightsOf(const QVideoFrameFormat& format) {
    if (format.colorRange() == QVideoFrameFormat::ColorRange_Full) return {1024, 0, 1436, 352, 731, 1815};
    if (format.colorSpace() == QVideoFrameFormat::ColorSpace_BT709) return {1192, 16, 1836, 218, 546, 2163};
    return {1192, 16, 1634, 401, 833, 2066}; // BT.601, the films' usual one
}

inline int channel(int scaled) {
    return std::clamp(scaled >> 10, 0, 255);
}

inline QRgb rgb(const Weights& k, int y, int u, int v) {
    const int l = k.y * (y - k.offset);
    u -= 128;
    v -= 128;
    return qRgb(channel(l + k.rv * v), channel(l - k.gu * u - k.gv * v), channel(l + k.bu * u));
}

} // namespace

QImage pictureOfFrame(const QVideoFrame& source) {
    QVideoFrame frame(source);
    if (!frame.isValid() || !frame.map(QVideoFrame::ReadOnly)) return {};
    auto unmap = qScopeGuard([&] { frame.unmap(); });
    const int w = frame.width();
    const int h = frame.height();
    const QVideoFrameFormat::PixelFormat layout = frame.pixelFormat();
    const QImage::Format direct = QVideoFrameFormat::imageFormatFromPixelFormat(layout);
    if (direct != QImage::Format_Invalid) {
        // The picture outlives the mapping: it gets bytes of its own, also when no conversion is needed.
        const QImage mapped(frame.bits(0), w, h, frame.bytesPerLine(0), direct);
        return direct == QImage::Format_RGB32 ? mapped.copy() : mapped.convertToFormat(QImage::Format_RGB32);
    }

    const Weights k = weightsOf(frame.surfaceFormat());
    QImage out(w, h, QImage::Format_RGB32);
    const uchar* y0 = frame.bits(0);
    const int yStride = frame.bytesPerLine(0);
    switch (layout) {
    case QVideoFrameFormat::Format_YUV420P:
    case QVideoFrameFormat::Format_YV12:
    case QVideoFrameFormat::Format_YUV422P: {
        const bool swapped = layout == QVideoFrameFormat::Format_YV12; // V plane first
        const uchar* up = frame.bits(swapped ? 2 : 1);
        const uchar* vp = frame.bits(swapped ? 1 : 2);
        const int cStride = frame.bytesPerLine(1);
        const int rowShift = layout == QVideoFrameFormat::Format_YUV422P ? 0 : 1;
        for (int r = 0; r < h; ++r) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(r));
            const uchar* yr = y0 + r * yStride;
            const uchar* ur = up + (r >> rowShift) * cStride;
            const uchar* vr = vp + (r >> rowShift) * cStride;
            for (int c = 0; c < w; ++c)
                line[c] = rgb(k, yr[c], ur[c >> 1], vr[c >> 1]);
        }
        return out;
    }
    case QVideoFrameFormat::Format_NV12:
    case QVideoFrameFormat::Format_NV21: {
        const int uAt = layout == QVideoFrameFormat::Format_NV21 ? 1 : 0; // in each chroma pair
        const uchar* uv = frame.bits(1);
        const int cStride = frame.bytesPerLine(1);
        for (int r = 0; r < h; ++r) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(r));
            const uchar* yr = y0 + r * yStride;
            const uchar* cr = uv + (r >> 1) * cStride;
            for (int c = 0; c < w; ++c) {
                const uchar* pair = cr + (c & ~1);
                line[c] = rgb(k, yr[c], pair[uAt], pair[1 - uAt]);
            }
        }
        return out;
    }
    case QVideoFrameFormat::Format_YUYV:
    case QVideoFrameFormat::Format_UYVY: {
        // Two pixels in four bytes: Y0 U Y1 V, or U Y0 V Y1.
        const bool yFirst = layout == QVideoFrameFormat::Format_YUYV;
        for (int r = 0; r < h; ++r) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(r));
            const uchar* row = y0 + r * yStride;
            for (int c = 0; c < w; ++c) {
                const uchar* quad = row + (c >> 1) * 4;
                const int luma = yFirst ? quad[(c & 1) * 2] : quad[(c & 1) * 2 + 1];
                line[c] = yFirst ? rgb(k, luma, quad[1], quad[3]) : rgb(k, luma, quad[0], quad[2]);
            }
        }
        return out;
    }
    default:
        break;
    }
    unmap.dismiss();
    frame.unmap();
    return source.toImage(); // rarer layouts: the library's own way
}

FilmSurface::FilmSurface(QWidget* parent) : QWidget(parent), m_sink(new QVideoSink(this)) {
    setObjectName(QStringLiteral("filmSurface"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Only the newest frame is kept: repaints that fall behind skip frames instead of queueing them.
    connect(m_sink, &QVideoSink::videoFrameChanged, this, &FilmSurface::take);
}

// The sink goes after this widget's own parts, and its player hands it a last, empty frame
// as it lets go: that frame must not reach this widget any more.
FilmSurface::~FilmSurface() {
    disconnect(m_sink, nullptr, this, nullptr);
}

void FilmSurface::take(const QVideoFrame& frame) {
    m_frame = frame;
    m_converted = false;
    update();
}

void FilmSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!m_converted) {
        m_picture = pictureOfFrame(m_frame);
        m_converted = true;
    }
    if (m_picture.isNull()) return;
    const QSize shown = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown),
                m_picture);
}

} // namespace pb
