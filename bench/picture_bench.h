#pragma once

#include "table.h"

#include <QString>

namespace pb {
class Data;
}

// Pictures as the windows show them: a record's photo, and the start of the program with a
// photo as the frame's background.
struct PictureBench {
    pbbench::Table record;   // showing a record's photo, against decoding it in this process
    double startMs = 0;      // the program's start on the book, no background picture
    double startPhotoMs = 0; // the same with a 24-megapixel photo as the frame's background
    double startPhotoMb = 0; // the highest resident memory of that start
    double startMb = 0;      // and of the start without it
};

namespace pbbench {

// In a child started by benchPictures: starts the program on `folder` with the background picture
// `argv[3]` ("" for none), prints its time and peak memory. -1 when this process is no such child.
int runPictureChild(int argc, char** argv);
// A photo beside the book as record 1's picture, and the starts each in a process of its own.
PictureBench benchPictures(const QString& folder, pb::Data* d);
bool printPictureBench(const PictureBench& b);

} // namespace pbbench
