#include "workspace/frm_save.h"

#include "phonebook/data.h"
#include "platform/prompts.h"
#include "workspace/error_steps.h"
#include "workspace/module_sort.h"
#include "workspace/vantrel_mdi.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace pb {

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
    Steps step(OnError::Ignore);
    switch (job) {
    case SortFirst:
        step([] { SortByFirstName(); });
        break;
    case SortLast:
        step([] { SortByLastName(); });
        break;
    default:
        break;
    }
    step([] { Forms::get<VantrelMDI>()->setCaption(VantrelMDI::normalCaption()); });
    m_done = true;
    step([this] { Forms::unload(this); });
    if (job == SortFirst || job == SortLast) {
        // The sorted book is read afresh: counted, its bag read, its list filled.
        step([] {
            if (Data* data = Forms::find<Data>())
                data->reload();
            else
                Forms::show(Forms::get<Data>());
        });
    }
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
