#include "accessories/alarm_time.h"

#include <QLocale>

namespace pb::alarm {

namespace {

// Only digits, with an optional minus: "+1", ".5" or "5 " are not numbers a user means.
std::optional<int> wholeNumber(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && c == QLatin1Char('-') && text.size() > 1))
            return std::nullopt;
    }
    bool ok = false;
    const int v = text.toInt(&ok);
    // Digits too many for a number are far out of range.
    return ok ? v : (text.startsWith(QLatin1Char('-')) ? -100000 : 100000);
}

} // namespace

std::optional<Refusal> checkBox(int index, const QString& text) {
    const std::optional<int> n = wholeNumber(text);
    if (index == 1) {
        if (!n) return Refusal{QStringLiteral("Hours are digital values"), QStringLiteral("12")};
        if (*n > 12 || *n < 1)
            return Refusal{QStringLiteral("Hours are between 1 and 12"), QStringLiteral("12")};
    } else {
        if (!n) return Refusal{QStringLiteral("Minutes are digital values"), QStringLiteral("00")};
        if (*n > 59 || *n < 0)
            return Refusal{QStringLiteral("Minutes are between 0 and 59"), QStringLiteral("00")};
    }
    return std::nullopt;
}

QString alarmText(const QString& hour, const QString& minute, bool pm) {
    return hour + QLatin1Char(':') + minute + QLatin1Char(' ') +
           (pm ? QStringLiteral("PM") : QStringLiteral("AM"));
}

std::optional<QTime> timeOfDay(const QString& hour, const QString& minute, bool pm) {
    if (checkBox(1, hour) || checkBox(2, minute)) return std::nullopt;
    const int h = hour.toInt() % 12 + (pm ? 12 : 0);
    return QTime(h, minute.toInt());
}

QDateTime nextOccurrence(const QDateTime& from, QTime at, const QDateTime& lastRung) {
    const QTime fromMinute(from.time().hour(), from.time().minute());
    QDateTime due(from.date(), at);
    if (at < fromMinute) due = due.addDays(1);
    if (lastRung.isValid() && due <= lastRung) due = QDateTime(lastRung.date().addDays(1), at);
    return due;
}

QString clockText(const QDateTime& now) {
    return QLocale::c().toString(now.time(), QStringLiteral("h:mm:ss AP"));
}

} // namespace pb::alarm
