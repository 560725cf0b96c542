#include "platform/settings_store.h"

#include "platform/vb_error.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <map>
#include <memory>

namespace pb {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

std::map<QString, std::unique_ptr<QSettings>>& openSettings() {
    static std::map<QString, std::unique_ptr<QSettings>> open;
    return open;
}

// One QSettings per file, kept for the run so that reads do not re-parse the file.
QSettings& settingsFor(const QString& appName) {
    const QString file = SettingsStore::fileFor(appName);
    auto& slot = openSettings()[file];
    if (!slot) slot = std::make_unique<QSettings>(file, QSettings::IniFormat);
    return *slot;
}

QString keyPath(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

void SettingsStore::setFolder(const QString& folder) {
    folderOverride() = folder;
}

QString SettingsStore::fileFor(const QString& appName) {
    QString folder = folderOverride();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
                 appName;
    return folder + QLatin1Char('/') + appName + QStringLiteral(".ini");
}

QString SettingsStore::GetSetting(const QString& appName, const QString& section, const QString& key,
                                  const QString& defaultValue) {
    QSettings& s = settingsFor(appName);
    const QVariant v = s.value(keyPath(section, key));
    if (!v.isValid()) return defaultValue;
    // A hand-edited value with commas comes back as a list: it was one text.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void SettingsStore::SaveSetting(const QString& appName, const QString& section, const QString& key,
                                const QString& value) {
    QSettings& s = settingsFor(appName);
    QDir().mkpath(QFileInfo(s.fileName()).absolutePath());
    s.setValue(keyPath(section, key), value);
    s.sync();
    if (s.status() != QSettings::NoError) {
        // A QSettings keeps its first error for good: the next write starts from the file afresh.
        openSettings().erase(SettingsStore::fileFor(appName));
        throw VbError(335, QStringLiteral("Could not access system registry"));
    }
}

void SettingsStore::DeleteSetting(const QString& appName, const QString& section, const QString& key) {
    QSettings& s = settingsFor(appName);
    s.remove(keyPath(section, key));
    s.sync();
}

} // namespace pb
