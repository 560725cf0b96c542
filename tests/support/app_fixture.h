#pragma once

#include "fakes.h"
#include "records.h"
#include "scripted_prompts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace pbtest {

// A fresh program for each test: its own program folder and settings file,
// a new program-wide state, scripted answers, and recorders for sound and shell.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString appDir() const; // ends in "/"
    QString settingsFile() const;
    // A stored setting of the phone book window's section.
    QString setting(const QString& key, const QString& def = QStringLiteral("<missing>")) const;
    void putSetting(const QString& key, const QString& value) const;
    // The same setting as the settings file on the disk holds it, whatever the store has in memory.
    QString storedSetting(const QString& key) const;

    QTemporaryDir tmp;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<RecordingSound> sounds;
    std::unique_ptr<RecordingShell> shell;
};

} // namespace pbtest
