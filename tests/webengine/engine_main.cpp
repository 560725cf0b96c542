#include "webengine/engine_view.h"
#include "x_server.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

// Every test here runs on a private X server with the real browser engine and GStreamer.
int main(int argc, char** argv) {
    pbtest::XServer server;
    QString error;
    const QString display = server.start(&error);
    if (display.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    qputenv("DISPLAY", display.toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    pb::installEngineWebViews();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
