#pragma once

#include <QByteArray>

namespace pb {

// Record moves of the open book of `count` records. Each writes the changed book
// beside the old one and puts it in its place in one step (see replaceOpenBook):
// the result is the old book or the new one, never a mix. Bytes past the slots a
// move touches stay as they are.

// Records at..count move up one slot and `record` takes slot `at`; the file grows
// only when slot count + 1 lay past its end.
void insertRecord(int at, int count, const QByteArray& record);
// Records at+1..count+1 move down one slot, so slot count takes what slot count + 1
// held (the end mark); the file keeps its length.
void deleteRecord(int at, int count);

} // namespace pb
