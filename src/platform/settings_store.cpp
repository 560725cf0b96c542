#include "platform/settings_store.h"

#include "platform/vb_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>

namespace pb {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

// One file's settings, kept for the run so that reads do not re-parse the file.
struct OpenFile {
    std::unique_ptr<QSettings> settings;
    // What is not on the disk yet, by key (no value: removed). A QSettings that failed to write is
    // replaced by a fresh one from the file, and these go onto it: a failed write loses nothing.
    std::map<QString, std::optional<QString>> unsynced;
};

std::map<QString, OpenFile>& openFiles() {
    static std::map<QString, OpenFile> open;
    return open;
}

int& openBatches() {
    static int depth = 0;
    return depth;
}

int& syncs() {
    static int count = 0;
    return count;
}

OpenFile& openFile(const QString& file) {
    OpenFile& f = openFiles()[file];
    if (!f.settings) {
        f.settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
        for (const auto& [key, value] : f.unsynced)
            value ? f.settings->setValue(key, *value) : f.settings->remove(key);
    }
    return f;
}

// Writes one file's changes; false when they could not be written.
bool syncFile(const QString& file, OpenFile& f) {
    if (f.unsynced.empty()) return true;
    // A QSettings keeps its first error for good, even one from before these changes.
    if (f.settings && f.settings->status() != QSettings::NoError) f.settings.reset();
    QSettings& s = *openFile(file).settings;
    QDir().mkpath(QFileInfo(file).absolutePath());
    ++syncs();
    s.sync();
    if (s.status() != QSettings::NoError) {
        f.settings.reset();
        return false;
    }
    f.unsynced.clear();
    return true;
}

VbError registryError() {
    return VbError(335, QStringLiteral("Could not access system registry"));
}

// Changes a failed write kept in memory get one more try when the program ends.
void flushAtQuit() {
    static bool watching = false;
    QCoreApplication* app = QCoreApplication::instance();
    if (watching || !app) return;
    watching = true;
    QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] {
        try {
            SettingsStore::flush();
        } catch (const VbError&) {
            // Reported when the write first failed; the program folder's release tries once more.
        }
    });
}

void change(const QString& appName, const QString& keyPath, const std::optional<QString>& value) {
    const QString file = SettingsStore::fileFor(appName);
    OpenFile& f = openFile(file);
    value ? f.settings->setValue(keyPath, *value) : f.settings->remove(keyPath);
    f.unsynced[keyPath] = value;
    flushAtQuit();
    if (openBatches() == 0 && !syncFile(file, f)) throw registryError();
}

QString keyPath(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

void SettingsStore::setFolder(const QString& folder) {
    folderOverride() = folder;
    // Another folder is another store: nothing of the last one is written into it later.
    openFiles().clear();
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
    QSettings& s = *openFile(fileFor(appName)).settings;
    const QVariant v = s.value(keyPath(section, key));
    if (!v.isValid()) return defaultValue;
    // A hand-edited value with commas comes back as a list: it was one text.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void SettingsStore::SaveSetting(const QString& appName, const QString& section, const QString& key,
                                const QString& value) {
    change(appName, keyPath(section, key), value);
}

void SettingsStore::DeleteSetting(const QString& appName, const QString& section, const QString& key) {
    change(appName, keyPath(section, key), std::nullopt);
}

void SettingsStore::flush() {
    bool written = true;
    for (auto& [file, f] : openFiles())
        written = syncFile(file, f) && written;
    if (!written) throw registryError();
}

int SettingsStore::syncCount() {
    return syncs();
}

SettingsStore::Batch::Batch() {
    ++openBatches();
}

SettingsStore::Batch::~Batch() {
    try {
        finish();
    } catch (const VbError&) {
        // Kept in memory: the next write, the quit or the program folder's release writes it.
    }
}

void SettingsStore::Batch::finish() {
    if (!m_open) return;
    m_open = false;
    if (--openBatches() == 0) flush();
}

} // namespace pb
