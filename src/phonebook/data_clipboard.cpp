// Copy, cut and paste of whole records through the program's record clipboard file.
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/prompts.h"
#include "workspace/error_steps.h"

namespace pb {

namespace {

RecordFile& clipFile() {
    ModulePhoneBook& m = pbm();
    if (!m.ClipFile) throw VbError(err::BadFileName); // the load could not open it
    return *m.ClipFile;
}

} // namespace

bool Data::tryWrite(const std::function<void()>& write) {
    return Steps(OnError::StandardNoIgnore)(write);
}

bool Data::copyToClipboard() {
    ModulePhoneBook& m = pbm();
    // The blank slot holds no record: the clipboard keeps the one it has.
    if (m.current < 1 || m.current > m.RecordCount) return false;
    try {
        // The stored record, not edits left in the boxes.
        m.readRecord(m.current);
        ToDisplay();
    } catch (const VbError&) {
        return false;
    }
    return tryWrite([&] { clipFile().write(1, m.Rec.toBytes()); });
}

void Data::mnuCopy_Click() {
    copyToClipboard();
}

void Data::mnuCut_Click() {
    if (locked) return refuseLocked(QStringLiteral("Cut Record"));
    if (refuseTooLarge()) return;
    // Nothing is deleted unless the clipboard holds the record.
    if (!copyToClipboard()) return;
    Steps step(OnError::Ignore);
    step([&] { Delete(); });
    step([&] { FillRecordList(); });
}

void Data::mnuPaste_Click() {
    if (locked) return refuseLocked(QStringLiteral("Paste Record"));
    ModulePhoneBook& m = pbm();
    PhoneRecord clip;
    Steps step(OnError::Ignore);
    step([&] { clip = PhoneRecord::fromBytes(clipFile().read(1)); });
    // An empty clipboard (never written, or all NUL) pastes nothing, and a first name
    // filling all 20 characters would end the book at the pasted record.
    if (clip.isAllNul()) return;
    const QString first = shownField(clip, PhoneRecord::FirstName);
    if (first.size() >= PhoneRecord::width(PhoneRecord::FirstName)) return;
    if (first.isEmpty()) {
        // Refused as saving it would be, before the marker is inserted.
        MsgBox(QStringLiteral("A record needs to have a ") + m.Label[0], mb::OKOnly | mb::Information,
               QStringLiteral("Please enter a ") + m.Label[0]);
        return;
    }
    pasteRecord(clip);
}

} // namespace pb
