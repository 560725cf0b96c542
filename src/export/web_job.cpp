// The web pages job of the progress window, the web export and the web preview.
#include "data/book_files.h"
#include "data/file_copy.h"
#include "data/file_sets.h"
#include "data/module_phonebook.h"
#include "data/working_files.h"
#include "export/book_exporter.h"
#include "export/web_export.h"
#include "platform/app_path.h"
#include "platform/prompts.h"
#include "platform/record_file.h"
#include "platform/settings_store.h"
#include "workspace/error_steps.h"
#include "workspace/frm_save.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/window_roles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <algorithm>
#include <future>
#include <thread>
#include <vector>

namespace pb {

namespace {

// Whether the last build read the whole book.
bool& htmlBuilt() {
    static bool built = false;
    return built;
}

[[maybe_unused]] const bool htmlJob = frmSave::registerJob(frmSave::HtmlPages, BuildHtmlPages);

// The applet's setting flips with every build: "1" after "0", "0" after "1", and a
// text that is no number counts as "0".
QString flipAppletType() {
    const QString section = QStringLiteral("WebBrowser");
    const QString key = QStringLiteral("AppletType");
    bool ok = false;
    const double old =
        SettingsStore::GetSetting(kAppName, section, key, QStringLiteral("0")).trimmed().toDouble(&ok);
    const QString next = ok && old == 1 ? QStringLiteral("0") : QStringLiteral("1");
    // A setting that cannot be stored is no reason to build nothing: on a full disk the
    // pages' own writes then say what is wrong.
    Steps(OnError::Ignore)([&] { SettingsStore::SaveSetting(kAppName, section, key, next); });
    return next;
}

// Records a worker reads at a time: the buffer stays small enough to be used again at once.
constexpr int kRecordsPerRead = 256;

// Records first..last of the book, a few at a time through one small buffer.
template <typename Use> void eachSlice(const RecordFile& book, int first, int last, const Use& use) {
    for (int from = first; from <= last; from += kRecordsPerRead) {
        const int to = std::min(last, from + kRecordsPerRead - 1);
        const QByteArray records = book.readRange(from, to - from + 1);
        use(records.constData(), from, to);
    }
}

// The book's parts are measured on worker threads while the contents page's progress lines
// go out here, and then written straight into their places in the pages while the records
// page's lines go out: no part is built in a buffer of its own and copied again.
void buildFrom(int n) {
    ModulePhoneBook& m = pbm();
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    QProgressBar* bar = Forms::get<frmSave>()->ProgBar;
    bar->setRange(0, n);
    const auto progress = [&](const char* what, int i) {
        if (i == n || (i & 63) == 0) bar->setValue(i);
        frame->setProgressCaption(web::progressLine(what, i, n), i == n);
    };
    web::PageBuilder pages({m.Label, m.SortedByLastName, WebFolder(), {}}, n);
    const RecordFile& book = m.database();
    // More parts than this only queue up for the memory they all write at once.
    const int parts = n == 0 ? 0
                      : n < 4096
                          ? 1
                          : static_cast<int>(std::clamp(std::thread::hardware_concurrency() / 2, 1u, 3u));
    std::vector<std::pair<int, int>> ranges;
    for (int k = 0; k < parts; ++k)
        ranges.emplace_back(1 + static_cast<int>(static_cast<qint64>(n) * k / parts),
                            static_cast<int>(static_cast<qint64>(n) * (k + 1) / parts));
    std::vector<std::future<web::PartSize>> measuring;
    for (const auto& [first, last] : ranges)
        measuring.push_back(std::async(std::launch::async, [&pages, &book, first, last] {
            web::PartSize size;
            eachSlice(book, first, last, [&](const char* records, int from, int to) {
                const web::PartSize s = pages.measure(records, from, to);
                size.names += s.names;
                size.records += s.records;
            });
            return size;
        }));
    // The setting is stored while the parts are measured: the disk's time is no one's wait.
    const QString appletType = flipAppletType();
    for (int i = 1; i <= n; ++i)
        progress("Constructing Contents Page. Writing Name", i);
    std::vector<web::PartSize> sizes;
    for (auto& part : measuring)
        sizes.push_back(part.get());
    pages.beginRecords(appletType);
    std::vector<web::PageBuilder::Room> rooms = pages.makeRoom(sizes);
    std::vector<std::future<void>> writing;
    for (std::size_t k = 0; k < ranges.size(); ++k)
        writing.push_back(
            std::async(std::launch::async, [&pages, &book, &room = rooms[k], range = ranges[k]] {
                eachSlice(book, range.first, range.second, [&](const char* records, int from, int to) {
                    pages.writeInto(room, records, from, to);
                });
                if (!room.full()) throw web::PartChanged();
            }));
    for (int i = 1; i <= n; ++i)
        progress("Constructing Records Page. Writing Record", i);
    try {
        for (auto& part : writing)
            part.get();
    } catch (const web::PartChanged&) {
        throw VbError(err::PathFileAccess, QStringLiteral("The phonebook changed while it was read"));
    }
    WebPages() = pages.finish();
}

// The applet's files the pages expect beside them, from the program's own resources.
QStringList appletResources() {
    QStringList names;
    QDirIterator it(QStringLiteral(":/applet"));
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    names.sort();
    return names;
}

} // namespace

std::array<QByteArray, web::PageCount>& WebPages() {
    static std::array<QByteArray, web::PageCount> pages;
    return pages;
}

QString& WebFolder() {
    static QString folder;
    return folder;
}

void BuildHtmlPages() {
    ModulePhoneBook& m = pbm();
    htmlBuilt() = false;
    const int n = m.RecordCount;
    // A failed read ends the job, so no page stands for a book it is not.
    Steps step(OnError::StandardNoIgnore);
    if (!step([&] { buildFrom(n); })) return;
    htmlBuilt() = true;
    // The shared record buffer holds the shown record again.
    Steps(OnError::Ignore)([&] { m.readRecord(m.current); });
}

bool StartWriteHtml() {
    htmlBuilt() = false;
    frmSave::start(frmSave::HtmlPages, QStringLiteral("Rewriting Records in Html Format. Please Wait . . ."));
    return htmlBuilt();
}

QString appletFolder() {
    const QString folder = AppPath() + QLatin1String(working::kAppletFolder);
    if (files::folderExists(folder)) return folder;
    if (QFileInfo(folder).exists() || QFileInfo(folder).isSymLink()) throw VbError(err::FileExists);
    std::vector<files::NamedBytes> applet;
    for (const QString& name : appletResources()) {
        QFile in(QStringLiteral(":/applet/") + name);
        if (!in.open(QIODevice::ReadOnly)) throw VbError(err::FileNotFound);
        applet.push_back({name, in.readAll()});
    }
    // Made whole beside its place: a kill never leaves a folder that later exports take for whole.
    files::FileSet set({folder});
    set.stageFolder(folder, {}, applet, false);
    set.commit();
    return folder;
}

void refuseBookTarget(const QString& framesetFile, const QString& folder) {
    const BookPaths open = bookPaths(pbm().names());
    if (targetClash(framesetFile, open) == Clash::OpenBook ||
        targetClash(folder, open, true) == Clash::OpenBook)
        throw VbError(err::PermissionDenied);
}

QString webPreviewPage() {
    return AppPath() + QLatin1String(working::kPreviewPage);
}

QString webPreviewFolder() {
    return AppPath() + QLatin1String(working::kPreviewFolder);
}

namespace {

// The frameset, its pages and the applet's files replace an earlier export as one set.
bool writeAll(Steps& step, const QString& framesetFile, const QString& folder) {
    std::vector<files::NamedBytes> pages;
    for (int p = web::Title; p < web::PageCount; ++p)
        pages.push_back({web::kPageFiles[p], WebPages()[p]});
    step([&] {
        files::replacePageSet(framesetFile, WebPages()[web::Frameset], folder, pages, appletFolder());
    });
    return !step.left();
}

} // namespace

bool WriteWebPreview() {
    const QString folder = webPreviewFolder();
    WebFolder() = folder + QLatin1Char('/');
    if (!StartWriteHtml()) return false;
    Steps must(OnError::StandardNoIgnore);
    if (!must([&] {
            refuseBookTarget(webPreviewPage(), folder);
            files::createFolder(folder);
        }))
        return false;
    Steps step(OnError::Standard);
    return writeAll(step, webPreviewPage(), folder);
}

void BookExporter::saveWebPages(CommonDialog& d) {
    Steps ask(OnError::StandardCancelRule);
    // The pages fill a folder of their own: nothing of ours may be that folder or lie in it.
    const bool named =
        askSaveTarget(d, ask, QStringLiteral("htm"), QStringLiteral("Web Page |*.htm; *.html"), [&] {
            return refusedTarget(d.FileName, d.DialogTitle) ||
                   refusedTarget(web::exportFolderFor(d.FileName), d.DialogTitle, true);
        });
    const QString file = d.FileName;
    d.FileName.clear();
    if (!named) return;
    const QString folder = web::exportFolderFor(file);
    // Nothing may go past a folder that is not there.
    Steps must(OnError::StandardNoIgnore);
    if (!must([&] { files::createFolder(folder); })) return;
    WebFolder() = folder + QLatin1Char('/');
    if (!StartWriteHtml()) return;
    Steps step(OnError::Standard);
    writeAll(step, file, folder);
}

void BookExporter::previewWebPages() {
    const QString page = webPreviewPage();
    if (files::fileExists(page)) {
        const int answer =
            MsgBox(QStringLiteral("A web preview was created earlier\r\n"
                                  "You have the choice of either reconstructing the file to include\r\n"
                                  "any update from the original Phonebook Database, or preview it as\r\n"
                                  "it is. Do you want to reconstruct?"),
                   mb::YesNoCancel | mb::Question, QStringLiteral("WebBrowser message"));
        pbm().LastErrorAnswer = QString::number(answer);
        if (answer != mb::Yes && answer != mb::No) return;
        if (answer == mb::Yes && !WriteWebPreview()) return;
    } else if (!WriteWebPreview()) {
        return;
    }
    Steps step(OnError::Standard);
    step([] { ShowForm(QStringLiteral("frmBrowser")); });
    step([&] { windowAs<PageViewer>(QStringLiteral("frmBrowser")).NavigateTo(page); });
}

} // namespace pb
