#include "data/database_settings.h"

#include "data/module_phonebook.h"
#include "platform/vb_convert.h"
#include "platform/vb_error.h"

#include <QDateTime>

namespace pb {

namespace {

// A value that cannot be converted to the variable's type leaves the variable as it was.
template <typename Apply>
void readInto(const PropertyBag& bag, const QString& key, const QVariant& def, Apply apply) {
    try {
        apply(bag.ReadProperty(key, def));
    } catch (const VbError&) {
    }
}

QString keyOfLabel(int i) {
    return QStringLiteral("Label%1").arg(i);
}

} // namespace

void WriteDataBaseSettings(PropertyBag& bag) {
    ModulePhoneBook& m = pbm();
    for (int i = 0; i < 7; ++i)
        bag.WriteProperty(keyOfLabel(i), m.Label[i]);
    bag.WriteProperty(QStringLiteral("recordNumber"), static_cast<qint16>(m.current));
    bag.WriteProperty(QStringLiteral("sortDate"), m.SortDate.isValid() ? m.SortDate : convert::zeroDate());
    bag.WriteProperty(QStringLiteral("sortedByFirstName"), m.SortedByFirstName);
    bag.WriteProperty(QStringLiteral("sortedByLastName"), m.SortedByLastName);
}

void ReadDataBaseSettings(const PropertyBag& bag) {
    ModulePhoneBook& m = pbm();
    for (int i = 0; i < 7; ++i)
        readInto(bag, keyOfLabel(i), kDefaultLabels[i],
                 [&](const QVariant& v) { m.Label[i] = v.toString(); });
    readInto(bag, QStringLiteral("recordNumber"), QStringLiteral("1"),
             [&](const QVariant& v) { m.current = convert::toInt16(v.toString()); });
    readInto(bag, QStringLiteral("sortDate"), QStringLiteral("0"), [&](const QVariant& v) {
        m.SortDate = v.typeId() == QMetaType::QDateTime ? v.toDateTime() : convert::toDate(v.toString());
    });
    readInto(bag, QStringLiteral("sortedByFirstName"), false,
             [&](const QVariant& v) { m.SortedByFirstName = convert::toBool(v.toString()); });
    readInto(bag, QStringLiteral("sortedByLastName"), false,
             [&](const QVariant& v) { m.SortedByLastName = convert::toBool(v.toString()); });
}

} // namespace pb
