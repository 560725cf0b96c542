#pragma once

#include <QString>
#include <sys/types.h>

namespace pbtest {

// Another running copy of the program holding a lock: a child process that takes `lockFile`
// as QLockFile does and waits until this object goes, when it is killed.
class OtherCopy {
public:
    explicit OtherCopy(const QString& lockFile);
    ~OtherCopy();
    OtherCopy(const OtherCopy&) = delete;
    OtherCopy& operator=(const OtherCopy&) = delete;

    // Whether the child got the lock.
    bool holds() const { return m_holds; }

private:
    pid_t m_child = -1;
    bool m_holds = false;
};

// `lockFile` as a copy that died holding it leaves it: taken by a child that ends without
// letting go. False when the child could not take it.
bool leaveDeadCopysLock(const QString& lockFile);

} // namespace pbtest
