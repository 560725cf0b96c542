#include "accessories/frm_alarm.h"

#include "accessories/alarm_time.h"
#include "platform/clock.h"
#include "platform/prompts.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QtMath>

namespace pb {

PB_REGISTER_WINDOW("frmAlarm", frmAlarm)

namespace {

// A bell drawn here: still for the resting icon, swinging through the ringing frames.
QIcon drawBell(int index) {
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const bool ringing = index >= 0 && index <= 16;
    const double angle = ringing ? 25.0 * qSin(index * 2 * M_PI / 17) : 0.0;
    p.translate(16, 4);
    p.rotate(angle);
    QPainterPath bell;
    bell.moveTo(-10, 20);
    bell.cubicTo(-9, 6, -7, 2, 0, 2);
    bell.cubicTo(7, 2, 9, 6, 10, 20);
    bell.closeSubpath();
    p.setPen(QPen(QColor(90, 60, 0), 1.5));
    p.setBrush(ringing ? QColor(250, 190, 30) : QColor(200, 170, 90));
    p.drawPath(bell);
    p.drawEllipse(QPointF(0, 22), 3, 3);
    p.drawEllipse(QPointF(0, 1), 2, 2);
    return QIcon(pix);
}

} // namespace

QIcon frmAlarm::Image1(int index) {
    static std::array<QIcon, 19> drawn;
    if (index < 0 || index >= static_cast<int>(drawn.size())) return {};
    if (drawn[index].isNull()) drawn[index] = drawBell(index);
    return drawn[index];
}

frmAlarm::frmAlarm() {
    setObjectName(QStringLiteral("frmAlarm"));
    setWindowTitle(QStringLiteral("Alarm"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowFlag(Qt::Window);
    auto* grid = new QGridLayout(this);

    for (int i = 0; i < 3; ++i) {
        txtTime[i] = new QLineEdit(this);
        txtTime[i]->setObjectName(QStringLiteral("txtTime%1").arg(i));
    }
    txtTime[0]->setReadOnly(true);
    txtTime[0]->setAlignment(Qt::AlignCenter);
    txtTime[1]->setText(QStringLiteral("12"));
    txtTime[2]->setText(QStringLiteral("00"));
    for (int i = 1; i < 3; ++i) {
        txtTime[i]->setMaxLength(2);
        txtTime[i]->setFixedWidth(40);
        txtTime[i]->installEventFilter(this);
        connect(txtTime[i], &QLineEdit::textChanged, this, [this, i] { txtTime_Change(i); });
    }
    fraT = new QGroupBox(this);
    auto* ampm = new QHBoxLayout(fraT);
    optTime[0] = new QRadioButton(QStringLiteral("AM"), fraT);
    optTime[1] = new QRadioButton(QStringLiteral("PM"), fraT);
    optTime[0]->setChecked(true);
    ampm->addWidget(optTime[0]);
    ampm->addWidget(optTime[1]);

    cmdRun = new QPushButton(QStringLiteral("Action"), this);
    lblinfo = new QLabel(this);
    lblinfo->setWordWrap(true);
    OKButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QString(), this);
    CancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(), this);
    OKButton->setToolTip(QStringLiteral("OK"));
    CancelButton->setToolTip(QStringLiteral("Cancel"));

    grid->addWidget(txtTime[0], 0, 0, 1, 4);
    grid->addWidget(txtTime[1], 1, 0);
    grid->addWidget(new QLabel(QStringLiteral(":"), this), 1, 1);
    grid->addWidget(txtTime[2], 1, 2);
    grid->addWidget(fraT, 1, 3);
    grid->addWidget(cmdRun, 2, 0, 1, 2);
    grid->addWidget(lblinfo, 2, 2, 1, 2);
    // The two buttons side by side at one size, whatever the columns above them need.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {OKButton, CancelButton}) {
        b->setMinimumWidth(80);
        buttons->addWidget(b);
    }
    grid->addLayout(buttons, 3, 0, 1, 4);

    connect(cmdRun, &QPushButton::clicked, this, [this] { cmdRun_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void frmAlarm::Form_Load() {
    Steps step(OnError::Ignore);
    step([&] { setWindowIcon(Image1(18)); });
    step([&] { txtTime[0]->setText(alarm::clockText(clockNow())); });
    step([&] { Timer1.start(); });
    Armed = false;
}

QString frmAlarm::AmPm() const {
    return optTime[0]->isChecked() ? QStringLiteral("AM") : QStringLiteral("PM");
}

void frmAlarm::cmdRun_Click() {
    FileToRun = SelectFileName();
    lblinfo->setText(QStringLiteral("File: ") + FileToRun);
}

void frmAlarm::OKButton_Click() {
    // A box changed without a key (a paste with the mouse) was never checked: an alarm
    // that could not ring is refused here, never armed in silence.
    if (!boxAccepted(1) || !boxAccepted(2)) return;
    playSound(sound::AlarmSet);
    // Every OK is a fresh alarm: the next tick works out when it rings.
    Armed = true;
    Fired = false;
    m_dueFor.clear();
    m_due = {};
    showMinimized();
}

void frmAlarm::CancelButton_Click() {
    Steps step(OnError::Ignore);
    step([] { playSound(sound::ToolbarClick); });
    step([&] { Timer1.stop(); });
    step([&] { setWindowIcon(Image1(18)); });
    Forms::unload(this);
}

void frmAlarm::Timer1_Timer() {
    Steps step(OnError::Ignore);
    const QDateTime now = clockNow();
    step([&] { txtTime[0]->setText(alarm::clockText(now)); });
    if (!Armed) return;
    AlarmTime = alarm::alarmText(txtTime[1]->text(), txtTime[2]->text(), optTime[1]->isChecked());
    IconFrame = (IconFrame + 1) % 17;
    step([&] { setWindowIcon(Image1(IconFrame)); });
    // A changed time (AM/PM included) is a new alarm from now on.
    if (AlarmTime != m_dueFor) {
        m_dueFor = AlarmTime;
        const std::optional<QTime> at =
            alarm::timeOfDay(txtTime[1]->text(), txtTime[2]->text(), optTime[1]->isChecked());
        m_due = at ? alarm::nextOccurrence(now, *at, m_lastRung) : QDateTime();
    }
    if (m_due.isValid() && now >= m_due && !Fired) ring();
}

void frmAlarm::ring() {
    // Disarmed before anything shows: a box the opened file brings up lets ticks through.
    Armed = false;
    Fired = true;
    m_lastRung = m_due;
    m_due = {};
    Steps step(OnError::Ignore);
    step([] { ShowForm(QStringLiteral("frmAlarm")); });
    step([] { playSound(sound::Alarm); });
    if (!FileToRun.isEmpty()) {
        const QString file = FileToRun;
        step([&] { Forms::get<VantrelMDI>()->OpenMyFile(file, false); });
    }
}

void frmAlarm::txtTime_KeyUp(int Index) {
    if (Index == 1 || Index == 2) boxAccepted(Index);
}

bool frmAlarm::boxAccepted(int Index) {
    const std::optional<alarm::Refusal> r = alarm::checkBox(Index, txtTime[Index]->text());
    if (!r) return true;
    MsgBox(r->message, mb::OKOnly | mb::Exclamation, QStringLiteral("! Alarm message"));
    txtTime[Index]->setText(r->reset);
    return false;
}

void frmAlarm::txtTime_Change(int Index) {
    if (Index != 0) Fired = false;
}

bool frmAlarm::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 1; i < 3; ++i) {
        if (watched != txtTime[i]) continue;
        if (event->type() == QEvent::KeyRelease) {
            QPointer<frmAlarm> self(this);
            txtTime_KeyUp(i);
            if (!self) return true;
        } else if (event->type() == QEvent::FocusIn) {
            QLineEdit* box = txtTime[i];
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmAlarm::closeEvent(QCloseEvent* event) {
    Forms::unload(this);
    event->accept();
}

} // namespace pb
