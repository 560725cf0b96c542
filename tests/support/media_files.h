#pragma once

#include <QString>

namespace pbtest {

// A mono 16-bit PCM WAVE file of a tone lasting `ms`.
void writeWav(const QString& path, int ms);
// An uncompressed AVI film of `frames` frames at 10 frames a second, 32 x 24 pixels.
void writeAvi(const QString& path, int frames);

} // namespace pbtest
