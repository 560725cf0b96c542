#pragma once

#include <QVideoFrame>
#include <QWidget>

class QVideoSink;

namespace pb {

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
};

} // namespace pb
