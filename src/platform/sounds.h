#pragma once

#include <QByteArray>

namespace pb {

// Plays a complete WAVE image from memory without waiting; a request while the
// device is still busy plays nothing.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void playWave(int id, const QByteArray& wave) = 0;
};

SoundOutput& soundOutput();
// Tests put a recorder in place of the speaker; nullptr restores the real one.
void setSoundOutput(SoundOutput* replacement);

} // namespace pb
