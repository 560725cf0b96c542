// Saving, inserting, deleting and clearing records.
#include "data/database.h"
#include "data/module_phonebook.h"
#include "data/record_moves.h"
#include "phonebook/data.h"
#include "platform/prompts.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"

#include "data/name_collator.h"

#include <algorithm>

namespace pb {

namespace {

const QString kInsertedMarker = QStringLiteral("*Inserted Record*");

// Runs a step that writes the book: a failure is told, never taken for success.
// Retry runs it again; any other answer stops the command.
bool writeStep(const std::function<void()>& step) {
    return Steps(OnError::StandardNoIgnore)(step);
}

// Runs a change that puts a new book in the old one's place. Once the new book has
// the name, a retry only opens it again: the change is never made twice.
// True when the book changed.
bool replaceStep(const std::function<void()>& change) {
    bool replaced = false;
    writeStep([&] {
        if (replaced) return openDatabase();
        const bool wasOpen = pbm().DatabaseFile != nullptr;
        try {
            change();
        } catch (...) {
            replaced = wasOpen && !pbm().DatabaseFile; // renamed, but not opened again
            throw;
        }
        replaced = true;
    });
    return replaced;
}

// Shows the stored record `current` again, after a change of the book that failed.
void showStored(Data* window) {
    Steps(OnError::Ignore)([&] { pbm().readRecord(pbm().current); });
    window->ToDisplay();
}

bool refuseWhenFull() {
    if (pbm().RecordCount < kMaxRecords) return false;
    MsgBox(QStringLiteral("This phonebook holds %1 records, the most a phonebook can hold.\r\n"
                          "Delete a record before adding another one.")
               .arg(kMaxRecords),
           mb::OKOnly | mb::Exclamation, QStringLiteral("Phonebook Full"));
    return true;
}

} // namespace

bool Data::refuseTooLarge() {
    if (!pbm().DatabaseTooLarge) return false;
    MsgBox(QStringLiteral("This phone book holds more records than Dorvane can show.\r\n"
                          "Records cannot be deleted or cut here: that would move a record that is not "
                          "shown into view."),
           mb::OKOnly | mb::Exclamation, QStringLiteral("Phonebook Too Large"));
    return true;
}

void Data::refuseLocked(const QString& object) {
    playSound(sound::Refused);
    MsgBox(QStringLiteral("    DATABASE LOCKED!\r\nPlease Unlock To ") + object, mb::OKOnly | mb::Exclamation,
           QStringLiteral("Cannot ") + object);
}

bool Data::AddIt() {
    ModulePhoneBook& m = pbm();
    bool stored = false;
    if (txtInfo[0]->text().isEmpty()) {
        MsgBox(QStringLiteral("A record needs to have a ") + m.Label[0], mb::OKOnly | mb::Information,
               QStringLiteral("Please enter a ") + m.Label[0]);
    } else if (m.current > m.RecordCount && refuseWhenFull()) {
        // nothing stored
    } else if (m.DatabaseFile) {
        FieldsToRecord();
        stored = writeStep([&] { m.writeRecord(m.current); });
        if (stored) {
            Steps step(OnError::Ignore);
            step([&] { m.readRecord(m.current); });
            if (m.RecordCount < m.current) m.RecordCount += 1;
            step([&] { ToDisplay(); });
        }
    }
    FillRecordList();
    return stored;
}

void Data::fillNewRecordBoxes(const QString& first, const QString& last) {
    txtInfo[0]->setText(first);
    txtInfo[1]->setText(last);
    for (int i = 2; i < 8; ++i)
        txtInfo[i]->clear();
    txtForMail[2]->clear();
    FieldsToRecord();
}

void Data::selectFirstName() {
    txtInfo[0]->setSelection(0, static_cast<int>(txtInfo[0]->text().size()));
    txtInfo[0]->setFocus();
}

void Data::InsertAfter(const QString& first, const QString& last) {
    ModulePhoneBook& m = pbm();
    if (locked) return refuseLocked(QStringLiteral("Insert Record"));
    if (!CheckChanges()) return;
    if (m.current == m.RecordCount) {
        InsertAtEnd(QString(), QString());
        return;
    }
    if (m.current > m.RecordCount || refuseWhenFull()) return;
    const int at = m.current + 1;
    fillNewRecordBoxes(first, last);
    if (!replaceStep([&] { insertRecord(at, m.RecordCount, m.Rec.toBytes()); })) return showStored(this);
    m.RecordCount += 1;
    m.current = at;
    ToDisplay();
    selectFirstName();
}

void Data::InsertBefore(const QString& first, const QString& last) {
    ModulePhoneBook& m = pbm();
    if (locked) return refuseLocked(QStringLiteral("Insert Record"));
    if (!CheckChanges()) return;
    if (m.current > m.RecordCount || refuseWhenFull()) return;
    fillNewRecordBoxes(first, last);
    if (!replaceStep([&] { insertRecord(m.current, m.RecordCount, m.Rec.toBytes()); }))
        return showStored(this);
    m.RecordCount += 1;
    ToDisplay();
    selectFirstName();
}

void Data::pasteRecord(const PhoneRecord& record) {
    ModulePhoneBook& m = pbm();
    if (!CheckChanges()) return;
    // After the record shown; on the last record and on the blank slot it is appended.
    if (m.current < 1 || m.current > m.RecordCount + 1 || refuseWhenFull()) return;
    const int at = std::min(m.current + 1, m.RecordCount + 1);
    // The room and the record come in one change of the book: no kill finds the one without the other.
    if (!replaceStep([&] { insertRecord(at, m.RecordCount, record.toBytes()); })) return showStored(this);
    m.RecordCount += 1;
    m.current = at;
    Steps(OnError::Ignore)([&] { m.readRecord(at); });
    ToDisplay();
    txtInfo[0]->setFocus();
    FillRecordList();
}

void Data::InsertAtBeginning() {
    ModulePhoneBook& m = pbm();
    if (locked) return refuseLocked(QStringLiteral("Insert Record"));
    if (!CheckChanges()) return;
    Steps step(OnError::Ignore);
    step([&] { m.readRecord(1); });
    m.current = 1;
    step([&] { ToDisplay(); });
    InsertBefore(kInsertedMarker, QString());
}

bool Data::InsertAtEnd(const QString& first, const QString& last) {
    ModulePhoneBook& m = pbm();
    if (locked) {
        refuseLocked(QStringLiteral("Insert Record"));
        return false;
    }
    if (!CheckChanges() || refuseWhenFull()) return false;
    Steps step(OnError::Ignore);
    step([&] { m.readRecord(m.RecordCount + 1); });
    m.current = m.RecordCount + 1;
    step([&] { ToDisplay(); });
    txtInfo[0]->setText(first);
    txtInfo[1]->setText(last);
    selectFirstName();
    return true;
}

void Data::InsertAtSortedPosition(const QString& firstName, const QString& last) {
    ModulePhoneBook& m = pbm();
    // Checked once, first: a refused insert must not go on to save the shown record.
    if (locked) return refuseLocked(QStringLiteral("Insert Record"));
    if (!m.SortedByFirstName && !m.SortedByLastName) {
        MsgBox(QStringLiteral("Database is not yet sorted! Select Sort from 'File' menu"),
               mb::OKOnly | mb::Exclamation, QStringLiteral("Action Aborted"));
        return;
    }
    if (firstName.isEmpty()) {
        MsgBox(QStringLiteral("Please provide a ") + m.Label[0], mb::OKOnly | mb::Exclamation,
               QStringLiteral("Action Aborted"));
        return;
    }
    // A first name that filled all 20 characters would end the book at this record.
    const QString first = firstName.left(19);
    const NameCollator collator;
    QByteArray all;
    if (!writeStep([&] { all = m.database().readRange(1, m.RecordCount); })) return;
    const auto scan = [&](PhoneRecord::Field key, const QString& keyText, PhoneRecord::Field tie,
                          const QString& tieText) {
        for (int i = 1; i <= m.RecordCount; ++i) {
            const PhoneRecord r = PhoneRecord::fromBytes(
                all.constData() + static_cast<qsizetype>(i - 1) * PhoneRecord::kLength, PhoneRecord::kLength);
            const int c = collator.compare(keyText, r.trimmed(key));
            if (c < 0 || (c == 0 && collator.compare(tieText, r.trimmed(tie)) < 0)) {
                m.current = i;
                m.Rec = r;
                ToDisplay();
                InsertBefore(first, last);
                FillRecordList();
                return;
            }
        }
        // Saved only on the blank slot: a refused move leaves the user's own record shown.
        if (InsertAtEnd(first, last)) AddIt();
        FillRecordList();
    };
    if (m.SortedByFirstName)
        scan(PhoneRecord::FirstName, first, PhoneRecord::LastName, last);
    else
        scan(PhoneRecord::LastName, last, PhoneRecord::FirstName, first);
}

void Data::Delete() {
    ModulePhoneBook& m = pbm();
    if (locked) return refuseLocked(QStringLiteral("Delete Record"));
    if (m.current > m.RecordCount || refuseTooLarge()) return;
    if (!replaceStep([&] { deleteRecord(m.current, m.RecordCount); })) return;
    m.RecordCount -= 1;
    Steps step(OnError::Ignore);
    if (m.current - 1 >= 1)
        m.current -= 1;
    else
        m.current = 1;
    step([&] { m.readRecord(m.current); });
    step([&] { ToDisplay(); });
}

void Data::mnuInsertAfter_Click() {
    InsertAfter(kInsertedMarker, QString());
    FillRecordList();
}

void Data::mnuInsertBefore_Click() {
    InsertBefore(kInsertedMarker, QString());
    FillRecordList();
}

void Data::mnuInsertBegining_Click() {
    InsertAtBeginning();
    FillRecordList();
}

void Data::mnuInsertEnd_Click() {
    InsertAtEnd(QString(), QString());
    FillRecordList();
}

void Data::mnuSortedPosition_Click() {
    const QString title = QStringLiteral("Insert at Sorted Position");
    const QString first =
        InputBox(QStringLiteral("Type ") + pbm().Label[0] + QStringLiteral(" (Required)"), title);
    const QString last =
        InputBox(QStringLiteral("Type ") + pbm().Label[1] + QStringLiteral(" (Optional)"), title);
    InsertAtSortedPosition(first, last);
}

void Data::mnuDelete_Click() {
    const int a =
        MsgBox(QStringLiteral("The Current Record Will Be Deleted!\r\n        Do you want to continue?"),
               mb::YesNo | mb::Exclamation, QStringLiteral("Delete Alert"));
    if (a == mb::Yes) Delete();
    FillRecordList();
}

void Data::mnuClear_Click() {
    if (locked) return refuseLocked(QStringLiteral("Clear Fields"));
    for (int i = 0; i < 7; ++i)
        txtInfo[i]->clear();
    for (MailBox* box : txtForMail)
        box->clear();
}

} // namespace pb
