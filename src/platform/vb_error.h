#pragma once

#include <QString>
#include <exception>

namespace pb {

// A run-time error as the program's handlers see it: a number from the
// classic error table and the platform's description of it.
class VbError : public std::exception {
public:
    explicit VbError(int number, QString description = {});

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

    // The platform's standard text for a number ("" when it has none).
    static QString standardDescription(int number);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

// Error numbers the layers raise.
namespace err {
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int TypeMismatch = 13;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIO = 57;
constexpr int FileExists = 58;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidPicture = 481;
constexpr int Cancelled = 32755;
constexpr int HelpFailed = 70000;
// Our own: another running copy of the program holds the book.
constexpr int BookInUse = 70001;
} // namespace err

// Maps a failed file operation on `path` (errno value) to the error a user would be told.
VbError fileErrorFromErrno(const QString& path, int errnoValue);

} // namespace pb
