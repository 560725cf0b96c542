#pragma once

namespace pb {

class CommonDialog;

// The book's exports to a database file, its report and web pages, as the phone book window's
// commands start them. The export offers them at start-up, so that window needs none of its headers.
class BookExports {
public:
    virtual ~BookExports() = default;
    // The book copied into the database file in the program folder; false when it was not built whole.
    virtual bool buildDatabaseFile() = 0;
    // The database file built, then saved where the user names in `dialog`.
    virtual void saveDatabaseFile(CommonDialog& dialog) = 0;
    // The database file built, then shown in the report window.
    virtual void showReport() = 0;
    // Closes the report's connection to the database file.
    virtual void closeReport() = 0;
    // The web pages built, then saved where the user names in `dialog`.
    virtual void saveWebPages(CommonDialog& dialog) = 0;
    // The web pages built (or kept), then shown in the surfer.
    virtual void previewWebPages() = 0;

    // The exports offered; nullptr before.
    static BookExports* offered() { return slot(); }
    static bool offer(BookExports& exports) {
        slot() = &exports;
        return true;
    }

private:
    static BookExports*& slot() {
        static BookExports* exports = nullptr;
        return exports;
    }
};

} // namespace pb
