#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

// Conversions of stored text to typed values. A text that is no value of the
// type raises error 13, a value out of range error 6, as the settings readers expect.
namespace pb::convert {

bool toBool(const QString& text);
int16_t toInt16(const QString& text);
int32_t toInt32(const QString& text);
float toSingle(const QString& text);
double toDouble(const QString& text);
QDateTime toDate(const QString& text);

QString fromBool(bool value); // "True" / "False"
QString fromNumber(double value);

// The sign-place text of a number: one blank before a number that is not negative.
QString signPlace(long long value);

// The date value 0 (30 December 1899, midnight): what an empty date holds.
QDateTime zeroDate();
// Dates as day numbers since zeroDate(), with the time as the fraction.
double dateToSerial(const QDateTime& date);
QDateTime serialToDate(double serial);

} // namespace pb::convert
