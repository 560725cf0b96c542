#pragma once

#include <QByteArray>
#include <functional>

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

// manyScanJpeg whose last scan names a component the frame lacks: the decoder fails after all the work.
QByteArray failingManyScanJpeg(int side, int scans);

// A 16 x 16 PNG carrying `chunks` text chunks of `letters` letters each, compressed (zTXt)
// or plain (tEXt): the decoder keeps every one.
QByteArray pngWithText(int chunks, qint64 letters, bool compressed);

// An icon whose directory names one embedded PNG `entries` times; that PNG carries
// `emptyChunks` empty chunks before its data.
QByteArray iconOfOnePng(int entries, int emptyChunks);

// A PNG of `depth` bits a sample and colour type `colour`, its rows (each with its filter byte)
// filled by `row` one at a time and deflated as they come: never held whole.
QByteArray png(int width, int height, int depth, int colour,
               const std::function<void(int, QByteArray&)>& row);

// Pictures written as text, `side` square: an ASCII PPM, and an XPM of two characters a pixel.
QByteArray asciiPpm(int side);
QByteArray xpm(int side);

// Photos as cameras write them, grain and all: chroma sampled `h` x `v` times coarser,
// progressive or not, CMYK or RGB.
struct JpegShape {
    bool progressive = false;
    int h = 2, v = 2;
    bool cmyk = false;
};
QByteArray photoJpeg(int width, int height, const JpegShape& shape);
// The same photo with a camera's EXIF mark saying how it was held (6: turned a quarter right).
QByteArray withOrientation(const QByteArray& jpeg, int orientation);
// A 24-bit bitmap of slowly changing colour.
QByteArray bmp(int width, int height);

// A rich-text document of `copies` copies of `picture` ("pngblip" or "jpegblip"),
// its hex in lines as word processors write it.
QByteArray rtfWithPictures(const QByteArray& picture, const char* blip, int copies);

// Ordinary pictures of slowly changing colour, in the format Qt's writer names.
QByteArray picture(int width, int height, const char* format, bool progressive = false);
// A GIF of four colours in squares, `frames` frames long (Qt has no GIF writer: coded here).
QByteArray gif(int width, int height, int frames = 1);

} // namespace pbtest::hostile
