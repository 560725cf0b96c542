#pragma once

#include "workspace/forms.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>

class QLabel;
class QProgressBar;

namespace pb {

// The progress window that runs a long job: the starter arms one of its five
// timers and shows it modally; two seconds later the timer runs the job, puts the
// frame's caption back and unloads the window.
class frmSave : public QDialog, public Form {
    Q_OBJECT
public:
    // The jobs by timer: 1 web pages, 2 text, 3 sort by first name, 4 sort by last name, 5 database copy.
    enum Job { HtmlPages = 1, RecordsText = 2, SortFirst = 3, SortLast = 4, AccessCopy = 5 };

    frmSave();
    QWidget* widget() override { return this; }

    // Arms the job's timer, puts its progress line into the frame's caption and
    // shows the window modally; returns when the job has run.
    static void start(Job job, const QString& progressLine);
    // The code that owns a job says what its timer runs, and what follows once the
    // window has gone (the sorts reload the book); registered from its own file.
    static bool registerJob(Job job, std::function<void()> run, std::function<void()> afterwards = {});

    void Timer1_Timer() { runJob(HtmlPages); }
    void Timer2_Timer() { runJob(RecordsText); }
    void Timer3_Timer() { runJob(SortFirst); }
    void Timer4_Timer() { runJob(SortLast); }
    void Timer5_Timer() { runJob(AccessCopy); }
    // Runs the timer that is armed (tests fire it in place of waiting).
    void fireArmed();

    QLabel* Label1 = nullptr;
    QProgressBar* ProgBar = nullptr;
    std::array<QTimer, 5> Timer; // Timer1 .. Timer5

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void runJob(Job job);
    bool m_done = false;
};

} // namespace pb
