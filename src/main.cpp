#include "platform/app_path.h"
#include "platform/picture_file.h"
#include "webengine/engine_view.h"
#include "workspace/forms.h"
#include "workspace/frm_splash.h"
#include "workspace/single_copy.h"

#include <QApplication>
#include <QIcon>
#include <unistd.h>

int main(int argc, char** argv) {
    // Films and sounds play through GStreamer (its Debian plugins are installed with the program):
    // Qt 6.4's other backend crashes on a machine without a sound device.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    // The browser engine shares its drawing contexts, and must be told before the application starts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine's sandbox refuses to start as root and takes the whole program with it.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dorvane"));
    QApplication::setOrganizationName(QStringLiteral("Brenmoor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/dorvane.png")));
    // One running copy per program folder: a later start brings the first forward and ends.
    pb::SingleCopy copy(pb::programFolder());
    if (!copy.claim()) return 0;
    // The picture helper starts beside the program, ready for the first picture it shows.
    pb::startPictureHelper();
    pb::installEngineWebViews();
    pb::Forms::get<pb::frmSplash>()->startProgram();
    return QApplication::exec();
}
