#pragma once

#include "platform/picture_wire.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QVariant>

namespace pb {

// Every picture the program shows from outside is decoded here, in a helper process whose
// children decode under limits the kernel enforces on their memory and CPU time: a picture
// that breaks a limit is no picture, and the program goes on. Only what a window draws
// comes back: a picture scaled into a box is decoded at that size, a background drawn at
// its own size only as far as a screen reaches.

// The most memory the pixels of one picture may take.
inline constexpr qint64 kPictureBytes = qint64(200) << 20;
// The most CPU the decoding of one picture may take.
inline constexpr qint64 kPictureCpuMicros = 1'600'000;
// The most the pictures of one document may take together, in memory and in CPU.
inline constexpr qint64 kDocumentPictureBytes = qint64(200) << 20;
inline constexpr qint64 kDocumentPictureCpuMicros = 1'500'000;

// What a picture, or a document's pictures together, may still cost. A decode is charged
// its CPU whether it shows a picture or not, and the memory of what it shows.
struct PictureBudget {
    qint64 bytes = kPictureBytes;
    qint64 cpuMicros = kPictureCpuMicros;
};

// How a window draws a picture.
struct PictureView {
    picture_wire::Fit fit = picture_wire::Fit::Whole;
    QSize box;

    // Scaled down into the box, its shape kept.
    static PictureView within(QSize box) { return {picture_wire::Fit::Within, box}; }
    // Stretched over the box.
    static PictureView stretched(QSize box) { return {picture_wire::Fit::Stretched, box}; }
    // At its own size from the top-left corner, as far as every screen together reaches.
    static PictureView onScreen();
};

struct PictureOptions {
    QByteArray format;    // the format to decode as; empty: by what the bytes hold
    bool upright = false; // turn a photo the way the camera held it
    PictureView view;
};

// The picture in `bytes`, charged to `budget`, or a null image when they hold none that may be
// shown within it.
QImage decodePicture(const QByteArray& bytes, const PictureOptions& options, PictureBudget& budget);
// The same within a budget of its own.
QImage decodePicture(const QByteArray& bytes, const PictureOptions& options = {});

// Reads a picture by what the file holds, not by what its name says (a bitmap named ".dib" or
// a PNG named ".jpg" both load), upright as the camera held it. Raises 53 for a missing file
// and 481 for a file that holds no picture, or none that may be shown.
QImage readPicture(const QString& path, const PictureView& view = {});

// A picture as a document keeps it: a pixmap, which painting draws as it is, where an image would be
// copied into a new pixmap at every paint. An image where no pixmap can be made (no application of
// windows, or another thread).
QVariant shownPicture(QImage&& image);

// Starts the helper ahead of the first picture, so that it is ready when one is asked for.
void startPictureHelper();
// Ends the helper and waits for it; the next picture starts it again.
void stopPictureHelper();

} // namespace pb
