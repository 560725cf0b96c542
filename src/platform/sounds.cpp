#include "platform/sounds.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <map>
#include <memory>

namespace pb {

namespace {

// QSoundEffect plays from a URL: the program's sounds are in its resources as
// qrc:/sounds/<id>.wav, and one effect is kept per id so a second play is instant.
class EffectOutput final : public SoundOutput {
public:
    void playWave(int id, const QByteArray&) override {
        if (QMediaDevices::audioOutputs().isEmpty()) return;
        // A later effect replaces one still playing (the alarm rings over the window's opening sound).
        for (auto& [key, e] : m_effects)
            if (key != id && e->isPlaying()) e->stop();
        auto& effect = m_effects[id];
        if (!effect) {
            effect = std::make_unique<QSoundEffect>();
            effect->setSource(QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(id)));
            effect->setVolume(0.8f);
        }
        effect->play();
    }

private:
    std::map<int, std::unique_ptr<QSoundEffect>> m_effects;
};

SoundOutput*& current() {
    static SoundOutput* p = nullptr;
    return p;
}

} // namespace

SoundOutput& soundOutput() {
    static EffectOutput real;
    return current() ? *current() : real;
}

void setSoundOutput(SoundOutput* replacement) {
    current() = replacement;
}

} // namespace pb
