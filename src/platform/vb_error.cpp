#include "platform/vb_error.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace pb {

VbError::VbError(int number, QString description)
    : m_number(number), m_description(description.isEmpty() ? standardDescription(number) : description),
      m_what(QStringLiteral("Error %1: %2").arg(number).arg(m_description).toUtf8()) {}

QString VbError::standardDescription(int number) {
    switch (number) {
    case 5:
        return QStringLiteral("Invalid procedure call or argument");
    case 6:
        return QStringLiteral("Overflow");
    case 7:
        return QStringLiteral("Out of memory");
    case 9:
        return QStringLiteral("Subscript out of range");
    case 13:
        return QStringLiteral("Type mismatch");
    case 52:
        return QStringLiteral("Bad file name or number");
    case 53:
        return QStringLiteral("File not found");
    case 55:
        return QStringLiteral("File already open");
    case 57:
        return QStringLiteral("Device I/O error");
    case 58:
        return QStringLiteral("File already exists");
    case 61:
        return QStringLiteral("Disk full");
    case 62:
        return QStringLiteral("Input past end of file");
    case 67:
        return QStringLiteral("Too many files");
    case 68:
        return QStringLiteral("Device unavailable");
    case 70:
        return QStringLiteral("Permission denied");
    case 71:
        return QStringLiteral("Disk not ready");
    case 74:
        return QStringLiteral("Can't rename with different drive");
    case 75:
        return QStringLiteral("Path/File access error");
    case 76:
        return QStringLiteral("Path not found");
    case 91:
        return QStringLiteral("Object variable not set");
    case 380:
        return QStringLiteral("Invalid property value");
    case 481:
        return QStringLiteral("Invalid picture");
    case 32755:
        return QStringLiteral("Cancel was selected.");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

VbError fileErrorFromErrno(const QString& path, int e) {
    switch (e) {
    case ENOENT: {
        // A missing folder is a different complaint from a missing file.
        const QString dir = QFileInfo(path).absolutePath();
        return VbError(QDir(dir).exists() ? err::FileNotFound : err::PathNotFound);
    }
    case ENOTDIR:
        return VbError(err::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
        return VbError(err::PermissionDenied);
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return VbError(err::DiskFull);
    case EEXIST:
        return VbError(err::FileExists);
    case EIO:
        return VbError(err::DeviceIO);
    case EISDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return VbError(err::PathFileAccess);
    default:
        return VbError(err::PathFileAccess);
    }
}

} // namespace pb
