#include "accessories/film_surface.h"

#include <QPainter>
#include <QVideoSink>

namespace pb {

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
    update();
}

void FilmSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!m_frame.isValid()) return;
    QVideoFrame::PaintOptions options;
    options.backgroundColor = Qt::black;
    options.aspectRatioMode = Qt::KeepAspectRatio;
    m_frame.paint(&p, rect(), options);
}

} // namespace pb
