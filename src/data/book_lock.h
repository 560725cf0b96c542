#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace pb {

namespace files {
class NotedLock;
}

// The lock file of the book `databaseFile`: ".<name>.dorvane-lock" beside the real file,
// so every path to one book, through links too, meets the same lock.
QString bookLockFile(const QString& databaseFile);

// Takes `lock`, which is stale only when the process that made it is dead. An empty lock
// file, which a copy killed while making it leaves, is taken over once it is a while old.
bool takeLock(QLockFile& lock);

// This copy's hold on a book: while it lives no other running copy of the program opens
// the book or writes another book in its place.
class BookLock {
public:
    // Holds `databaseFile`. Throws err::BookInUse, naming the book, when another running
    // copy holds it. Where no lock can be made at all (a read-only folder) the hold is
    // empty and the book is used as before.
    explicit BookLock(const QString& databaseFile);
    ~BookLock();
    BookLock(const BookLock&) = delete;
    BookLock& operator=(const BookLock&) = delete;

    // Whether this is the hold on the book `databaseFile`, by whatever path.
    bool covers(const QString& databaseFile) const;

private:
    QString m_lockFile;
    // Let go of after the lock, so that a kill in between still finds it noted.
    std::unique_ptr<files::NotedLock> m_noted;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace pb
