#include "workspace/viewer_pane.h"

#include "platform/picture_file.h"
#include "platform/units.h"
#include "workspace/media_control.h"

#include <QAudioOutput>
#include <QHBoxLayout>
#include <QMediaPlayer>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace pb {

ViewerPane::ViewerPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("mdiPic"));
    setToolTip(QStringLiteral("Double-click to pull it up!"));
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_picture = new QLabel(this);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_picture, 1);

    m_player = new QWidget(this);
    m_player->setObjectName(QStringLiteral("MP"));
    auto* controls = new QHBoxLayout(m_player);
    controls->setContentsMargins(0, 0, 0, 0);
    m_play = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QString(), m_player);
    auto* stop = new QPushButton(style()->standardIcon(QStyle::SP_MediaStop), QString(), m_player);
    m_position = new QSlider(Qt::Horizontal, m_player);
    controls->addWidget(m_play);
    controls->addWidget(stop);
    controls->addWidget(m_position, 1);
    layout->addWidget(m_player);
    m_player->hide();

    m_media = new QMediaPlayer(this);
    m_audio = new QAudioOutput(this);
    m_media->setAudioOutput(m_audio);
    connect(m_play, &QPushButton::clicked, this, [this] {
        if (m_media->playbackState() == QMediaPlayer::PlayingState)
            m_media->pause();
        else
            m_media->play();
    });
    connect(stop, &QPushButton::clicked, m_media, &QMediaPlayer::stop);
    connect(m_media, &QMediaPlayer::durationChanged, this,
            [this](qint64 d) { m_position->setRange(0, static_cast<int>(d)); });
    connect(m_media, &QMediaPlayer::positionChanged, this, [this](qint64 p) {
        if (!m_position->isSliderDown()) m_position->setValue(static_cast<int>(p));
    });
    connect(m_position, &QSlider::sliderMoved, m_media, [this](int v) { m_media->setPosition(v); });
    connect(m_media, &QMediaPlayer::playbackStateChanged, this, [this](QMediaPlayer::PlaybackState s) {
        m_play->setIcon(style()->standardIcon(s == QMediaPlayer::PlayingState ? QStyle::SP_MediaPause
                                                                              : QStyle::SP_MediaPlay));
    });
    hide();
}

void ViewerPane::showPicture(const QString& file) {
    m_picture->setPixmap(QPixmap::fromImage(readPicture(file, PictureView::onScreen())));
    m_picture->show();
    m_player->hide();
    m_media->stop();
    show();
}

void ViewerPane::setPaneHeight(int pixels) {
    // The pane sits above the workspace in a splitter, so the user can drag its edge too.
    if (auto* split = qobject_cast<QSplitter*>(parentWidget())) {
        const int total = split->height();
        split->setSizes({pixels, std::max(0, total - pixels)});
    } else {
        resize(width(), pixels);
    }
}

void ViewerPane::playSound(const QString& file) {
    setPaneHeight(twipsToPixels(700));
    m_picture->hide();
    show();
    m_player->show();
    playMediaFile(m_media, file);
}

} // namespace pb
