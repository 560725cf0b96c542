#pragma once

#include <QString>

namespace pb {

// The user's settings: text values by application, section and key, always
// read with a default. Kept in one INI file per application.
class SettingsStore {
public:
    static QString GetSetting(const QString& appName, const QString& section, const QString& key,
                              const QString& defaultValue = {});
    static void SaveSetting(const QString& appName, const QString& section, const QString& key,
                            const QString& value);
    static void DeleteSetting(const QString& appName, const QString& section, const QString& key);

    // The folder that holds the INI files; tests point it at a temporary folder.
    static void setFolder(const QString& folder);
    static QString fileFor(const QString& appName);
};

// The program's own application name and window section.
inline const QString kAppName = QStringLiteral("Brenmoor");
inline const QString kSection = QStringLiteral("Dorvane2");

} // namespace pb
