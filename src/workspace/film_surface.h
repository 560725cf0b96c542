#pragma once

#include <QImage>
#include <QVideoFrame>
#include <QWidget>

class QVideoSink;

namespace pb {

// A film's frame as a picture. The common YUV and RGB layouts are converted here on the
// processor: the library's own conversion sends every frame through the graphics card and
// back, which costs several times the decoding where the card is a software one.
QImage pictureOfFrame(const QVideoFrame& frame);

// Where a film's pictures show: a plain widget that paints each frame the player hands
// its sink. It needs no native window of its own, so it lives in any top-level window,
// beside the browser engine's drawing surfaces, and goes wherever its window goes.
class FilmSurface : public QWidget {
    Q_OBJECT
public:
    explicit FilmSurface(QWidget* parent = nullptr);
    ~FilmSurface() override;
    QVideoSink* videoSink() const { return m_sink; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void take(const QVideoFrame& frame);
    QVideoSink* m_sink;
    QVideoFrame m_frame;
    QImage m_picture; // m_frame converted, once it is painted
    bool m_converted = true;
};

} // namespace pb
