#include "data/book_files.h"

#include "data/file_copy.h"
#include "platform/app_path.h"

#include <QDir>
#include <QFileInfo>

namespace pb {

namespace {

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameName(const QString& a, const QString& b) {
    return cleanAbsolute(a) == cleanAbsolute(b) || files::sameFile(a, b);
}

void copyCompanionFile(const QString& from, const QString& to, bool dropStale) {
    if (files::fileExists(from))
        files::copyFile(from, to);
    else if (dropStale)
        files::removeFile(to);
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
    for (const char* name : {"PhoneClip.q7B", "PhonePrint.q7P", "Diaries.q7D"})
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

void copySettingsFile(const BookPaths& from, const BookPaths& to, bool dropStale) {
    copyCompanionFile(from.settings, to.settings, dropStale);
}

void copyIndexFile(const BookPaths& from, const BookPaths& to, bool dropStale) {
    copyCompanionFile(from.index, to.index, dropStale);
}

void copyAttachmentsFolder(const BookPaths& from, const BookPaths& to, bool replace) {
    if (!files::folderExists(from.attachments)) {
        if (replace) files::removeFolder(to.attachments);
        return;
    }
    if (replace)
        files::replaceFolder(from.attachments, to.attachments);
    else
        files::mergeFolder(from.attachments, to.attachments);
}

void createEmptyBook(const BookPaths& book) {
    files::removeFolder(book.attachments);
    files::removeFile(book.settings);
    files::removeFile(book.index);
    files::writeFile(book.database, QByteArray());
}

} // namespace pb
