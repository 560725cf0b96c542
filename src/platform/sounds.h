#pragma once

#include <QByteArray>

namespace pb {

// Plays a complete WAVE image from memory without waiting; a request while an
// earlier effect still plays stops that one, so the later sound is always heard.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void playWave(int id, const QByteArray& wave) = 0;
};

SoundOutput& soundOutput();
// Tests put a recorder in place of the speaker; nullptr restores the real one.
void setSoundOutput(SoundOutput* replacement);

} // namespace pb
