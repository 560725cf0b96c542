#include "workspace/frm_splash.h"

#include "platform/prompts.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/vantrel_mdi.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace pb {

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Dorvane"));
    m_picture.load(QStringLiteral(":/pictures/splash.png"));
    setFixedSize(m_picture.isNull() ? QSize(480, 300) : m_picture.size());
    lblDescription = new QLabel(QStringLiteral("Loading Dorvane . . ."), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setAlignment(Qt::AlignCenter);
    lblDescription->setStyleSheet(QStringLiteral("color: #eef3f8; background: transparent;"));
    lblDescription->setGeometry(8, height() - 36, width() - 16, 28);
    m_status = lblDescription->text();
    Timer.setInterval(1000);
    Timer.setSingleShot(true);
    QObject::connect(&Timer, &QTimer::timeout, this, [this] { Timer_Timer(); });
    m_sinceRepaint.start();
}

void frmSplash::Form_Load() {
    setCursor(Qt::WaitCursor);
}

void frmSplash::startProgram() {
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    show();
    Timer.start();
}

void frmSplash::Timer_Timer() {
    // Off first: a message box inside a load runs the event loop, and the
    // sequence must not start a second time from there.
    Timer.stop();
    bool aborted = false;
    Steps step([&](const VbError& e) {
        const ErrorAnswer a = standardErrorDialog(e);
        if (a == ErrorAnswer::Abort) aborted = true;
        return a;
    });
    Form* data = nullptr;
    step([] { Forms::get<VantrelMDI>(); });
    step([&] { data = Forms::byName(QStringLiteral("Data")); });
    step([&] { hide(); });
    step([&] {
        if (data) Forms::show(data);
    });
    if (aborted) {
        // Abort ends the program instead of trying the sequence again and again.
        hide();
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(1); });
    }
}

void frmSplash::setStatusLine(const QString& text, bool throttled) {
    m_status = text;
    m_numbered = false;
    if (statusObserver) statusObserver(text);
    if (!throttled || m_sinceRepaint.elapsed() >= 16) showStatusNow();
}

void frmSplash::setNumberedStatusLine(const QString& text, int number) {
    m_status = text;
    m_number = number;
    m_numbered = true;
    if (statusObserver) statusObserver(statusLine());
    // Looking at the clock costs more than the line itself: only every 64th time.
    if ((++m_calls & 63) == 0 && m_sinceRepaint.elapsed() >= 16) showStatusNow();
}

QString frmSplash::statusLine() const {
    return m_numbered ? m_status + convert::signPlace(m_number) : m_status;
}

void frmSplash::showStatusNow() {
    lblDescription->setText(statusLine());
    if (isVisible()) lblDescription->repaint();
    m_sinceRepaint.restart();
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!m_picture.isNull())
        p.drawPixmap(0, 0, m_picture);
    else
        p.fillRect(rect(), QColor(0xE8, 0xEE, 0xF5));
}

void statusLine(const QString& text, bool throttled) {
    Forms::get<frmSplash>()->setStatusLine(text, throttled);
}

} // namespace pb
