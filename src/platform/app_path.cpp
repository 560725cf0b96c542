#include "platform/app_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace pb {

namespace {

QString& overrideFolder() {
    static QString folder;
    return folder;
}

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QString computeFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && ::access(QFile::encodeName(exeDir).constData(), W_OK) == 0)
        return withSlash(exeDir);
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.local/share/Dorvane");
    QDir().mkpath(data);
    return withSlash(data);
}

} // namespace

void setProgramFolder(const QString& folder) {
    overrideFolder() = folder.isEmpty() ? QString() : withSlash(folder);
}

QString programFolder() {
    if (!overrideFolder().isEmpty()) return overrideFolder();
    static const QString folder = computeFolder();
    return folder;
}

} // namespace pb
