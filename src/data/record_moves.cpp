#include "data/record_moves.h"

#include "data/module_phonebook.h"

namespace pb {

void moveRecordsUp(int first, int count) {
    if (first > count) return;
    RecordFile& f = pbm().database();
    const QByteArray block = f.readRange(first, count - first + 1);
    const QByteArray oldSlot = f.read(count + 1);
    const qsizetype len = PhoneRecord::kLength;
    // The last record goes to the new slot first: until that write has worked,
    // the file is as it was.
    f.writeRange(count + 1, block.right(len));
    if (count == first) return;
    try {
        f.writeRange(first + 1, block.left(block.size() - len));
    } catch (...) {
        // Put back what we can: every record still has a copy in its own or the next slot.
        try {
            f.writeRange(first, block.left(block.size() - len));
            f.write(count + 1, oldSlot);
        } catch (...) {
        }
        throw;
    }
}

void moveRecordsDown(int first, int count) {
    if (first > count) return;
    RecordFile& f = pbm().database();
    // Record count + 1 is the blank slot (or past the end, reading as zeros).
    const QByteArray block = f.readRange(first + 1, count - first + 1);
    f.writeRange(first, block);
}

void undoMoveUp(int first, int count) {
    moveRecordsDown(first, count);
    pbm().database().write(count + 1, QByteArray(PhoneRecord::kLength, '\0'));
}

} // namespace pb
