#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace pb {

// Every picture the program shows from outside is decoded here. A decoder trusts
// the sizes a file's header gives and allocates for them before it reads the data,
// so the header is checked against the bytes present first: a picture that claims
// more than its bytes could hold (a chunk longer than the file, millions of pixels
// in a few bytes) is refused without being decoded.
struct PictureOptions {
    QByteArray format;    // the format to decode as; empty: by what the bytes hold
    qint64 maxPixels = 0; // a larger picture is refused; 0: only the decoder's own limit
    bool upright = false; // turn a photo the way the camera held it
};

// The most pixels a picture put into a document may have: larger ones are refused rather than decoded.
inline constexpr qint64 kMaxPicturePixels = 40'000'000;

// The picture in `bytes`, or a null image when they hold none that may be decoded.
QImage decodePicture(const QByteArray& bytes, const PictureOptions& options = {});

// Reads a picture by what the file holds, not by what its name says: a bitmap
// named ".dib" or a PNG named ".jpg" both load. Raises 53 for a missing file and
// 481 for a file that holds no picture.
QImage readPicture(const QString& path, qint64 maxPixels = 0);

} // namespace pb
