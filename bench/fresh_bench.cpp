// Figures taken in a process of their own, started again from the bench.
#include "fresh_bench.h"

#include "data/module_phonebook.h"
#include "export/data_report.h"
#include "phonebook/data.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "workspace/forms.h"
#include "workspace/vantrel_mdi.h"

#include "silent_prompts.h"
#include "timing.h"
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace pb;

namespace {

// A field of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ')[0].toDouble() / 1024.0;
    return 0;
}

// The program as it stands after its start on the book in `folder`: the frame and the phone book window.
Data* startOn(const QString& folder, pbbench::SilentPrompts& prompts) {
    setProgramFolder(folder);
    SettingsStore::setFolder(folder + QStringLiteral("/config"));
    setPrompts(&prompts);
    ModulePhoneBook& m = pbm();
    m.DataBasePath = folder + QLatin1Char('/');
    m.DataBaseName = QStringLiteral("Dorvane2DataBase.q7B");
    Forms::get<VantrelMDI>();
    Data* d = Forms::get<Data>();
    QCoreApplication::processEvents();
    return d;
}

int webChild(const QString& folder) {
    pbbench::SilentPrompts prompts;
    Data* d = startOn(folder, prompts);
    prompts.fileName = folder + QStringLiteral("/Fresh Web.htm");
    const pbbench::Work exportOnce{[d] { d->mnuSaveAsHtml_Click(); }};
    // The first export against a later one, one of each a process: the parent keeps the best of each
    // over its processes, so both have as many turns. The second export is still not as fast as
    // the ones after it: the later one is the fourth.
    const double first = pbbench::timeOnce(exportOnce);
    exportOnce.run();
    exportOnce.run();
    const double later = pbbench::timeOnce(exportOnce);
    if (!QFile::exists(folder + QStringLiteral("/Fresh Web/Records.htm"))) return 30;
    std::printf("%.3f %.3f\n", first, later);
    return 0;
}

int reportChild(const QString& folder) {
    pbbench::SilentPrompts prompts;
    Data* d = startOn(folder, prompts);
    // The peak starts again from here (Linux resets it when "5" is written there).
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly)) reset.write("5");
    reset.close();
    const double before = statusMb("VmRSS:");
    d->mnuReport_Click();
    DataReport* r = Forms::find<DataReport>();
    if (!r || r->rows().size() == 0) return 31;
    r->repaint();
    QCoreApplication::processEvents();
    std::printf("%.3f %.3f\n", statusMb("VmRSS:") - before, statusMb("VmHWM:") - before);
    return 0;
}

// One first export is one sample, and the machine's other work varies: the best of several processes.
constexpr int kProcesses = 12;

// Two figures from a child, or the bench ends.
std::pair<double, double> fromChild(const char* mode, const QString& folder) {
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode), folder});
    if (!child.waitForFinished(120000) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s ended with %d\n", mode, child.exitCode());
        std::exit(32);
    }
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 2) std::exit(33);
    return {figures[0].toDouble(), figures[1].toDouble()};
}

} // namespace

int runFreshChild(int argc, char** argv) {
    if (argc < 3) return -1;
    const QByteArray mode = argv[1];
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (mode == "--fresh-web") return webChild(folder);
    if (mode == "--fresh-report") return reportChild(folder);
    return -1;
}

FreshBench freshBench(const QString& folder) {
    FreshBench b;
    b.firstWebMs = b.laterWebMs = 1e300;
    for (int run = 0; run < kProcesses; ++run) {
        const auto [first, later] = fromChild("--fresh-web", folder);
        b.firstWebMs = std::min(b.firstWebMs, first);
        b.laterWebMs = std::min(b.laterWebMs, later);
    }
    std::tie(b.reportMb, b.reportPeakMb) = fromChild("--fresh-report", folder);
    return b;
}

bool printFreshBench(const FreshBench& b) {
    std::printf("\nIn a process of its own, after the program's start on the same book:\n\n");
    std::printf("| Figure | Value | Against | Target |\n|---|---:|---:|---:|\n");
    std::printf("| The first web export of the process (the whole command, best of %d processes) | %.2f ms | "
                "%.2f× a later one (the fourth of the same process, best of as many: %.2f ms) | ≤ 1.3× |\n",
                kProcesses, b.firstWebMs, b.firstWebMs / b.laterWebMs, b.laterWebMs);
    std::printf("| Memory the open report adds (resident after it opened) | %.1f MB | | ≤ 64 MB |\n",
                b.reportMb);
    std::printf("| The highest resident memory while it opened, above the start | %.1f MB | | |\n",
                b.reportPeakMb);
    return b.firstWebMs <= 1.3 * b.laterWebMs && b.reportMb <= 64;
}
