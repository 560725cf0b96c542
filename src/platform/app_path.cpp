#include "platform/app_path.h"

#include <QDir>
#include <QStandardPaths>

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

} // namespace

QString programFolderNow() {
    QString folder = qEnvironmentVariable("DORVANE_HOME");
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/.local/share/Brenmoor/Dorvane");
    folder = QDir(folder).absolutePath();
    QDir().mkpath(folder);
    return withSlash(folder);
}

void setProgramFolder(const QString& folder) {
    overrideFolder() = folder.isEmpty() ? QString() : withSlash(folder);
}

QString programFolder() {
    if (!overrideFolder().isEmpty()) return overrideFolder();
    static const QString folder = programFolderNow();
    return folder;
}

} // namespace pb
