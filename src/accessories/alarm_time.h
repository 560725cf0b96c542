#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace pb::alarm {

// What the hour (index 1) or minute (index 2) box says about a text typed into it.
struct Refusal {
    QString message;
    QString reset; // what the box holds afterwards
};
// nullopt when the text is a whole number in the box's range.
std::optional<Refusal> checkBox(int index, const QString& text);

// "7:5 PM": the boxes' texts as they stand.
QString alarmText(const QString& hour, const QString& minute, bool pm);

// The time of day of hour 1..12, minute 0..59 and AM/PM (12 AM is midnight);
// nullopt when the boxes hold no such time.
std::optional<QTime> timeOfDay(const QString& hour, const QString& minute, bool pm);

// The moment the alarm rings: `at` today when it is not earlier than the minute of
// `from`, else tomorrow; never a moment that has rung already (`lastRung`).
QDateTime nextOccurrence(const QDateTime& from, QTime at, const QDateTime& lastRung = {});

// The clock box: "3:05:09 PM", the same in every language.
QString clockText(const QDateTime& now);

} // namespace pb::alarm
