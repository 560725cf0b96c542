#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace pb {

// Every picture the program shows from outside is decoded here. A decoder trusts
// the sizes a file's header gives and allocates for them before it reads the data,
// so a picture is weighed first: its size as the decoder itself reads it, the
// memory the decoder needs beside the picture (a progressive JPEG keeps every
// coefficient), and the work its data asks for (a JPEG's scans, a PNG's compressed
// data). A picture that claims more than its bytes could hold, or would cost more
// than it may, is refused without being decoded.

// The most memory one picture may cost while it is decoded: the picture itself, its
// upright copy and the decoder's working memory.
inline constexpr qint64 kPictureBytes = qint64(200) << 20;
// The most the pictures of one document may cost together.
inline constexpr qint64 kDocumentPictureBytes = qint64(200) << 20;

struct PictureOptions {
    QByteArray format;               // the format to decode as; empty: by what the bytes hold
    qint64 maxBytes = kPictureBytes; // a picture that would cost more is refused
    bool upright = false;            // turn a photo the way the camera held it
};

// The picture in `bytes`, or a null image when they hold none that may be decoded.
QImage decodePicture(const QByteArray& bytes, const PictureOptions& options = {});

// Reads a picture by what the file holds, not by what its name says: a bitmap
// named ".dib" or a PNG named ".jpg" both load. Raises 53 for a missing file and
// 481 for a file that holds no picture.
QImage readPicture(const QString& path, qint64 maxBytes = kPictureBytes);

} // namespace pb
