#include "workspace/frm_save.h"

#include "platform/prompts.h"
#include "workspace/error_steps.h"
#include "workspace/vantrel_mdi.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace pb {

namespace {
struct JobEntry {
    std::function<void()> run;
    std::function<void()> afterwards;
};
std::array<JobEntry, 5>& jobs() {
    static std::array<JobEntry, 5> table;
    return table;
}
} // namespace

bool frmSave::registerJob(Job job, std::function<void()> run, std::function<void()> afterwards) {
    jobs()[job - 1] = {std::move(run), std::move(afterwards)};
    return true;
}

frmSave::frmSave() {
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(QStringLiteral("Dorvane"));
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Please Wait..."), this);
    ProgBar = new QProgressBar(this);
    ProgBar->setMinimumWidth(320);
    layout->addWidget(Label1);
    layout->addWidget(ProgBar);
    for (std::size_t i = 0; i < Timer.size(); ++i) {
        Timer[i].setInterval(2000);
        Timer[i].setSingleShot(true);
        const Job job = static_cast<Job>(i + 1);
        connect(&Timer[i], &QTimer::timeout, this, [this, job] { runJob(job); });
    }
}

void frmSave::start(Job job, const QString& progressLine) {
    frmSave* w = Forms::get<frmSave>();
    w->m_done = false;
    w->Timer[job - 1].start();
    Forms::get<VantrelMDI>()->setCaption(progressLine);
    prompts().showModal(*w);
}

void frmSave::fireArmed() {
    for (std::size_t i = 0; i < Timer.size(); ++i)
        if (Timer[i].isActive()) return runJob(static_cast<Job>(i + 1));
}

void frmSave::runJob(Job job) {
    // Off before the job runs: a message box inside the job must not let it start again.
    Timer[job - 1].stop();
    const JobEntry entry = jobs()[job - 1];
    Steps step(OnError::Ignore);
    if (entry.run) step(entry.run);
    step([] { Forms::get<VantrelMDI>()->setCaption(VantrelMDI::normalCaption()); });
    m_done = true;
    step([this] { Forms::unload(this); });
    if (entry.afterwards) step(entry.afterwards);
}

void frmSave::closeEvent(QCloseEvent* event) {
    // The window goes when its job has run, not before.
    if (m_done)
        event->accept();
    else
        event->ignore();
}

void frmSave::reject() {
    if (m_done) QDialog::reject();
}

} // namespace pb
