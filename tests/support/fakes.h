#pragma once

#include "platform/shell.h"
#include "platform/sounds.h"

#include <QStringList>
#include <vector>

namespace pbtest {

// Records the sounds that would have played.
class RecordingSound : public pb::SoundOutput {
public:
    RecordingSound() { pb::setSoundOutput(this); }
    ~RecordingSound() override { pb::setSoundOutput(nullptr); }
    void playWave(int id, const QByteArray& wave) override {
        played.push_back(id);
        bytes = wave.size();
    }
    std::vector<int> played;
    qsizetype bytes = 0;
};

// Records what would have been handed to the desktop.
class RecordingShell : public pb::Shell {
public:
    RecordingShell() { pb::setShell(this); }
    ~RecordingShell() override { pb::setShell(nullptr); }
    bool openPath(const QString& path) override {
        opened << path;
        return succeed;
    }
    bool openUrl(const QString& url) override {
        opened << url;
        return succeed;
    }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return succeed;
    }
    QStringList opened;
    QStringList started;
    bool succeed = true;
};

} // namespace pbtest
