#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <concepts>
#include <map>

namespace pb {

// Named, typed values saved as one block of bytes. Values are text, 16-bit and
// 32-bit integers, single-precision numbers, currency (fixed point, 4 places),
// dates and Booleans; each is read with a default for a missing name.
class PropertyBag {
public:
    struct Currency {
        qint64 tenThousandths = 0;
    };

    void WriteProperty(const QString& name, const QVariant& value);
    // A 16-bit integer is kept 16-bit: a QVariant made from it would hold a 32-bit int.
    template <std::same_as<qint16> T> void WriteProperty(const QString& name, T value) {
        WriteProperty(name, QVariant::fromValue<qint16>(value));
    }
    // The stored value, or `defaultValue` when the name is missing.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    bool contains(const QString& name) const { return m_values.count(name) != 0; }

    // The serialised contents; setContents throws BagError on any damage and
    // then leaves the bag empty.
    QByteArray Contents() const;
    void setContents(const QByteArray& bytes);

private:
    std::map<QString, QVariant> m_values;
};

struct BagError {
    QString what;
};

// The settings-file form: a 12-byte header (type word 0x2011, one dimension,
// byte count, lower bound 0) followed by the bag's contents.
QByteArray bagFileImage(const QByteArray& contents);
// The contents held in a settings file's bytes; throws BagError when the header
// does not describe what the file holds. Bytes after the counted contents are ignored.
QByteArray bagContentsFromFile(const QByteArray& file);

// Reads a bag file as a whole; a missing, empty or damaged file gives an empty bag.
PropertyBag loadBagFile(const QString& path);
// Writes the bag to a temporary file beside `path` and renames it over the old
// one when complete; throws VbError when it cannot, leaving the old file whole.
void saveBagFile(const QString& path, const PropertyBag& bag);

} // namespace pb

Q_DECLARE_METATYPE(pb::PropertyBag::Currency)
