#include "workspace/forms.h"
#include "workspace/frm_splash.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    // Films and sounds play through GStreamer (its Debian plugins are installed with the program):
    // Qt 6.4's other backend crashes on a machine without a sound device.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dorvane"));
    QApplication::setOrganizationName(QStringLiteral("Brenmoor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/dorvane.png")));
    pb::Forms::get<pb::frmSplash>()->startProgram();
    return QApplication::exec();
}
