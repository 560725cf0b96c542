// The two sort jobs of the progress window.
#include "phonebook/data.h"
#include "workspace/frm_save.h"
#include "workspace/module_sort.h"

namespace pb {

namespace {

// The sorted book is read afresh: counted, its bag read, its list filled.
void reloadBook() {
    if (Data* data = Forms::find<Data>())
        data->reload();
    else
        Forms::show(Forms::get<Data>());
}

[[maybe_unused]] const bool sortFirst = frmSave::registerJob(frmSave::SortFirst, SortByFirstName, reloadBook);
[[maybe_unused]] const bool sortLast = frmSave::registerJob(frmSave::SortLast, SortByLastName, reloadBook);

} // namespace

} // namespace pb
