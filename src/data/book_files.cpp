#include "data/book_files.h"

#include "data/file_copy.h"
#include "data/file_sets.h"
#include "data/working_files.h"
#include "platform/app_path.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace pb {

namespace {

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool exists(const QString& cleanPath) {
    struct stat st {};
    return ::stat(QFile::encodeName(cleanPath).constData(), &st) == 0;
}

QString parentOf(const QString& cleanPath) {
    return QFileInfo(cleanPath).path();
}

QString flippedCase(const QString& name) {
    QString out = name;
    for (QChar& c : out)
        c = c.isUpper() ? c.toLower() : c.toUpper();
    return out;
}

// Whether names in `folder` are looked up without regard to case: one of its entries
// is found again under its name with every letter's case turned round.
bool caseBlindFolder(const QString& folder) {
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString flipped = flippedCase(name);
        if (flipped == name || names.contains(flipped)) continue;
        return files::sameFile(folder + QLatin1Char('/') + name, folder + QLatin1Char('/') + flipped);
    }
    return false;
}

// Staged copies and swap files carry ".dorvane-" in their names; so may a folder of them.
bool isStagedName(const QString& cleanPath) {
    for (const QString& part : cleanPath.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (part.contains(QLatin1String(".dorvane-"), Qt::CaseInsensitive)) return true;
    return false;
}

// The program's own files; the folders among them count with everything inside.
struct ProgramFiles {
    QStringList files;
    QStringList folders;
};

ProgramFiles programFiles() {
    const QString folder = programFolder();
    ProgramFiles own;
    for (const char* name : {working::kClipboard, working::kSortFile, working::kPrintFile, working::kNotes,
                             working::kEditorSettings, working::kPreviewPage, working::kDatabaseFile})
        own.files << folder + QLatin1String(name);
    own.files << SettingsStore::fileFor(kAppName);
    for (const char* name : {working::kAppletFolder, working::kPreviewFolder})
        own.folders << folder + QLatin1String(name);
    return own;
}

QStringList bookFiles(const BookPaths& book) {
    if (book.database.isEmpty()) return {};
    return {book.database, book.settings, book.index, book.attachments};
}

// Whether writing `path` (a folder written as a whole with `wholeFolder`) touches `book`.
bool touchesBook(const QString& path, const BookPaths& book, bool wholeFolder) {
    for (const QString& own : bookFiles(book))
        if (samePlace(path, own) || (wholeFolder && insideOf(own, path))) return true;
    return !book.attachments.isEmpty() && insideOf(path, book.attachments);
}

bool holdsWorkingFile(const QString& folder) {
    const ProgramFiles own = programFiles();
    for (const QString& f : own.files + own.folders)
        if (insideOf(f, folder)) return true;
    return false;
}

} // namespace

BookPaths bookPaths(const DatabaseNames& names) {
    return {names.databaseFile(), names.settingsFile(), names.attachmentIndexFile(),
            names.attachmentsFolder()};
}

QString withBookExtension(const QString& path) {
    return path.endsWith(QLatin1String(".q7b"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".q7b");
}

BookPaths bookPathsFor(const QString& chosenFile) {
    const QFileInfo file(withBookExtension(chosenFile));
    QString folder = file.absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return bookPaths(DatabaseNames{folder, file.fileName()});
}

BookPaths bookPathsIn(const QString& folder, const BookPaths& book) {
    const auto in = [&](const QString& path) {
        return QDir::cleanPath(folder + QLatin1Char('/') + QFileInfo(path).fileName());
    };
    return {in(book.database), in(book.settings), in(book.index), in(book.attachments)};
}

bool samePlace(const QString& a, const QString& b) {
    const QString ca = cleanAbsolute(a);
    const QString cb = cleanAbsolute(b);
    if (ca == cb) return true;
    const bool ea = exists(ca);
    const bool eb = exists(cb);
    if (ea || eb) return ea && eb && files::sameFile(ca, cb);
    // Neither is there yet: the same name in the same folder names the file either would make.
    const QString na = QFileInfo(ca).fileName();
    const QString nb = QFileInfo(cb).fileName();
    if (na.isEmpty() || na.compare(nb, Qt::CaseInsensitive) != 0) return false;
    if (!samePlace(parentOf(ca), parentOf(cb))) return false;
    return na == nb || caseBlindFolder(parentOf(ca));
}

bool insideOf(const QString& path, const QString& folder) {
    const QString f = cleanAbsolute(folder);
    const bool folderThere = exists(f);
    QString at = cleanAbsolute(path);
    while (at != QLatin1String("/") && !at.isEmpty()) {
        at = parentOf(at);
        // A folder that is there is only ever reached by a path that is there too.
        if (at == f) return true;
        if (folderThere ? exists(at) && files::sameFile(at, f) : !exists(at) && samePlace(at, f)) return true;
    }
    return false;
}

bool isWorkingFile(const QString& path) {
    if (path.isEmpty()) return false;
    if (isStagedName(cleanAbsolute(path))) return true;
    const ProgramFiles own = programFiles();
    for (const QString& f : own.files)
        if (samePlace(path, f)) return true;
    for (const QString& f : own.folders)
        if (samePlace(path, f) || insideOf(path, f)) return true;
    return false;
}

Clash targetClash(const QString& path, const BookPaths& open, bool wholeFolder) {
    if (touchesBook(path, open, wholeFolder)) return Clash::OpenBook;
    if (isWorkingFile(path) || (wholeFolder && holdsWorkingFile(path))) return Clash::WorkingFile;
    return Clash::None;
}

Clash targetClash(const BookPaths& target, const BookPaths& open) {
    const QStringList files = bookFiles(target);
    for (const QString& t : files)
        if (touchesBook(t, open, t == target.attachments)) return Clash::OpenBook;
    for (const QString& t : files)
        if (targetClash(t, {}, t == target.attachments) != Clash::None) return Clash::WorkingFile;
    return Clash::None;
}

std::vector<QString> bookSet(const BookPaths& book) {
    return {book.database, book.settings, book.index, book.attachments};
}

namespace {

// `from` copied over `to` as one set. With `keep`, what only `to` held stays (a backup adds to
// the one before it); without, `to` ends as `from` is.
void copyBookOver(const BookPaths& from, const BookPaths& to, bool keep) {
    files::FileSet set(bookSet(to));
    set.stageCopy(to.database, from.database);
    if (files::folderExists(from.attachments))
        set.stageFolder(to.attachments, from.attachments, {}, keep);
    else if (!keep)
        set.removeFolder(to.attachments);
    for (const auto& [source, target] :
         {std::pair{from.settings, to.settings}, std::pair{from.index, to.index}}) {
        if (files::fileExists(source))
            set.stageCopy(target, source);
        else if (!keep)
            set.removeFile(target);
    }
    set.commit();
}

} // namespace

void replaceBook(const BookPaths& from, const BookPaths& to) {
    copyBookOver(from, to, false);
}

void createEmptyBook(const BookPaths& book) {
    files::FileSet set(bookSet(book));
    set.stageBytes(book.database, QByteArray());
    set.removeFile(book.settings);
    set.removeFile(book.index);
    set.removeFolder(book.attachments);
    set.commit();
}

void backUpBook(const BookPaths& from, const BookPaths& to) {
    copyBookOver(from, to, true);
}

void recoverBook(const BookPaths& book) {
    files::recoverSet(bookSet(book));
}

} // namespace pb
