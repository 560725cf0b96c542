#pragma once

#include "data/attach_ref.h"
#include "data/book_lock.h"
#include "data/database_names.h"
#include "data/phone_record.h"
#include "platform/record_file.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <memory>

namespace pb {

// The most records a book holds: record numbers are 16-bit, and the blank
// slot after the last record needs a number too.
constexpr int kMaxRecords = 32766;

// Captions of the seven captioned fields, in field order (the picture name has none).
inline const std::array<QString, 7> kDefaultLabels = {
    QStringLiteral("First name"), QStringLiteral("Last name"), QStringLiteral("Phone"),
    QStringLiteral("E-mail"),     QStringLiteral("Company"),   QStringLiteral("Address"),
    QStringLiteral("Comments")};

// The program-wide state every window shares, with the files held open by role.
class ModulePhoneBook {
public:
    PhoneRecord Rec;
    int current = 0;
    int RecordCount = 0;
    // The book file holds more records than kMaxRecords: those past it are not shown,
    // and nothing may move them into view.
    bool DatabaseTooLarge = false;
    QString DataBasePath;
    QString DataBaseName;
    std::array<QString, 7> Label; // Label0 .. Label6
    bool SortedByFirstName = false;
    bool SortedByLastName = false;
    QDateTime SortDate;
    bool PlaySoundEffect = false;
    bool KeepAutomaticLabel = false;
    QString LastErrorAnswer;
    int SelectedListRecord = 0;

    // This copy's hold on the open book: made before the book's file is opened, let go after it
    // is closed.
    std::unique_ptr<BookLock> BookHold;
    // Open files: the database, the record clipboard and the attachment index.
    std::unique_ptr<RecordFile> DatabaseFile;
    std::unique_ptr<RecordFile> ClipFile;
    std::unique_ptr<PbAttachRefClass> AttachRef;

    DatabaseNames names() const { return {DataBasePath, DataBaseName}; }

    // Read record n of the database into Rec (all NUL past the end).
    void readRecord(int n);
    // Write Rec as record n of the database.
    void writeRecord(int n);
    RecordFile& database();

    static ModulePhoneBook& instance();
    // A fresh state (tests, and nothing else, start over).
    static void reset();
};

inline ModulePhoneBook& pbm() {
    return ModulePhoneBook::instance();
}

} // namespace pb
