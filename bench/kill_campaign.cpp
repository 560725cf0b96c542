// Kills each command that writes files at random moments and judges what it leaves:
// the book record by record and its companions, the command's target (its earlier
// version or its new one, never a mix), and names of ours left behind, right after
// the kill, after the next load and after the next run of the same command.
// Run by hand: build/bench/dorvane_kill_campaign [kills per command]   (prints a table)
//         or:  TMPDIR=<a small file system> build/bench/dorvane_kill_campaign --full-disk
#include "book_files.h"
#include "data/module_phonebook.h"
#include "data/phone_record.h"
#include "phonebook/data.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"
#include "platform/vb_error.h"
#include "silent_prompts.h"
#include "workspace/forms.h"
#include "workspace/vantrel_mdi.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <map>
#include <random>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pb;

namespace {

using Tree = std::map<QString, QByteArray>; // path below the root -> bytes ("/" ends a folder)

// Answers as a person who goes on would (Yes to a question, Abort after an error, which it keeps);
// a file dialog takes `fileName`.
class CampaignPrompts : public pbbench::SilentPrompts {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override {
        switch (style & 7) {
        case mb::OKCancel:
            return mb::OK;
        case mb::YesNo:
        case mb::YesNoCancel:
            return mb::Yes;
        case mb::AbortRetryIgnore:
            errors << title + QStringLiteral(": ") + prompt;
            return mb::Abort;
        default:
            if ((style & 0x70) == mb::Critical) errors << title + QStringLiteral(": ") + prompt;
            return mb::OK;
        }
    }
    QStringList errors;
};

CampaignPrompts* answers = nullptr;

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    pbbench::writeBook(path, bytes);
}

Tree treeOf(const QString& root, const QStringList& only = {}) {
    Tree out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(root).relativeFilePath(path);
        if (!only.isEmpty() && !only.contains(rel.section(QLatin1Char('/'), 0, 0))) continue;
        // Names of ours are counted on their own: the target is what stands under its own names.
        if (rel.contains(QLatin1String(".dorvane-"))) continue;
        if (QFileInfo(path).isDir())
            out[rel + QLatin1Char('/')] = {};
        else
            out[rel] = pbbench::readFileBytes(path);
    }
    return out;
}

bool heldByARunningWrite(const QString& note) {
    const int fd = ::open(QFile::encodeName(note).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

// Every name of ours below `root`: staged versions, replaced versions, notes, swap files, the
// ledger's notes, a killed child's lock on the book. The ledger's folder itself stays in the
// program folder, as its lock does.
QStringList leftovers(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() == QLatin1String(".dorvane-writes")) continue;
        // The lock on the book this process holds open is no leftover, nor the ledger's note of
        // it, which its running writer keeps locked; a killed child's are.
        if (it.fileName().endsWith(QLatin1String(".dorvane-lock")) &&
            pbbench::readFileBytes(path).split('\n').value(0) == QByteArray::number(::getpid()))
            continue;
        if (it.fileName().endsWith(QLatin1String(".dorvane-note")) && heldByARunningWrite(path)) continue;
        if (it.fileName().contains(QLatin1String(".dorvane-"))) out << QDir(root).relativeFilePath(path);
    }
    return out;
}

QByteArray record(const QString& first, const QString& last, const QString& comment = {}) {
    PhoneRecord r;
    r.set(PhoneRecord::FirstName, first);
    r.set(PhoneRecord::LastName, last);
    r.set(PhoneRecord::Phone, QStringLiteral("+1 555 0100"));
    r.set(PhoneRecord::Comments, comment);
    return r.toBytes();
}

QByteArray bookOf(int records, const QString& tag) {
    QByteArray book;
    book.reserve(static_cast<qsizetype>(records) * PhoneRecord::kLength);
    for (int i = 0; i < records; ++i)
        book += record(QStringLiteral("%1%2").arg(tag).arg(i), QStringLiteral("Family%1").arg(i),
                       QStringLiteral("Comment for record %1").arg(i));
    return book;
}

// The web pages' applet setting as each scenario starts. After a write of the settings
// failed on a full disk this run keeps failing to write them, which changes nothing here.
void resetAppletType() {
    try {
        SettingsStore::SaveSetting(kAppName, QStringLiteral("WebBrowser"), QStringLiteral("AppletType"),
                                   QStringLiteral("0"));
    } catch (const VbError&) {
    }
}

struct Scenario {
    QString name;
    std::function<void()> prepare; // the state before the command, written afresh
    std::function<void()> command; // run in a loaded phone book window
    QString root;                  // where the target lies
    QStringList only;              // the target's entries in `root` (all when empty)
    // The target as the command found it and as it leaves it; `isNew` may widen the new one.
    Tree before, after;
    std::function<bool(const Tree&)> isNew;
    // The book and its companions, which no command here may change.
    QString bookFolder;
    QStringList bookFiles;
};

// The book's files as they stand.
Tree bookTree(const Scenario& s) {
    Tree t;
    for (const QString& f : s.bookFiles)
        t[f] = pbbench::readFileBytes(s.bookFolder + f);
    return t;
}

struct Counts {
    int kills = 0, finished = 0, mixedAfterKill = 0, tornAfterLoad = 0, bookHarmed = 0, leftAfterKill = 0,
        leftAfterLoad = 0, leftAfterRerun = 0, errors = 0;
};

void loadWindow() {
    Forms::get<Data>();
}

// Every window but the frame, which stays loaded from the start: its media player is made
// before any child is forked, so no killed child ever sets up the sound system.
void unloadAll() {
    for (Form* f : Forms::loaded())
        if (!dynamic_cast<VantrelMDI*>(f)) Forms::unload(f);
    Forms::flushDeleted();
}

// A child that loads the window and runs the command; the returned descriptor gives one
// byte when the command starts and ends when the child does.
std::pair<pid_t, int> startChild(const Scenario& s) {
    int fds[2];
    if (::pipe(fds) != 0) std::exit(4);
    const pid_t child = ::fork();
    if (child != 0) {
        ::close(fds[1]);
        return {child, fds[0]};
    }
    ::close(fds[0]);
    // Whatever the settings say: a kill inside the sound system would leave its shared lock held.
    pbm().PlaySoundEffect = false;
    loadWindow();
    const char go = 1;
    if (::write(fds[1], &go, 1) != 1) ::_exit(3);
    s.command();
    ::_exit(0);
}

// Waits for the child's command to start; false when the child ended before it.
bool started(int fd) {
    char go = 0;
    const bool ok = ::read(fd, &go, 1) == 1;
    ::close(fd);
    return ok;
}

Counts run(Scenario& s, int kills, const QString& everything, std::mt19937& random) {
    Counts c;
    // What the command leaves when nothing stops it, and how long it takes.
    s.prepare();
    s.before = treeOf(s.root, s.only);
    const auto [probe, probeReady] = startChild(s);
    if (!started(probeReady)) {
        std::fprintf(stderr, "%s: the child ended before the command\n", qPrintable(s.name));
        std::exit(5);
    }
    QElapsedTimer t;
    t.start();
    int status = 0;
    ::waitpid(probe, &status, 0);
    const qint64 commandUs = std::max<qint64>(t.nsecsElapsed() / 1000, 1000);
    s.after = treeOf(s.root, s.only);

    for (int k = 0; k < kills; ++k) {
        s.prepare();
        const Tree book = bookTree(s);
        const auto [child, ready] = startChild(s);
        if (!started(ready)) std::exit(6);
        ::usleep(
            static_cast<useconds_t>(std::uniform_int_distribution<qint64>(0, commandUs * 9 / 10)(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ++c.kills;
        if (!WIFSIGNALED(status)) ++c.finished;
        const auto whole = [&](const Tree& t) {
            return t == s.before || t == s.after || (s.isNew && s.isNew(t));
        };
        if (!whole(treeOf(s.root, s.only))) ++c.mixedAfterKill;
        if (bookTree(s) != book) ++c.bookHarmed;
        if (!leftovers(everything).isEmpty()) ++c.leftAfterKill;

        // The next load finishes or clears away what the kill left.
        answers->errors.clear();
        loadWindow();
        if (!whole(treeOf(s.root, s.only))) {
            ++c.tornAfterLoad;
            std::fprintf(stderr, "%s, kill %d: torn after the next load\n", qPrintable(s.name), k);
        }
        const QStringList left = leftovers(everything);
        if (!left.isEmpty()) {
            ++c.leftAfterLoad;
            std::fprintf(stderr, "%s, kill %d: left after the load: %s\n", qPrintable(s.name), k,
                         qPrintable(left.join(QStringLiteral(", "))));
        }
        // And the next run of the same command leaves nothing either.
        s.command();
        if (const QStringList rerun = leftovers(everything); !rerun.isEmpty()) {
            ++c.leftAfterRerun;
            std::fprintf(stderr, "%s, kill %d: left after the next run: %s\n", qPrintable(s.name), k,
                         qPrintable(rerun.join(QStringLiteral(", "))));
        }
        c.errors += static_cast<int>(answers->errors.size());
        for (const QString& e : answers->errors)
            std::fprintf(stderr, "%s, kill %d: told %s\n", qPrintable(s.name), k, qPrintable(e));
        unloadAll();
    }
    return c;
}

// Fills the file system that holds `folder` to the last byte; the filler is removed by the caller.
void fill(const QString& filler) {
    QFile f(filler);
    if (!f.open(QIODevice::WriteOnly)) std::exit(7);
    for (qint64 chunk = 1 << 20; chunk > 0; chunk /= 2) {
        const QByteArray bytes(chunk, 'f');
        while (f.write(bytes) == chunk && f.flush()) {
        }
    }
}

// Each command on a full disk: it is told, and the target, the book and its companions stay
// as they were, with no name of ours beside them.
bool fullDisk(Scenario& s, const QString& everything) {
    s.prepare();
    const Tree before = treeOf(s.root, s.only);
    const Tree book = bookTree(s);
    loadWindow();
    const QString filler = everything + QStringLiteral("/filler");
    fill(filler);
    answers->errors.clear();
    s.command();
    QFile::remove(filler);
    const Tree bookAfter = bookTree(s);
    const bool told = !answers->errors.isEmpty();
    const bool whole = treeOf(s.root, s.only) == before && bookAfter == book;
    const QStringList left = leftovers(everything);
    std::printf("| %s | %s | %s | %s |\n", qPrintable(s.name),
                told ? qPrintable(answers->errors.first().simplified().left(60)) : "not told",
                whole ? "as it was" : "changed",
                left.isEmpty() ? "none" : qPrintable(left.join(QStringLiteral(", "))));
    std::fflush(stdout);
    unloadAll();
    return told && whole && left.isEmpty();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // "--full-disk": each command once on a full disk instead (put TMPDIR on a small file system).
    const bool onFullDisk = argc > 1 && QByteArray(argv[1]) == "--full-disk";
    const int kills = argc > 1 && !onFullDisk ? std::atoi(argv[1]) : 100;
    QTemporaryDir dir;
    // Filling a large disk would take long and starve everything else on the machine of space.
    if (onFullDisk && QStorageInfo(dir.path()).bytesAvailable() > (qint64(2) << 30)) {
        std::fprintf(stderr, "--full-disk fills the file system of TMPDIR: put it on one of 2 GB or less "
                             "(for example a small tmpfs).\n");
        return 2;
    }
    const QString appDir = dir.path() + QStringLiteral("/app/");
    const QString out = dir.path() + QStringLiteral("/out/");
    QDir().mkpath(appDir);
    QDir().mkpath(out);
    setProgramFolder(appDir);
    SettingsStore::setFolder(dir.path() + QStringLiteral("/config"));
    CampaignPrompts prompts;
    answers = &prompts;
    setPrompts(&prompts);
    Forms::get<VantrelMDI>();

    const QString bookName = QStringLiteral("Dorvane2DataBase.q7B");
    const QByteArray bigBook = bookOf(kMaxRecords - 1, QStringLiteral("Name"));
    const QByteArray smallBook = bookOf(3000, QStringLiteral("Name"));
    const QByteArray olderBook = bookOf(2000, QStringLiteral("Older"));
    const QStringList bookFiles = {bookName, QStringLiteral("Dorvane2DataBase.set"),
                                   QStringLiteral("Dorvane2DataBaseAttachmentsRef.att")};
    // The open book with its companions and attachments; the earlier target is prepared by each scenario.
    const auto openBook = [&](const QByteArray& book) {
        unloadAll();
        ModulePhoneBook::reset();
        QDir(dir.path() + QStringLiteral("/app")).removeRecursively();
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        put(appDir + bookName, book);
        put(appDir + QStringLiteral("Dorvane2DataBase.set"), {});
        put(appDir + QStringLiteral("Dorvane2DataBaseAttachmentsRef.att"), QByteArray(188, 'i'));
        for (int i = 0; i < 40; ++i)
            put(appDir + QStringLiteral("Dorvane2DataBaseAttachments/clip%1.wav").arg(i),
                QByteArray(50000, 'n'));
        resetAppletType();
        pbm().DataBasePath = appDir;
        pbm().DataBaseName = bookName;
    };
    // A book of another content with its companions, where a command writes its copy.
    const auto olderBookAt = [&](const QString& folder, const QString& stem) {
        put(folder + stem + QStringLiteral(".q7b"), olderBook);
        put(folder + stem + QStringLiteral(".set"), QByteArray(300, 's'));
        put(folder + stem + QStringLiteral("AttachmentsRef.att"), QByteArray(188, 'o'));
        for (int i = 0; i < 40; ++i)
            put(folder + stem + QStringLiteral("Attachments/clip%1.wav").arg(i), QByteArray(50000, 'o'));
    };
    const auto inWindow = [](const std::function<void()>& f) {
        loadWindow();
        f();
        unloadAll();
    };

    std::vector<Scenario> scenarios;
    scenarios.push_back({QStringLiteral("Paste on a book of 32,765 records"),
                         [&] {
                             openBook(bigBook);
                             put(appDir + QStringLiteral("PhoneClip.q7B"),
                                 record(QStringLiteral("Pasted"), {}));
                         },
                         [] {
                             pbm().current = 1;
                             Forms::get<Data>()->mnuPaste_Click();
                         },
                         appDir,
                         {bookName},
                         {},
                         {},
                         {},
                         appDir,
                         bookFiles.mid(1)});
    const QString backup = appDir + QStringLiteral("Backup copy of Phonebook Database");
    scenarios.push_back({QStringLiteral("Back up over an earlier backup"),
                         [&] {
                             openBook(smallBook);
                             olderBookAt(backup + QLatin1Char('/'), QStringLiteral("Dorvane2DataBase"));
                         },
                         [] { Forms::get<Data>()->mnuBackUp_Click(); },
                         backup,
                         {},
                         {},
                         {},
                         {},
                         appDir,
                         bookFiles});
    scenarios.push_back({QStringLiteral("Save database as over an older book"),
                         [&] {
                             openBook(smallBook);
                             olderBookAt(out, QStringLiteral("Copy"));
                             answers->fileName = out + QStringLiteral("Copy.q7b");
                         },
                         [] { Forms::get<Data>()->saveDataBaseAs(); },
                         out,
                         {},
                         {},
                         {},
                         {},
                         appDir,
                         bookFiles});
    Scenario fresh{QStringLiteral("New database over an older book"),
                   [&] {
                       openBook(smallBook);
                       olderBookAt(out, QStringLiteral("Fresh"));
                       answers->fileName = out + QStringLiteral("Fresh.q7b");
                   },
                   [] { Forms::get<Data>()->mnuNewDataBase_Click(); },
                   out,
                   {},
                   {},
                   {},
                   {},
                   appDir,
                   // Leaving the old book for the new one writes the old book's bag, as every unload does.
                   {bookName, QStringLiteral("Dorvane2DataBaseAttachmentsRef.att")}};
    // Once the new empty book stands, its load may leave its empty bag and index beside it.
    fresh.isNew = [&](const Tree& t) {
        for (const auto& [name, bytes] : t)
            if (!bytes.isEmpty() || name.endsWith(QLatin1Char('/'))) return false;
        return t.count(QStringLiteral("Fresh.q7b")) == 1;
    };
    scenarios.push_back(fresh);
    // An export over an earlier export, of the older book, to the same place; `extra` adds to what
    // the earlier one left.
    const auto exportOver = [&](const char* what, void (Data::*command)(), const char* target,
                                const std::function<void()>& extra = {}) {
        const auto run = [command] { (Forms::get<Data>()->*command)(); };
        scenarios.push_back({QString::fromUtf8(what),
                             [&, run, target, extra] {
                                 openBook(smallBook);
                                 put(appDir + bookName, olderBook);
                                 answers->fileName = out + QLatin1String(target);
                                 inWindow(run);
                                 put(appDir + bookName, smallBook);
                                 put(appDir + QStringLiteral("Dorvane2DataBase.set"), {});
                                 resetAppletType();
                                 if (extra) extra();
                             },
                             run,
                             out,
                             {},
                             {},
                             {},
                             {},
                             appDir,
                             bookFiles});
    };
    exportOver("Web export over an earlier export", &Data::mnuSaveAsHtml_Click, "Book.htm",
               [&] { put(out + QStringLiteral("Book/mine.txt"), "the user's own"); });
    exportOver("Text export over an earlier export", &Data::mnuSaveAs_Click, "Book.txt");
    exportOver("Database export over an earlier export", &Data::mnuTransform_Click, "Book.sqlite");

    if (onFullDisk) {
        std::printf("| Command on a full disk | Told | Target, book and companions | Names of ours left |\n"
                    "|---|---|---|---|\n");
        bool ok = true;
        for (Scenario& s : scenarios)
            ok = fullDisk(s, dir.path()) && ok;
        unloadAll();
        setPrompts(nullptr);
        return ok ? 0 : 1;
    }
    std::mt19937 random(20270116);
    std::printf(
        "| Command | Kills | Finished before the kill | Target mixed right after the kill | "
        "Torn after the next load | Book or companions changed | Names of ours after the kill | "
        "after the next load | after the next run |\n|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    bool ok = true;
    for (Scenario& s : scenarios) {
        const Counts c = run(s, kills, dir.path(), random);
        std::printf("| %s | %d | %d | %d | %d | %d | %d | %d | %d |\n", qPrintable(s.name), c.kills,
                    c.finished, c.mixedAfterKill, c.tornAfterLoad, c.bookHarmed, c.leftAfterKill,
                    c.leftAfterLoad, c.leftAfterRerun);
        std::fflush(stdout);
        ok = ok && c.tornAfterLoad == 0 && c.bookHarmed == 0 && c.leftAfterLoad == 0 &&
             c.leftAfterRerun == 0 && c.errors == 0;
    }
    unloadAll();
    setPrompts(nullptr);
    return ok ? 0 : 1;
}
