#pragma once

#include "workspace/forms.h"

#include <QDateTime>
#include <QIcon>
#include <QTimer>
#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pb {

// A one-shot alarm clock: at the set time it comes back, rings and opens the chosen file.
class frmAlarm : public QWidget, public Form {
    Q_OBJECT
public:
    frmAlarm();
    QWidget* widget() override { return this; }
    void Form_Load() override;
    void Form_Unload() override { Timer1.stop(); }

    QString AmPm() const;
    void cmdRun_Click();
    void OKButton_Click();
    void CancelButton_Click();
    void Timer1_Timer();
    // After each key released in the hour (1) or minute (2) box.
    void txtTime_KeyUp(int Index);
    void txtTime_Change(int Index);

    bool Armed = false;
    bool Fired = false;
    QString AlarmTime;
    QString FileToRun;
    int IconFrame = 0;
    // When the armed alarm rings (invalid while not armed or the boxes hold no time).
    QDateTime due() const { return m_due; }

    std::array<QLineEdit*, 3> txtTime{};
    std::array<QRadioButton*, 2> optTime{};
    QGroupBox* fraT = nullptr;
    QPushButton* cmdRun = nullptr;
    QLabel* lblinfo = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QTimer Timer1;
    // 0..16 the ringing frames, 18 the resting bell.
    static QIcon Image1(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ring();
    // Says what is wrong with the hour (1) or minute (2) box and resets it; true when it is good.
    bool boxAccepted(int Index);
    QString m_dueFor; // the alarm text m_due was worked out for
    QDateTime m_due;
    QDateTime m_lastRung;
};

} // namespace pb
