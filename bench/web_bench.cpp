// The web export's job (the read, the six texts with every progress line) and the writing of its
// set of files, against writing the same six texts durably, each file on its own.
#include "web_bench.h"

#include "book_files.h"
#include "data/file_sets.h"
#include "export/web_export.h"
#include "workspace/forms.h"
#include "workspace/frm_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

using namespace pb;

namespace pbbench {

WebBench benchWeb(const QString& folder) {
    QDir().mkpath(folder);
    WebFolder() = folder + QLatin1Char('/');
    Forms::get<frmSave>();
    BuildHtmlPages();
    if (WebPages()[web::Records].size() < 10'000'000) std::exit(8);
    const QString frameset = folder + QStringLiteral(".htm");
    WebBench b;
    for (const QByteArray& p : WebPages())
        b.mb += p.size() / 1e6;
    b.table = timeTable(
        {[&] {
            for (int p = web::Title; p < web::PageCount; ++p)
                durableWrite(folder + QLatin1Char('/') + web::kPageFiles[p], WebPages()[p]);
            durableWrite(frameset, WebPages()[web::Frameset]);
            syncFolder(folder);
            syncFolder(QFileInfo(folder).absolutePath());
        }},
        {
            {QStringLiteral("The same bytes written plainly (no temporary file, not synced)"), {[&] {
                 for (int p = web::Frameset; p < web::PageCount; ++p) {
                     QFile out(folder + QStringLiteral("/plain%1.htm").arg(p));
                     if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::exit(8);
                     out.write(WebPages()[p]);
                 }
             }}},
            {QStringLiteral("Build the six pages (every progress line set)"), {BuildHtmlPages}},
            // As the export writes them: the frameset, the folder's pages and the applet's files, one set.
            {QStringLiteral("Build and write the six pages (one set, with the applet's files)"),
             {[&] {
                 BuildHtmlPages();
                 std::vector<files::NamedBytes> pages;
                 for (int p = web::Title; p < web::PageCount; ++p)
                     pages.push_back({web::kPageFiles[p], WebPages()[p]});
                 files::replacePageSet(frameset, WebPages()[web::Frameset], folder, pages, appletFolder());
             }},
             3},
        });
    Forms::unload<frmSave>();
    Forms::flushDeleted();
    return b;
}

bool printWebBench(const WebBench& b) {
    std::printf("\nThe same book as web pages (%.1f MB in six files).\n\n", b.mb);
    return printTable(
        b.table,
        QStringLiteral("The same bytes, each file whole (a new file beside it, synced, renamed; "
                       "the folders synced)"),
        QStringLiteral("durable writes"));
}

} // namespace pbbench
