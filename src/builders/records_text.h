#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace pb {

// The whole book as text, in the single-byte code page of the book itself: for
// each record its number after a sign blank, the seven captioned fields as
// "Caption: value" with the value's blanks trimmed, and an empty line; every
// line ends in CR LF. `book` holds `count` records of 440 bytes.
QByteArray recordsText(const QByteArray& book, int count, const std::array<QString, 7>& labels);

// The progress line of record `i` of `n`: the number and the percentage, each
// with its sign blank, the percentage rounded to the nearest (halves to even).
QString textProgressLine(int i, int n);
// The same into `line`, reusing its storage.
void writeTextProgressLine(QString& line, int i, int n);

} // namespace pb
