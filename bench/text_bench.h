#pragma once

#include <QString>

namespace pb::bench {

// The book as text, the text editor on it and its printing, on the book at `bookPath`; prints the
// tables and returns false when a row misses its target.
bool textRows(const QString& folder, const QString& bookPath, int records);

} // namespace pb::bench
