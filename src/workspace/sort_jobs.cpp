// The two sort jobs of the progress window.
#include "workspace/frm_save.h"
#include "workspace/module_sort.h"
#include "workspace/window_roles.h"

namespace pb {

namespace {

// The sorted book is read afresh: counted, its bag read, its list filled.
void reloadBook() {
    if (auto* book = loadedWindowAs<PhoneBookWindow>(QStringLiteral("Data")))
        book->reload();
    else
        Forms::show(Forms::byName(QStringLiteral("Data")));
}

[[maybe_unused]] const bool sortFirst = frmSave::registerJob(frmSave::SortFirst, SortByFirstName, reloadBook);
[[maybe_unused]] const bool sortLast = frmSave::registerJob(frmSave::SortLast, SortByLastName, reloadBook);

} // namespace

} // namespace pb
