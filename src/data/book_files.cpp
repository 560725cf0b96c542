#include "data/book_files.h"

#include "data/file_copy.h"
#include "data/file_sets.h"
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

std::vector<QString> bookSet(const BookPaths& book) {
    return {book.database, book.settings, book.index, book.attachments};
}

void replaceBook(const BookPaths& from, const BookPaths& to) {
    files::FileSet set(bookSet(to));
    set.stageCopy(to.database, from.database);
    if (files::folderExists(from.attachments))
        set.stageFolder(to.attachments, from.attachments, {}, false);
    else
        set.remove(to.attachments);
    for (const auto& [source, target] :
         {std::pair{from.settings, to.settings}, std::pair{from.index, to.index}}) {
        if (files::fileExists(source))
            set.stageCopy(target, source);
        else
            set.remove(target);
    }
    set.commit();
}

void createEmptyBook(const BookPaths& book) {
    files::FileSet set(bookSet(book));
    set.stageBytes(book.database, QByteArray());
    set.remove(book.settings);
    set.remove(book.index);
    set.remove(book.attachments);
    set.commit();
}

void backUpBook(const BookPaths& from, const BookPaths& to) {
    files::FileSet set(bookSet(to));
    set.stageCopy(to.database, from.database);
    if (files::folderExists(from.attachments)) set.stageFolder(to.attachments, from.attachments, {}, true);
    if (files::fileExists(from.settings)) set.stageCopy(to.settings, from.settings);
    if (files::fileExists(from.index)) set.stageCopy(to.index, from.index);
    set.commit();
}

void recoverBook(const BookPaths& book) {
    files::recoverSet(bookSet(book));
}

} // namespace pb
