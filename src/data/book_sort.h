#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace pb {

enum class SortKey { FirstName, LastName };

// The order of the first `count` records of `book`: by the trimmed key field, then
// the trimmed other name, both case-blind in the user's locale; equal records keep
// their order. Element i is the 0-based index of the record that goes to place i.
std::vector<int> sortedOrder(const QByteArray& book, int count, SortKey key);

// Puts the records of `book` in `order`, followed by `tail`, in the place of
// `databaseFile` (through replaceBookFile). On any failure the database is left as
// it was and a VbError is raised. `beforeCommit` runs after the write and before the
// rename (it may throw to stop).
void replaceWithSorted(const QString& databaseFile, const QByteArray& book, const std::vector<int>& order,
                       const QByteArray& tail = {}, const std::function<void()>& beforeCommit = {});

} // namespace pb
