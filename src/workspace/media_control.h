#pragma once

#include <QWidget>

class QAudioOutput;
class QLabel;
class QMediaPlayer;
class QPushButton;
class QSlider;

namespace pb {

class FilmSurface;

// Hands a file to a player and starts it, waiting until the player has taken the file or
// refused it: a file it cannot play raises 321 with the player's own words, a missing one 53.
void playMediaFile(QMediaPlayer* player, const QString& path);

// A player for films and sounds: the picture above a small transport bar
// (play/pause, stop, position, volume).
class MediaPlayerControl : public QWidget {
    Q_OBJECT
public:
    explicit MediaPlayerControl(QWidget* parent = nullptr);

    // Opens a file and starts playing it. Waits until the player has taken the file
    // or refused it: a file it cannot play raises 321 with the player's own words,
    // a missing one 53.
    void Open(const QString& path);
    QMediaPlayer* player() const { return m_player; }
    QString status() const;
    FilmSurface* surface() const { return m_video; }

    // How long Open waits for the player's verdict.
    static constexpr int kOpenWaitMs = 10000;

private:
    QMediaPlayer* m_player;
    QAudioOutput* m_audio;
    FilmSurface* m_video;
    QPushButton* m_play;
    QPushButton* m_stop;
    QSlider* m_position;
    QSlider* m_volume;
    QLabel* m_time;
    QLabel* m_status;
};

} // namespace pb
