#include "data/database.h"

#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "platform/vb_error.h"

#include <QFileInfo>
#include <thread>

namespace pb {

CountResult countRecords(const QByteArray& bytes, const std::function<void(int)>& checking) {
    const qsizetype size = bytes.size();
    const char* data = bytes.constData();
    CountResult result;
    for (int n = 1;; ++n) {
        if (checking) checking(n);
        const qsizetype offset = static_cast<qsizetype>(n - 1) * PhoneRecord::kLength;
        bool end;
        if (offset + 20 <= size) {
            end = PhoneRecord::isEndMark(data + offset);
        } else {
            // A record cut short by the end of the file reads as zero bytes past it.
            char first[20] = {};
            for (qsizetype i = offset; i < size; ++i)
                first[i - offset] = data[i];
            end = offset >= size || PhoneRecord::isEndMark(first);
        }
        if (end) {
            result.count = n - 1;
            return result;
        }
        if (n == kMaxRecords + 1) {
            result.count = kMaxRecords;
            result.truncated = true;
            return result;
        }
    }
}

namespace {

// The file a new version replaces: through a link, the file it names, so the link stays.
QString realBookFile(const QString& databaseFile) {
    const QFileInfo info(databaseFile);
    if (!info.isSymLink()) return databaseFile;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? databaseFile : target;
}

} // namespace

void holdBook() {
    ModulePhoneBook& m = pbm();
    const QString file = m.names().databaseFile();
    if (m.BookHold && m.BookHold->covers(file)) return;
    m.BookHold.reset();
    m.BookHold = std::make_unique<BookLock>(file);
}

void openDatabase() {
    ModulePhoneBook& m = pbm();
    m.DatabaseFile.reset();
    const QString file = m.names().databaseFile();
    // Nothing is opened before the hold: another copy's book is not ours to read or write.
    holdBook();
    m.DatabaseFile = std::make_unique<RecordFile>(file, PhoneRecord::kLength);
}

CountResult countDatabase(const std::function<void(int)>& checking) {
    ModulePhoneBook& m = pbm();
    const CountResult r = countRecords(m.database().readAll(), checking);
    m.RecordCount = r.count;
    m.DatabaseTooLarge = r.truncated;
    return r;
}

void replaceBookFile(const QString& databaseFile, const std::vector<files::Piece>& pieces,
                     const std::function<void()>& beforeCommit) {
    const QString target = realBookFile(databaseFile);
    files::replaceFile(target, pieces, beforeCommit);
}

void replaceOpenBook(const std::vector<files::Piece>& pieces) {
    ModulePhoneBook& m = pbm();
    const QString file = m.database().path();
    replaceBookFile(file, pieces);
    // The old handle reads the replaced file: it must not outlive the rename, even
    // when the new file cannot be opened. Closing it frees the old file's blocks,
    // which takes about as long as writing them: a thread of its own does that.
    std::thread([old = std::move(m.DatabaseFile)]() mutable { old.reset(); }).detach();
    m.DatabaseFile = std::make_unique<RecordFile>(file, PhoneRecord::kLength);
}

} // namespace pb
