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
#include "table.h"
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
using namespace pbbench;

namespace {

// Runs `work` `calls` times in a row: figures of a few microseconds are timed as their mean.
std::function<void()> repeated(const std::function<void()>& work, int calls) {
    return [work, calls] {
        for (int i = 0; i < calls; ++i)
            work();
    };
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

    // The finder: the whole search through the window, and Cancel clicked a quarter into a search,
    // against find -iname.
    auto* seek = Forms::get<frmSeek>();
    int found = 0;
    const auto search = [&](const QString& spec) {
        seek->ResetSearch();
        seek->dirList->setPath(root);
        seek->txtSearchSpec->setText(spec);
        seek->cmdSearch_Click();
    };
    search(pattern); // the tree into the page cache
    QElapsedTimer warm;
    warm.start();
    search(pattern);
    const int clickAt = static_cast<int>(warm.elapsed() / 4);
    bool clicked = false;
    constexpr int rounds = 3; // a whole tree each time
    const Turns finder =
        byTurns({[&] {
                    QProcess p;
                    p.setStandardOutputFile(QProcess::nullDevice());
                    p.start(QStringLiteral("find"), {root, QStringLiteral("-iname"), pattern});
                    p.waitForFinished(-1);
                }},
                {
                    {[&] {
                        search(pattern);
                        found = seek->lstFoundFiles->count();
                    }},
                    // Timed from the search's start: the click is due `clickAt` later.
                    {[&] {
                         QTimer::singleShot(clickAt, seek, [&] {
                             seek->cmdExit_Click();
                             clicked = true;
                         });
                         search(QStringLiteral("*.no-such-name"));
                     },
                     [&] { clicked = false; },
                     [&] {
                         if (!clicked) {
                             std::fprintf(stderr, "the search ended before Cancel was clicked\n");
                             std::exit(2);
                         }
                     }},
                },
                rounds);
    // Cancel stops the search within 100 ms of the click: on /usr, half of what find takes for the tree.
    std::printf("Finder on %s for \"%s\" (%d found), timed by turns with `find`, best of %d of each:\n\n",
                qPrintable(root), qPrintable(pattern), found, rounds);
    ok = printTable(
             {finder.base,
              {{QStringLiteral("The whole search"), finder.ops[0], 3},
               {QStringLiteral("Cancel, from the click to the search's end"), finder.ops[1] - clickAt, 0.5}}},
             QStringLiteral("`find %1 -iname '%2'`").arg(root, pattern), QStringLiteral("find")) &&
         ok;

    // Note pages on a notes file of 32,767 pages, against a plain repaint of the notes window: each
    // command under 1 ms on a quiet machine, half a repaint.
    {
        QFile f(tmp.path() + QStringLiteral("/Diaries.q7D"));
        f.open(QIODevice::WriteOnly);
        QByteArray page = QByteArray("1:00 PM  Monday, January 05, 2026").leftJustified(40) +
                          QByteArray("Some words of a note.").leftJustified(960);
        for (int i = 0; i < DiaryBook::kLastPage; ++i)
            f.write(page);
    }
    auto* notes = Forms::get<frmDiaries>();
    Forms::show(notes);
    notes->PageNumber = 16000;
    constexpr int calls = 100;
    Table pages =
        timeTable({repeated(
                      [&] {
                          QCoreApplication::processEvents();
                          notes->repaint();
                      },
                      calls)},
                  {
                      {QStringLiteral("Next"), {repeated([&] { notes->NextPage(); }, calls)}, 0.5},
                      {QStringLiteral("Previous"), {repeated([&] { notes->PreviousPage(); }, calls)}, 0.5},
                      {QStringLiteral("Save"),
                       {repeated([&] { notes->SavePage(); }, calls),
                        [&] { notes->txtDiaries->setPlainText(QString(900, QLatin1Char('n'))); }},
                       0.5},
                  });
    pages.base /= calls;
    for (Row& r : pages.rows)
        r.ms /= calls;
    std::printf("\nNote pages on a notes file of 32,767 pages (32.8 MB), each figure the mean of %d calls, "
                "timed by turns with the repaint, best of %d of each:\n\n",
                calls, pages.rounds);
    ok =
        printTable(pages, QStringLiteral("A plain repaint of the notes window"), QStringLiteral("repaint")) &&
        ok;

    for (Form* f : Forms::loaded())
        Forms::unload(f);
    Forms::flushDeleted();
    setPrompts(nullptr);
    return ok ? 0 : 1;
}
