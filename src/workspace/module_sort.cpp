#include "workspace/module_sort.h"

#include "data/book_sort.h"
#include "data/module_phonebook.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/frm_save.h"
#include "workspace/vantrel_mdi.h"

#include <QDate>
#include <QProgressBar>
#include <cmath>

namespace pb {

namespace {

void sortBook(SortKey key) {
    ModulePhoneBook& m = pbm();
    const QString word = key == SortKey::FirstName ? QStringLiteral("FirstName") : QStringLiteral("LastName");
    const int count = m.RecordCount;
    if (count < 2) return;
    QProgressBar* bar = Forms::get<frmSave>()->ProgBar;
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    // Nothing goes past a failed read or write: a book half-sorted is never taken for sorted.
    Steps step(OnError::StandardNoIgnore);
    QByteArray book;
    std::vector<int> order;
    if (!step([&] { book = m.database().readRange(1, count); })) return;
    if (!step([&] { order = sortedOrder(book, count, key); })) return;

    // The figures a record-by-record selection sort would show: one per record
    // moved, the last one moved without a line.
    bar->setRange(0, count);
    const QString head = QStringLiteral("Sorting Records by ") + word + QStringLiteral(". Completed: ");
    QString line;
    long long shown = -1;
    for (int moved = 0; moved <= count - 2; ++moved) {
        const auto percent =
            static_cast<long long>(std::nearbyint(static_cast<double>(moved) / count * 100.0));
        if (percent != shown) { // only a hundred different lines among the thousands of figures
            line = head + convert::signPlace(percent) + QLatin1Char('%');
            shown = percent;
        }
        const bool last = moved == count - 2;
        if (last || moved % 64 == 0) bar->setValue(moved);
        frame->setProgressCaption(line, last);
    }

    // Records past those a book can show stay where they are, untouched and out of view.
    QByteArray tail;
    if (m.DatabaseTooLarge && !step([&] {
            tail = m.database().readAll().mid(static_cast<qsizetype>(count) * PhoneRecord::kLength);
        }))
        return;
    const QString file = m.names().databaseFile();
    if (!step([&] { replaceWithSorted(file, book, order, tail); })) return;
    bar->setValue(count);
    // The old file is gone from its name; the window's reload opens the new one.
    m.DatabaseFile.reset();
    m.SortedByFirstName = key == SortKey::FirstName;
    m.SortedByLastName = key == SortKey::LastName;
    m.SortDate = QDateTime(QDate::currentDate(), QTime(0, 0));
    // Where the selection sort would have left the shown record: the last pass
    // compared the two largest records, in their old order.
    m.current = order[count - 2] < order[count - 1] ? 1 : 2;
    m.RecordCount = 1;
}

} // namespace

void SortByFirstName() {
    sortBook(SortKey::FirstName);
}
void SortByLastName() {
    sortBook(SortKey::LastName);
}

} // namespace pb
