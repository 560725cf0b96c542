#include "workspace/media_control.h"

#include "workspace/film_surface.h"

#include "platform/native_name.h"
#include "platform/vb_error.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaPlayer>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoSink>
#include <cerrno>

namespace pb {

namespace {

constexpr int kCannotPlay = 321;

QString minutes(qint64 ms) {
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

// Playing has begun (or ended, or failed). "Loaded" is not enough: a file can be
// loaded and still turn out undecodable once it starts.
bool settled(QMediaPlayer::MediaStatus s) {
    return s == QMediaPlayer::BufferingMedia || s == QMediaPlayer::BufferedMedia ||
           s == QMediaPlayer::EndOfMedia || s == QMediaPlayer::InvalidMedia;
}

} // namespace

MediaPlayerControl::MediaPlayerControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MP"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    m_video = new FilmSurface(this);
    m_video->setMinimumSize(160, 90);
    v->addWidget(m_video, 1);

    auto* bar = new QHBoxLayout;
    m_play = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QString(), this);
    m_play->setToolTip(QStringLiteral("Play / Pause"));
    m_stop = new QPushButton(style()->standardIcon(QStyle::SP_MediaStop), QString(), this);
    m_stop->setToolTip(QStringLiteral("Stop"));
    m_position = new QSlider(Qt::Horizontal, this);
    m_position->setToolTip(QStringLiteral("Position"));
    m_time = new QLabel(QStringLiteral("0:00 / 0:00"), this);
    m_volume = new QSlider(Qt::Horizontal, this);
    m_volume->setRange(0, 100);
    m_volume->setValue(80);
    m_volume->setMaximumWidth(90);
    m_volume->setToolTip(QStringLiteral("Volume"));
    bar->addWidget(m_play);
    bar->addWidget(m_stop);
    bar->addWidget(m_position, 1);
    bar->addWidget(m_time);
    bar->addWidget(new QLabel(QStringLiteral("Vol"), this));
    bar->addWidget(m_volume);
    v->addLayout(bar);
    m_status = new QLabel(this);
    v->addWidget(m_status);

    m_player = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_audio->setVolume(0.8f);
    m_player->setAudioOutput(m_audio);
    m_player->setVideoOutput(m_video->videoSink());

    connect(m_play, &QPushButton::clicked, this, [this] {
        if (m_player->playbackState() == QMediaPlayer::PlayingState)
            m_player->pause();
        else
            m_player->play();
    });
    connect(m_stop, &QPushButton::clicked, m_player, &QMediaPlayer::stop);
    connect(m_volume, &QSlider::valueChanged, this, [this](int v) { m_audio->setVolume(v / 100.0f); });
    connect(m_player, &QMediaPlayer::durationChanged, this, [this](qint64 d) {
        m_position->setRange(0, static_cast<int>(d));
        m_time->setText(minutes(m_player->position()) + QStringLiteral(" / ") + minutes(d));
    });
    connect(m_player, &QMediaPlayer::positionChanged, this, [this](qint64 p) {
        if (!m_position->isSliderDown()) m_position->setValue(static_cast<int>(p));
        m_time->setText(minutes(p) + QStringLiteral(" / ") + minutes(m_player->duration()));
    });
    connect(m_position, &QSlider::sliderMoved, m_player, [this](int p) { m_player->setPosition(p); });
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState s) {
        m_play->setIcon(style()->standardIcon(s == QMediaPlayer::PlayingState ? QStyle::SP_MediaPause
                                                                              : QStyle::SP_MediaPlay));
    });
    // Trouble later in a file (after it opened) is shown in the bar, not in a box.
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) { m_status->setText(text); });
}

QString MediaPlayerControl::status() const {
    return m_status->text();
}

void playMediaFile(QMediaPlayer* player, const QString& path) {
    if (!native::stat(path).isFile) throw VbError(err::FileNotFound);
    player->stop();
    // The player opens a file by a text name, which cannot hold a name that is not UTF-8: such a
    // file is handed over opened, and stays open with the player until the next one.
    const QList<QFile*> earlier = player->findChildren<QFile*>(QString(), Qt::FindDirectChildrenOnly);
    if (native::hasStandIns(path)) {
        auto* file = new QFile(player);
        if (!native::openForReading(*file, path)) {
            delete file;
            throw fileErrorFromErrno(path, errno);
        }
        player->setSourceDevice(file, native::fileUrl(path));
    } else {
        player->setSource(QUrl::fromLocalFile(path));
    }
    qDeleteAll(earlier);
    player->play();
    // The player answers later (or at once): wait for its verdict before calling it a success.
    // Events are let through by hand: a nested event loop would end at once after a quit request.
    QElapsedTimer waited;
    waited.start();
    QTimer wake; // wakes the wait below now and then
    wake.start(20);
    // The window holding the player may be closed while events pass here: then stop quietly.
    const QPointer<QMediaPlayer> alive(player);
    while (alive && player->error() == QMediaPlayer::NoError && !settled(player->mediaStatus()) &&
           player->playbackState() != QMediaPlayer::StoppedState &&
           waited.elapsed() < MediaPlayerControl::kOpenWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!alive) throw VbError(err::Cancelled);
    if (player->error() != QMediaPlayer::NoError || player->mediaStatus() == QMediaPlayer::InvalidMedia) {
        QString why = player->errorString();
        if (why.isEmpty()) why = QStringLiteral("The file cannot be played");
        player->setSource(QUrl());
        throw VbError(kCannotPlay, why);
    }
}

void MediaPlayerControl::Open(const QString& path) {
    m_status->clear();
    const QPointer<QLabel> status(m_status); // gone with the window, if it closed while opening
    try {
        playMediaFile(m_player, path);
    } catch (const VbError& e) {
        if (status) status->setText(e.description());
        throw;
    }
    if (status) status->setText(native::shown(QFileInfo(path).fileName()));
}

} // namespace pb
