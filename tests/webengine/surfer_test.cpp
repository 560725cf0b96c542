// The surfer in the frame on a real X server: what a user types and clicks, and the engine
// started for the first page, not for the program.
#include "accessories/frm_browser.h"
#include "app_fixture.h"
#include "data/book_lock.h"
#include "records.h"
#include "workspace/forms.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
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

// The engine's helper processes whose parent is `parent`.
QList<qint64> engineHelpersOf(qint64 parent) {
    QList<qint64> found;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (pid.toLongLong() <= 0 || !stat.open(QIODevice::ReadOnly)) continue;
        // The parent is the second field after the command's closing bracket.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
        if (fields.size() > 1 && fields[1].toLongLong() == parent &&
            QFileInfo(exe).fileName() == QLatin1String("QtWebEngineProcess"))
            found << pid.toLongLong();
    }
    return found;
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

TEST(TheProgram, StartsTheEngineOnlyForAPage) {
    QTemporaryDir tmp;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DORVANE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const QString folder = tmp.filePath(QString::fromLatin1(name));
        QDir().mkpath(folder);
        env.insert(QString::fromLatin1(name), folder);
    }
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProgram(QStringLiteral(DORVANE_PROGRAM));
    program.start();
    ASSERT_TRUE(program.waitForStarted(10000));
    QList<qint64> helpers;
    const auto check = [&] {
        // The book is open once its lock stands beside it.
        const QString book = tmp.filePath(QStringLiteral("DORVANE_HOME/Dorvane2DataBase.q7B"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(bookLockFile(book)); }, 60000));
        QTest::qWait(5000);
        ASSERT_EQ(program.state(), QProcess::Running);
        helpers = engineHelpersOf(program.processId());
        EXPECT_EQ(helpers, QList<qint64>{});

        // The surfer from the Tools menu starts them, where xdotool can reach the program's frame.
        if (!xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                      QString::number(program.processId()), QStringLiteral("--name"),
                      QStringLiteral("^Dorvane"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                      QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("300"),
                      QStringLiteral("alt+t"), QStringLiteral("w")}))
            return;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !(helpers = engineHelpersOf(program.processId())).isEmpty(); }, 30000));
    };
    check();
    program.kill();
    program.waitForFinished(10000);
    // The helpers end with the program; any that stays is ended here.
    const auto stays = [](qint64 pid) {
        return QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid))
            .symLinkTarget()
            .endsWith(QLatin1String("/QtWebEngineProcess"));
    };
    if (!QTest::qWaitFor([&] { return std::none_of(helpers.begin(), helpers.end(), stays); }, 5000))
        for (const qint64 pid : helpers)
            if (stays(pid)) ::kill(static_cast<pid_t>(pid), SIGKILL);
}
