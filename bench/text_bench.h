#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace pb::bench {

struct Row {
    QString what;
    double ms;
    double target;      // ratio to the table's baseline it must stay within; 0: none
    double limitMs = 0; // time it must stay within; 0: none
};

// Best of `runs` runs of `work` in milliseconds, `prepare` untimed before each.
using Timer =
    std::function<double(const std::function<void()>& work, const std::function<void()>& prepare, int runs)>;
// Prints a table against a baseline; false when a row misses its target.
using RowPrinter = std::function<bool(const std::vector<Row>& rows, double base, const char* against)>;

// The book as text, the text editor on it and its printing, on the book at `bookPath`.
bool textRows(const QString& folder, const QString& bookPath, int records, const Timer& best,
              const RowPrinter& print);

} // namespace pb::bench
