#include "app_fixture.h"

#include "data/file_sets.h"
#include "data/module_phonebook.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "workspace/forms.h"
#include "workspace/module_services.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <filesystem>
#include <system_error>

namespace pbtest {

void AppFixture::SetUp() {
    ASSERT_TRUE(tmp.isValid());
    QDir().mkpath(tmp.path() + QStringLiteral("/app"));
    QDir().mkpath(tmp.path() + QStringLiteral("/config"));
    pb::setProgramFolder(tmp.path() + QStringLiteral("/app"));
    pb::SettingsStore::setFolder(tmp.path() + QStringLiteral("/config"));
    pb::ModulePhoneBook::reset();
    prompts = std::make_unique<ScriptedPrompts>();
    sounds = std::make_unique<RecordingSound>();
    shell = std::make_unique<RecordingShell>();
}

void AppFixture::TearDown() {
    // Close whatever the test left open without asking anything further.
    for (pb::Form* f : pb::Forms::loaded())
        pb::Forms::unload(f);
    pb::Forms::flushDeleted();
    pb::releaseErrHelp();
    prompts.reset();
    sounds.reset();
    shell.reset();
    pb::ModulePhoneBook::reset();
    pb::setProgramFolder({});
    pb::files::setLedgerFolder({});
    // Qt removes files by decoded names, so a name that is not UTF-8 would keep the folder alive.
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(tmp.path()).toStdString(), ignored);
}

QString AppFixture::appDir() const {
    return tmp.path() + QStringLiteral("/app/");
}

QString AppFixture::settingsFile() const {
    return pb::SettingsStore::fileFor(pb::kAppName);
}

QString AppFixture::setting(const QString& key, const QString& def) const {
    return pb::SettingsStore::GetSetting(pb::kAppName, pb::kSection, key, def);
}

void AppFixture::putSetting(const QString& key, const QString& value) const {
    pb::SettingsStore::SaveSetting(pb::kAppName, pb::kSection, key, value);
}

QString AppFixture::storedSetting(const QString& key) const {
    // QSettings objects on one file share what is unsynced, and Qt keeps a file it read for the next
    // one of the same name: a copy under a new name has only the bytes.
    static int copies = 0;
    const QString copy = tmp.path() + QStringLiteral("/stored-%1.ini").arg(++copies);
    if (!QFile::copy(settingsFile(), copy)) return QStringLiteral("<no file>");
    const QString value = QSettings(copy, QSettings::IniFormat)
                              .value(pb::kSection + QLatin1Char('/') + key, QStringLiteral("<missing>"))
                              .toString();
    QFile::remove(copy);
    return value;
}

} // namespace pbtest
