#include "platform/vb_convert.h"

#include "platform/vb_error.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace pb::convert {

namespace {

bool parseNumber(const QString& text, double* out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok) v = QLocale::system().toDouble(t, &ok);
    if (!ok) {
        // Hexadecimal literals as the settings of colours may hold them.
        if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
            const qlonglong h = t.mid(2).toLongLong(&ok, 16);
            if (ok) v = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(h)));
        }
    }
    if (!ok || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

long long roundHalfEven(double v) {
    return static_cast<long long>(std::nearbyint(v)); // default rounding mode is to nearest, ties to even
}

template <typename T> T toInteger(const QString& text) {
    double v = 0;
    if (!parseNumber(text, &v)) {
        const QString t = text.trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return -1;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0;
        throw VbError(err::TypeMismatch);
    }
    if (v < static_cast<double>(std::numeric_limits<T>::min()) - 0.5 ||
        v >= static_cast<double>(std::numeric_limits<T>::max()) + 0.5)
        throw VbError(err::Overflow);
    const long long r = roundHalfEven(v);
    if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max()) throw VbError(err::Overflow);
    return static_cast<T>(r);
}

} // namespace

bool toBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    double v = 0;
    if (!parseNumber(t, &v)) throw VbError(err::TypeMismatch);
    return v != 0;
}

int16_t toInt16(const QString& text) {
    return toInteger<int16_t>(text);
}
int32_t toInt32(const QString& text) {
    return toInteger<int32_t>(text);
}

float toSingle(const QString& text) {
    double v = 0;
    if (!parseNumber(text, &v)) throw VbError(err::TypeMismatch);
    if (std::fabs(v) > std::numeric_limits<float>::max()) throw VbError(err::Overflow);
    return static_cast<float>(v);
}

double toDouble(const QString& text) {
    double v = 0;
    if (!parseNumber(text, &v)) throw VbError(err::TypeMismatch);
    return v;
}

QDateTime zeroDate() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

double dateToSerial(const QDateTime& date) {
    const QDateTime z = zeroDate();
    const qint64 days = z.date().daysTo(date.date());
    const double frac = date.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + frac : days - frac;
}

QDateTime serialToDate(double serial) {
    const double whole = std::trunc(serial);
    const double frac = std::fabs(serial - whole);
    const QDate d = zeroDate().date().addDays(static_cast<qint64>(whole));
    return QDateTime(
        d, QTime::fromMSecsSinceStartOfDay(static_cast<int>(std::llround(frac * 86400000.0)) % 86400000));
}

QDateTime toDate(const QString& text) {
    const QString t = text.trimmed();
    double v = 0;
    if (parseNumber(t, &v)) return serialToDate(v);
    for (const QString& f : {QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd"),
                             QStringLiteral("yyyy-MM-ddTHH:mm:ss")}) {
        const QDateTime d = QDateTime::fromString(t, f);
        if (d.isValid()) return d;
    }
    const QDateTime d = QLocale::system().toDateTime(t, QLocale::ShortFormat);
    if (d.isValid()) return d;
    const QDate day = QLocale::system().toDate(t, QLocale::ShortFormat);
    if (day.isValid()) return QDateTime(day, QTime(0, 0));
    throw VbError(err::TypeMismatch);
}

QString fromBool(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString fromNumber(double value) {
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 7);
}

QString signPlace(long long value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

} // namespace pb::convert
