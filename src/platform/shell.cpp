#include "platform/shell.h"

#include "platform/native_name.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace pb {

namespace {

// The desktop's opener tells by its exit status whether anything took the file. It
// usually hands over and ends at once; one that keeps running has found its program.
bool handToDesktop(const QString& target) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return false;
    auto* p = new QProcess(QCoreApplication::instance());
    p->setProgram(opener);
    p->setArguments({target});
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    p->start();
    if (!p->waitForStarted(5000)) {
        delete p;
        return false;
    }
    if (p->waitForFinished(1500)) {
        const bool ok = p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
        p->deleteLater();
        return ok;
    }
    QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
    return true;
}

class DesktopShell final : public Shell {
public:
    bool openPath(const QString& path) override {
        if (!native::stat(path).exists) return false;
        return handToDesktop(native::fileUrl(path).toString());
    }
    bool openUrl(const QString& url) override { return handToDesktop(url); }
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
