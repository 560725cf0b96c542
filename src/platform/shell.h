#pragma once

#include <QString>
#include <QStringList>

namespace pb {

// Hands files, folders and addresses to the desktop and starts programs. User
// text only ever travels as a single argument, never inside a command line.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file or folder with the desktop's chosen program; false on failure.
    virtual bool openPath(const QString& path) = 0;
    virtual bool openUrl(const QString& url) = 0;
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

Shell& shell();
void setShell(Shell* replacement);

} // namespace pb
