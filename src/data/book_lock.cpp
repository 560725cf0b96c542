#include "data/book_lock.h"

#include "data/file_sets.h"
#include "platform/vb_error.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

namespace pb {

namespace {

// Qt writes the holder into a lock file as it makes it: only a kill in between leaves one
// empty, and one this old is not being made now.
constexpr qint64 kHalfMadeSeconds = 10;

// The book's real file: through links, the file they name; not there yet, the name in the
// real folder.
QString realFile(const QString& databaseFile) {
    const QFileInfo info(databaseFile);
    const QString real = info.canonicalFilePath();
    if (!real.isEmpty()) return real;
    const QFileInfo named(info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath());
    const QString folder = QFileInfo(named.absolutePath()).canonicalFilePath();
    return QDir(folder.isEmpty() ? named.absolutePath() : folder).filePath(named.fileName());
}

QString inUseMessage(const QString& book, const QString& host) {
    const QString where = host.isEmpty() || host == QSysInfo::machineHostName()
                              ? QStringLiteral("in another running copy of Dorvane")
                              : QStringLiteral("in Dorvane on the computer \"%1\"").arg(host);
    return book + QStringLiteral("\r\nis open ") + where +
           QStringLiteral(".\r\nA phonebook is changed by one copy at a time: close it there first.");
}

} // namespace

QString bookLockFile(const QString& databaseFile) {
    const QFileInfo real(realFile(databaseFile));
    return QDir(real.absolutePath())
        .filePath(QLatin1Char('.') + real.fileName() + QStringLiteral(".dorvane-lock"));
}

bool takeLock(QLockFile& lock) {
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) return true;
    if (lock.error() != QLockFile::LockFailedError) return false;
    const QFileInfo file(lock.fileName());
    if (file.size() != 0 || file.lastModified().secsTo(QDateTime::currentDateTime()) < kHalfMadeSeconds)
        return false;
    return lock.removeStaleLockFile() && lock.tryLock(0);
}

BookLock::BookLock(const QString& databaseFile)
    : m_lockFile(bookLockFile(databaseFile)), m_lock(std::make_unique<QLockFile>(m_lockFile)) {
    // Noted before it is taken: a kill at any moment after leaves the lock to the next start.
    m_noted = std::make_unique<files::NotedLock>(m_lockFile);
    if (takeLock(*m_lock)) return;
    m_noted.reset();
    if (m_lock->error() != QLockFile::LockFailedError) {
        // Nothing can be locked there (a read-only folder): the book is used as it always was.
        m_lock.reset();
        return;
    }
    qint64 pid = 0;
    QString host;
    QString app;
    if (!m_lock->getLockInfo(&pid, &host, &app)) host.clear();
    throw VbError(err::BookInUse, inUseMessage(databaseFile, host));
}

BookLock::~BookLock() = default;

bool BookLock::covers(const QString& databaseFile) const {
    return bookLockFile(databaseFile) == m_lockFile;
}

} // namespace pb
