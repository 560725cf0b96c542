#include "data/module_phonebook.h"

#include "platform/vb_error.h"

namespace pb {

namespace {
std::unique_ptr<ModulePhoneBook>& slot() {
    static std::unique_ptr<ModulePhoneBook> m = std::make_unique<ModulePhoneBook>();
    return m;
}
} // namespace

ModulePhoneBook& ModulePhoneBook::instance() {
    return *slot();
}
void ModulePhoneBook::reset() {
    slot() = std::make_unique<ModulePhoneBook>();
}

RecordFile& ModulePhoneBook::database() {
    if (!DatabaseFile) throw VbError(52); // no database open
    return *DatabaseFile;
}

void ModulePhoneBook::readRecord(int n) {
    Rec = PhoneRecord();
    if (n < 1) throw VbError(63, QStringLiteral("Bad record number"));
    Rec = PhoneRecord::fromBytes(database().read(n));
}

void ModulePhoneBook::writeRecord(int n) {
    if (n < 1) throw VbError(63, QStringLiteral("Bad record number"));
    // A book never grows past kMaxRecords: its blank slot must still have a number.
    if (n > kMaxRecords) throw VbError(err::Overflow);
    database().write(n, Rec.toBytes());
}

} // namespace pb
