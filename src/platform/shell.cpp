#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace pb {

namespace {

class DesktopShell final : public Shell {
public:
    bool openPath(const QString& path) override {
        if (!QFileInfo::exists(path)) return false;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    bool openUrl(const QString& url) override { return QDesktopServices::openUrl(QUrl(url)); }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        return QProcess::startDetached(program, arguments);
    }
};

Shell*& current() {
    static Shell* p = nullptr;
    return p;
}

} // namespace

Shell& shell() {
    static DesktopShell real;
    return current() ? *current() : real;
}

void setShell(Shell* replacement) {
    current() = replacement;
}

} // namespace pb
