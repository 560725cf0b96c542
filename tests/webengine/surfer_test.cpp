// The surfer in the frame on a real X server: what a user types and clicks.
#include "accessories/frm_browser.h"
#include "app_fixture.h"
#include "records.h"
#include "workspace/forms.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace pb;

namespace {

// Runs xdotool on this program's X server; false when it is not installed or fails.
bool xdotool(const QStringList& arguments) {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) return false;
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    // The event loop runs meanwhile: the windows answer what xdotool does.
    return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000) &&
           p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Something is drawn in `w` on the screen: its pixels are not all of one colour.
bool drawsSomething(QWidget* w) {
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    const QImage shot = w->screen()->grabWindow(0, at.x(), at.y(), w->width(), w->height()).toImage();
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2)
            if (shot.pixel(x, y) != shot.pixel(0, 0)) return true;
    return false;
}

class SurferOnScreen : public pbtest::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        frame = Forms::get<VantrelMDI>();
        frame->setGeometry(20, 20, 1200, 840);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    }

    VantrelMDI* frame = nullptr;
};

} // namespace

TEST_F(SurferOnScreen, EnterInTheAddressBoxGoesToTheTypedAddress) {
    const QString page = appDir() + QStringLiteral("typed.htm");
    pbtest::writeFile(page, "<html><head><title>Typed Title</title></head><body>typed</body></html>");
    ShowForm(QStringLiteral("frmBrowser"));
    auto* surfer = Forms::find<frmBrowser>();
    ASSERT_NE(surfer, nullptr);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

    // Keys come from the X server to whichever widget holds the focus, as a user's do.
    QLineEdit* box = surfer->cboAddress->lineEdit();
    const QPoint inBox = box->mapToGlobal(box->rect().center());
    const QString address = QUrl::fromLocalFile(page).toString();
    // xdotool types all that follows "type", so the Enter key is a second run.
    if (!xdotool({QStringLiteral("mousemove"), QString::number(inBox.x()), QString::number(inBox.y()),
                  QStringLiteral("click"), QStringLiteral("1"), QStringLiteral("key"),
                  QStringLiteral("ctrl+a"), QStringLiteral("type"), QStringLiteral("--delay"),
                  QStringLiteral("5"), address}) ||
        !xdotool({QStringLiteral("key"), QStringLiteral("Return")})) {
        // Without xdotool, the same events enter where the X server's would.
        QWindow* window = frame->windowHandle();
        QTest::mouseClick(window, Qt::LeftButton, {}, window->mapFromGlobal(inBox));
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : address)
            QTest::keyClick(window, c.toLatin1());
        QTest::keyClick(window, Qt::Key_Return);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return surfer->cboAddress->currentText() == address; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return surfer->windowTitle() == frmBrowser::surferCaption(QStringLiteral("Typed Title")); },
        30000))
        << surfer->windowTitle().toStdString();
}

TEST_F(SurferOnScreen, TheToolbarsGlobeShowsTheStartPage) {
    QAction* globe = frame->MDIToolbar->findChild<QAction*>(QStringLiteral("tbWebBrowser"));
    ASSERT_NE(globe, nullptr);
    QTest::mouseClick(frame->MDIToolbar->widgetForAction(globe), Qt::LeftButton);
    auto* surfer = Forms::find<frmBrowser>();
    ASSERT_NE(surfer, nullptr);
    // The machine is offline and the publisher's address never resolves: the engine's own
    // error page, with its title in the caption.
    const QString designCaption = surfer->windowTitle();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return surfer->windowTitle() != designCaption && !surfer->WebBrowser->busy() &&
                   drawsSomething(surfer->WebBrowser->widget());
        },
        15000))
        << surfer->windowTitle().toStdString();
}
