#pragma once

#include "workspace/book_exports.h"

namespace pb {

// The export's side of the phone book window's export commands: the database file and the
// report in db_export.cpp, the web pages in web_job.cpp.
class BookExporter final : public BookExports {
public:
    bool buildDatabaseFile() override;
    void saveDatabaseFile(CommonDialog& dialog) override;
    void showReport() override;
    void closeReport() override;
    void saveWebPages(CommonDialog& dialog) override;
    void previewWebPages() override;
};

} // namespace pb
