#pragma once

#include "workspace/forms.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace pb {

// The start-up window: a picture and a status line while the workspace is built.
class frmSplash : public QWidget, public Form {
    Q_OBJECT
public:
    frmSplash();
    QWidget* widget() override { return this; }
    void Form_Load() override;

    // Shows the window and arms the one-shot start-up timer.
    void startProgram();
    // The start-up sequence, run once by the timer.
    void Timer_Timer();

    // The status line. Every line is taken; the label is repainted at once unless
    // `throttled`, in which case at most every ~16 ms.
    void setStatusLine(const QString& text, bool throttled = false);
    // A line of fixed text and a number in its sign place ("Checking Record 12"),
    // set thousands of times in a row: the text is only made when it is shown.
    void setNumberedStatusLine(const QString& text, int number);
    QString statusLine() const;
    // Paints the line now, whatever the last paint.
    void showStatusNow();
    // Tests watch every line that is set.
    std::function<void(const QString&)> statusObserver;

    QTimer Timer;
    QLabel* lblDescription = nullptr; // lblDescription(2)

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap m_picture;
    QString m_status;
    int m_number = 0;
    bool m_numbered = false;
    unsigned m_calls = 0;
    QElapsedTimer m_sinceRepaint;
};

// The status line of the start-up window, loading it hidden when it is not there.
void statusLine(const QString& text, bool throttled = false);

} // namespace pb
