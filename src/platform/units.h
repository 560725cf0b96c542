#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace pb {

// Positions and sizes are kept in twips, 1440 to the inch; at the 96 logical
// dots per inch of the desktop that is 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;
// A value read from a file may be anything: NaN and values past what a screen can
// hold are cut to the range, never converted as they are.
inline int twipsToPixels(double twips) {
    if (!(twips == twips)) return 0;
    constexpr double kLimit = 1.0e9;
    const double t = twips < -kLimit ? -kLimit : twips > kLimit ? kLimit : twips;
    return static_cast<int>(t / kTwipsPerPixel + (t < 0 ? -0.5 : 0.5));
}
inline double pixelsToTwips(int pixels) {
    return static_cast<double>(pixels) * kTwipsPerPixel;
}

// Colours are stored as 0x00BBGGRR, or with the top bit set as a system colour index.
constexpr uint32_t kSystemColourBit = 0x80000000u;
constexpr int32_t kWindowBackground = static_cast<int32_t>(0x80000005u);
constexpr int32_t kAppWorkspace = static_cast<int32_t>(0x8000000Cu);

QColor colourFromStored(int32_t value);
QColor colourFromStored(int32_t value, const QPalette& palette);
// Plain colours only: a system colour has no way back from QColor.
int32_t colourToStored(const QColor& colour);

} // namespace pb
