#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace pb {

// A file name pattern as the file list takes it: "*" and "?" wildcards, any case,
// several patterns separated by ";"; "*.*" takes names without a dot too.
class NamePattern {
public:
    explicit NamePattern(const QString& patterns = QStringLiteral("*.*"));
    bool matches(QStringView name) const;
    const QString& text() const { return m_text; }

private:
    QString m_text;
    QStringList m_globs; // case-folded
};

// A folder path and a name joined by exactly one separator.
QString joinPath(const QString& folder, const QString& name);

// What a folder holds, each list in the order the lists show it (case-blind by name).
// A symbolic link to a folder is never a subfolder: walking it could go round forever.
struct FolderListing {
    QStringList folders;
    QStringList files;
};
// False when the folder cannot be read.
bool listFolder(const QString& folder, const NamePattern& pattern, FolderListing& out);

// The search through a folder and every folder below it. Each folder's subfolders
// are searched from the last listed to the first, then its own matching files are
// reported in list order.
class FolderWalk {
public:
    // Lists one folder; false when it cannot be read (it is then skipped and counted).
    std::function<bool(const QString& folder, FolderListing& out)> list;
    // Asked once before each folder; false abandons the search.
    std::function<bool()> keepGoing;
    // Each match by its complete path; false abandons the search (the list is full).
    std::function<bool(const QString& path)> found;

    struct Result {
        bool abandoned = false;
        int skipped = 0; // folders that could not be read
        int folders = 0; // folders searched
    };
    Result run(const QString& top);
};

} // namespace pb
