#include "platform/picture_file.h"

#include "platform/vb_error.h"

#include <QFileInfo>
#include <QImageReader>

namespace pb {

QImage readPicture(const QString& path) {
    if (!QFileInfo(path).isFile()) throw VbError(err::FileNotFound);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true); // photos stand the way the camera held them
    const QImage image = reader.read();
    if (image.isNull()) throw VbError(err::InvalidPicture);
    return image;
}

} // namespace pb
