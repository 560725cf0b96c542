#pragma once

namespace pb {

// Moves records first..count of the open database up by one slot (to
// first+1..count+1), as an insert needs. The one write that grows the file goes
// first, so a full disk or a read-only file fails before any record is touched.
void moveRecordsUp(int first, int count);
// Moves records first+1..count+1 down by one slot (to first..count), as a delete
// needs; the blank slot after the data becomes the new end mark in slot count.
void moveRecordsDown(int first, int count);
// Takes back moveRecordsUp(first, count): the records return to their slots and
// slot count + 1 holds the end mark again.
void undoMoveUp(int first, int count);

} // namespace pb
