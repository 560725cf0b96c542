// Times the file finder against `find` on the same tree, and the note pages on the
// largest notes file. Run: build/bench/dorvane_bench_accessories [ROOT [PATTERN]]
#include "accessories/diary_book.h"
#include "accessories/file_lists.h"
#include "accessories/frm_diaries.h"
#include "accessories/frm_seek.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "workspace/forms.h"

#include "silent_prompts.h"
#include "timing.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include <cstdio>
#include <functional>

using namespace pb;
using pbbench::best;
using pbbench::SilentPrompts;

namespace {

// Mean time of one call over `n` calls, in milliseconds.
double each(const std::function<void()>& work, int n) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i)
        work();
    return t.nsecsElapsed() / 1e6 / n;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/usr");
    const QString pattern = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("*.py");
    QTemporaryDir tmp;
    setProgramFolder(tmp.path());
    SettingsStore::setFolder(tmp.path());
    SilentPrompts silent;
    setPrompts(&silent);
    bool ok = true;

    // The finder: the whole search through the window, against find -iname.
    const double findMs = best(
        [&] {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.start(QStringLiteral("find"), {root, QStringLiteral("-iname"), pattern});
            p.waitForFinished(-1);
        },
        {}, 3);
    auto* seek = Forms::get<frmSeek>();
    int found = 0;
    const double seekMs = best(
        [&] {
            seek->ResetSearch();
            seek->dirList->setPath(root);
            seek->txtSearchSpec->setText(pattern);
            seek->cmdSearch_Click();
            found = seek->lstFoundFiles->count();
        },
        {}, 3);
    // Cancel clicked a quarter into a search: how long until the search has stopped.
    seek->ResetSearch();
    seek->dirList->setPath(root);
    seek->txtSearchSpec->setText(QStringLiteral("*.no-such-name"));
    // From the moment the click is due (not when it is handled) until the search has returned.
    const int clickAt = static_cast<int>(seekMs / 4);
    bool clicked = false;
    QTimer::singleShot(clickAt, seek, [&] {
        seek->cmdExit_Click();
        clicked = true;
    });
    QElapsedTimer whole;
    whole.start();
    seek->cmdSearch_Click();
    const double cancelMs = clicked ? whole.nsecsElapsed() / 1e6 - clickAt : -1;

    std::printf("Finder on %s for \"%s\" (%d found), against `find %s -iname '%s'` (%.2f ms):\n\n",
                qPrintable(root), qPrintable(pattern), found, qPrintable(root), qPrintable(pattern), findMs);
    std::printf("| Operation | Time (ms) | Ratio to find | Target |\n|---|---:|---:|---:|\n");
    std::printf("| The whole search | %.2f | %.2f | ≤ 3× |\n", seekMs, seekMs / findMs);
    std::printf("| Cancel until the search has stopped | %.2f | | ≤ 100 ms |\n\n", cancelMs);
    ok = ok && seekMs <= 3 * findMs && cancelMs >= 0 && cancelMs <= 100;

    // Note pages on a notes file of 32,767 pages.
    {
        QFile f(tmp.path() + QStringLiteral("/Diaries.q7D"));
        f.open(QIODevice::WriteOnly);
        QByteArray page = QByteArray("1:00 PM  Monday, January 05, 2026").leftJustified(40) +
                          QByteArray("Some words of a note.").leftJustified(960);
        for (int i = 0; i < DiaryBook::kLastPage; ++i)
            f.write(page);
    }
    auto* notes = Forms::get<frmDiaries>();
    notes->PageNumber = 16000;
    const double nextMs = each([&] { notes->NextPage(); }, 1000);
    const double previousMs = each([&] { notes->PreviousPage(); }, 1000);
    notes->txtDiaries->setPlainText(QString(900, QLatin1Char('n')));
    const double saveMs = each([&] { notes->SavePage(); }, 1000);
    std::printf("Note pages on a notes file of 32,767 pages (32.8 MB), mean of 1,000 calls:\n\n");
    std::printf("| Operation | Time (ms) | Target |\n|---|---:|---:|\n");
    std::printf("| Next | %.3f | ≤ 1 ms |\n| Previous | %.3f | ≤ 1 ms |\n| Save | %.3f | ≤ 1 ms |\n", nextMs,
                previousMs, saveMs);
    ok = ok && nextMs <= 1 && previousMs <= 1 && saveMs <= 1;

    for (Form* f : Forms::loaded())
        Forms::unload(f);
    Forms::flushDeleted();
    setPrompts(nullptr);
    return ok ? 0 : 1;
}
