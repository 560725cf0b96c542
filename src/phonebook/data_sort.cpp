// The sort commands of the phone book window.
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "workspace/frm_save.h"

namespace pb {

namespace {

void sortCommand(Data* window, bool byFirst) {
    ModulePhoneBook& m = pbm();
    if (m.RecordCount >= 2) {
        // Edits are saved into the book before it is replaced, never written into the sorted one.
        if (!window->CheckChanges()) return;
        frmSave::start(byFirst ? frmSave::SortFirst : frmSave::SortLast,
                       byFirst ? QStringLiteral("Sorting Records by FirstName. Please Wait . . .")
                               : QStringLiteral("Sorting Records by LastName. Please Wait . . ."));
        return;
    }
    m.SortedByFirstName = byFirst;
    m.SortedByLastName = !byFirst;
}

} // namespace

void Data::mnuSortFirst_Click() {
    if (locked) return refuseLocked(QStringLiteral("Sort Records"));
    sortCommand(this, true);
}

void Data::mnuSortLast_Click() {
    if (locked) return refuseLocked(QStringLiteral("Sort Records"));
    sortCommand(this, false);
}

} // namespace pb
