#include "data/book_files.h"

#include "data/file_copy.h"
#include "platform/app_path.h"

#include <QDir>
#include <QFileInfo>
#include <utility>
#include <vector>

namespace pb {

namespace {

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameName(const QString& a, const QString& b) {
    return cleanAbsolute(a) == cleanAbsolute(b) || files::sameFile(a, b);
}

void copyCompanionFile(const QString& from, const QString& to) {
    if (files::fileExists(from)) files::copyFile(from, to);
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

bool isWorkingFile(const QString& path) {
    if (path.isEmpty()) return false;
    if (path.endsWith(QLatin1String(".dorvane-swap"), Qt::CaseInsensitive)) return true;
    const QString folder = programFolder();
    for (const char* name : {"PhoneClip.q7B", "PhonePrint.q7P", "Diaries.q7D", "My MDB Phonebook.sqlite"})
        if (sameName(path, folder + QLatin1String(name))) return true;
    return false;
}

bool holdsWorkingFile(const BookPaths& book) {
    return isWorkingFile(book.database) || isWorkingFile(book.settings) || isWorkingFile(book.index) ||
           isWorkingFile(book.attachments);
}

bool overlaps(const BookPaths& target, const BookPaths& open) {
    const QString targets[] = {target.database, target.settings, target.index, target.attachments};
    const QString opens[] = {open.database, open.settings, open.index, open.attachments};
    for (const QString& t : targets)
        for (const QString& o : opens)
            if (sameName(t, o)) return true;
    // The target's attachments folder is replaced as a whole: nothing of the open book may lie in it.
    for (const QString& o : opens)
        if (files::isInside(o, target.attachments)) return true;
    return false;
}

void copyDatabaseFile(const BookPaths& from, const BookPaths& to) {
    files::copyFile(from.database, to.database);
}

void copySettingsFile(const BookPaths& from, const BookPaths& to) {
    copyCompanionFile(from.settings, to.settings);
}

void copyIndexFile(const BookPaths& from, const BookPaths& to) {
    copyCompanionFile(from.index, to.index);
}

void copyAttachmentsFolder(const BookPaths& from, const BookPaths& to) {
    if (files::folderExists(from.attachments)) files::mergeFolder(from.attachments, to.attachments);
}

namespace {

// Puts a new book in the place of `to`: every new file is already whole under
// a staged name. The replaced book's companions go first, then the database and
// the new companions take their places, so a kill at any moment leaves the old
// records or the new book, never one book's files beside the other's.
void putBookInPlace(const BookPaths& to, std::vector<std::pair<QString, QString>>& staged) {
    try {
        files::removeFolder(to.attachments);
        files::removeFile(to.settings);
        files::removeFile(to.index);
        for (auto& [tmp, place] : staged) {
            files::putInPlace(tmp, place);
            tmp.clear();
        }
    } catch (...) {
        for (const auto& [tmp, place] : staged)
            if (!tmp.isEmpty()) files::discard(tmp);
        throw;
    }
}

} // namespace

void replaceBook(const BookPaths& from, const BookPaths& to) {
    std::vector<std::pair<QString, QString>> staged; // staged name, place
    try {
        staged.emplace_back(files::stageCopy(from.database, to.database), to.database);
        if (files::folderExists(from.attachments))
            staged.emplace_back(files::stageFolderCopy(from.attachments, to.attachments), to.attachments);
        if (files::fileExists(from.settings))
            staged.emplace_back(files::stageCopy(from.settings, to.settings), to.settings);
        if (files::fileExists(from.index))
            staged.emplace_back(files::stageCopy(from.index, to.index), to.index);
    } catch (...) {
        for (const auto& [tmp, place] : staged)
            files::discard(tmp);
        throw;
    }
    putBookInPlace(to, staged);
}

void createEmptyBook(const BookPaths& book) {
    std::vector<std::pair<QString, QString>> staged;
    staged.emplace_back(files::stageBytes(book.database, QByteArray()), book.database);
    putBookInPlace(book, staged);
}

} // namespace pb
