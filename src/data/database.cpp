#include "data/database.h"

#include "data/module_phonebook.h"

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

void openDatabase() {
    ModulePhoneBook& m = pbm();
    m.DatabaseFile.reset();
    m.DatabaseFile = std::make_unique<RecordFile>(m.names().databaseFile(), PhoneRecord::kLength);
}

CountResult countDatabase(const std::function<void(int)>& checking) {
    ModulePhoneBook& m = pbm();
    const CountResult r = countRecords(m.database().readAll(), checking);
    m.RecordCount = r.count;
    return r;
}

} // namespace pb
