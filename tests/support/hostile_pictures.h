#pragma once

#include <QByteArray>

// Pictures made to cost a decoder far more memory or time than their few bytes
// show, and ordinary pictures beside them. All are made here from Qt's own writer
// or by hand, and reshaped byte by byte.
namespace pbtest::hostile {

// The side of the picture a hidden-size JPEG really holds.
inline constexpr int kHiddenSide = 5600;

// A JPEG whose real frame header (kHiddenSide square, three components) is passed
// over by a walk that takes the stuffed pair FF 00 for a marker with a length: that
// walk lands on an 8 x 8 frame header inside an APP1 segment the decoder skips.
QByteArray hiddenSizeJpeg(bool progressive);

// A progressive JPEG of `side` square and one colour, as Qt writes it.
QByteArray progressiveJpeg(int side);

// A progressive JPEG of `side` square of one colour whose last luminance refinement
// scan is repeated `scans` times before its end: every repeat walks every block.
QByteArray manyScanJpeg(int side, int scans);

// A PNG of `side` square with a two-colour palette, one bit a pixel, mostly one colour.
QByteArray monoPng(int side);

// A 64 x 64 RGBA PNG whose compressed data holds, after its rows, `zeroBytes`
// zeros more (a whole number of 64 MiB runs): all of them inflate.
QByteArray pngWithTrailingZeros(qint64 zeroBytes);

// A rich-text document of `copies` copies of `picture` ("pngblip" or "jpegblip"),
// its hex in lines as word processors write it.
QByteArray rtfWithPictures(const QByteArray& picture, const char* blip, int copies);

// Ordinary pictures of slowly changing colour, in the format Qt's writer names.
QByteArray picture(int width, int height, const char* format, bool progressive = false);
// A GIF of four colours in squares (Qt has no GIF writer: coded here).
QByteArray gif(int width, int height);

} // namespace pbtest::hostile
