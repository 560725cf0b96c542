#pragma once

#include <QString>

namespace pb {

// The user's settings: text values by application, section and key, always
// read with a default. Kept in one INI file per application.
//
// A write is synced to its file before SaveSetting returns, unless a Batch is open: then the
// changes stay in memory (reads see them) and the outermost Batch writes each file once.
class SettingsStore {
public:
    static QString GetSetting(const QString& appName, const QString& section, const QString& key,
                              const QString& defaultValue = {});
    static void SaveSetting(const QString& appName, const QString& section, const QString& key,
                            const QString& value);
    static void DeleteSetting(const QString& appName, const QString& section, const QString& key);

    // Writes and syncs every file with changes not yet on the disk. Raises 335 when one cannot be
    // written; its changes then stay in memory and go with the next write that succeeds.
    static void flush();
    // The syncs of settings files the store has made in this run.
    static int syncCount();

    // One command's settings in one write: opened where a command writes many keys.
    class Batch {
    public:
        Batch();
        // Writes what finish() did not (a command left by an error); a failure stays for the next flush.
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Closes this batch; the outermost one flushes, raising 335 as flush() does.
        void finish();

    private:
        bool m_open = true;
    };

    // The folder that holds the INI files; tests point it at a temporary folder.
    static void setFolder(const QString& folder);
    static QString fileFor(const QString& appName);
};

// The program's own application name and window section.
inline const QString kAppName = QStringLiteral("Brenmoor");
inline const QString kSection = QStringLiteral("Dorvane2");

} // namespace pb
