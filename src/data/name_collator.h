#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace pb {

// Names compare as the user's locale orders text (the C library's collation of
// LC_COLLATE), without regard to case: the case is folded before collating.
class NameCollator {
public:
    NameCollator();
    int compare(const QString& a, const QString& b) const;
    // A byte string whose plain (memcmp) order is the order of compare(), for a
    // name as stored in a record (Windows-1252 bytes).
    std::string sortKey(const char* storedName, int length) const;

private:
    bool m_plain; // the C locale: code-point order of the folded text
};

} // namespace pb
