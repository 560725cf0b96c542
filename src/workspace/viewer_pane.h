#pragma once

#include <QLabel>
#include <QWidget>

class QMediaPlayer;
class QAudioOutput;
class QPushButton;
class QSlider;

namespace pb {

// The frame's viewer pane: shows a picture, or plays a sound in its player.
class ViewerPane : public QWidget {
    Q_OBJECT
public:
    explicit ViewerPane(QWidget* parent = nullptr);

    // Raises 481 when the file is no picture.
    void showPicture(const QString& file);
    void playSound(const QString& file);
    void setPaneHeight(int pixels);

    QLabel* picture() const { return m_picture; }
    QWidget* MP() const { return m_player; }
    QMediaPlayer* player() const { return m_media; }

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { hide(); }

private:
    QLabel* m_picture;
    QWidget* m_player;
    QMediaPlayer* m_media;
    QAudioOutput* m_audio;
    QPushButton* m_play;
    QSlider* m_position;
};

} // namespace pb
