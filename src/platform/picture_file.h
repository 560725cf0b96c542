#pragma once

#include <QImage>
#include <QString>

namespace pb {

// Reads a picture by what the file holds, not by what its name says: a bitmap
// named ".dib" or a PNG named ".jpg" both load. Raises 53 for a missing file and
// 481 for a file that holds no picture.
QImage readPicture(const QString& path);

} // namespace pb
