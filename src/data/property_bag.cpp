#include "data/property_bag.h"

#include "data/file_copy.h"
#include "platform/vb_convert.h"
#include "platform/vb_error.h"

#include <QDateTime>
#include <QFile>
#include <QtEndian>
#include <cerrno>
#include <cstring>

namespace pb {

namespace {

constexpr char kMagic[4] = {'D', 'V', 'B', 'G'};
constexpr quint16 kVersion = 1;

enum Tag : quint8 {
    TagText = 1,
    TagInt16 = 2,
    TagInt32 = 3,
    TagSingle = 4,
    TagCurrency = 5,
    TagDate = 6,
    TagBool = 7
};

class Writer {
public:
    template <typename T> void put(T v) {
        char b[sizeof(T)];
        qToLittleEndian(v, b);
        out.append(b, sizeof(T));
    }
    void bytes(const QByteArray& b) {
        put<quint32>(static_cast<quint32>(b.size()));
        out.append(b);
    }
    QByteArray out;
};

// Every read is checked against what is left, so no count read from the file
// can make us allocate or read past it.
class Reader {
public:
    explicit Reader(const QByteArray& b) : data(b) {}
    template <typename T> T get() {
        need(sizeof(T));
        const T v = qFromLittleEndian<T>(data.constData() + pos);
        pos += sizeof(T);
        return v;
    }
    QByteArray bytes(quint32 n) {
        need(n);
        QByteArray b = data.mid(pos, n);
        pos += n;
        return b;
    }
    void need(quint64 n) const {
        if (n > static_cast<quint64>(data.size() - pos)) throw BagError{QStringLiteral("truncated bag")};
    }
    const QByteArray& data;
    qsizetype pos = 0;
};

} // namespace

void PropertyBag::WriteProperty(const QString& name, const QVariant& value) {
    m_values[name] = value;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
    const auto it = m_values.find(name);
    return it == m_values.end() ? defaultValue : it->second;
}

QByteArray PropertyBag::Contents() const {
    Writer w;
    w.out.append(kMagic, 4);
    w.put<quint16>(kVersion);
    w.put<quint32>(static_cast<quint32>(m_values.size()));
    for (const auto& [name, v] : m_values) {
        const QByteArray n = name.toUtf8();
        w.bytes(n);
        switch (v.typeId()) {
        case QMetaType::Short:
        case QMetaType::UShort:
            w.put<quint8>(TagInt16);
            w.put<qint16>(static_cast<qint16>(v.toInt()));
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
            w.put<quint8>(TagInt32);
            w.put<qint32>(v.toInt());
            break;
        case QMetaType::Float:
        case QMetaType::Double: {
            w.put<quint8>(TagSingle);
            const float f = v.toFloat();
            quint32 bits;
            std::memcpy(&bits, &f, 4);
            w.put<quint32>(bits);
            break;
        }
        case QMetaType::QDateTime:
        case QMetaType::QDate: {
            w.put<quint8>(TagDate);
            const double serial = convert::dateToSerial(v.toDateTime());
            quint64 bits;
            std::memcpy(&bits, &serial, 8);
            w.put<quint64>(bits);
            break;
        }
        case QMetaType::Bool:
            w.put<quint8>(TagBool);
            w.put<qint16>(v.toBool() ? -1 : 0);
            break;
        default:
            if (v.userType() == qMetaTypeId<PropertyBag::Currency>()) {
                w.put<quint8>(TagCurrency);
                w.put<qint64>(v.value<PropertyBag::Currency>().tenThousandths);
            } else {
                w.put<quint8>(TagText);
                w.bytes(v.toString().toUtf8());
            }
            break;
        }
    }
    return w.out;
}

void PropertyBag::setContents(const QByteArray& bytes) {
    m_values.clear();
    std::map<QString, QVariant> values;
    Reader r(bytes);
    r.need(4);
    if (std::memcmp(bytes.constData(), kMagic, 4) != 0) throw BagError{QStringLiteral("not a settings bag")};
    r.pos = 4;
    if (r.get<quint16>() != kVersion) throw BagError{QStringLiteral("unknown bag version")};
    const quint32 count = r.get<quint32>();
    for (quint32 i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(r.bytes(r.get<quint32>()));
        const quint8 tag = r.get<quint8>();
        QVariant v;
        switch (tag) {
        case TagText:
            v = QString::fromUtf8(r.bytes(r.get<quint32>()));
            break;
        case TagInt16:
            v = QVariant::fromValue<short>(r.get<qint16>());
            break;
        case TagInt32:
            v = QVariant::fromValue<int>(r.get<qint32>());
            break;
        case TagSingle: {
            const quint32 bits = r.get<quint32>();
            float f;
            std::memcpy(&f, &bits, 4);
            v = QVariant::fromValue<float>(f);
            break;
        }
        case TagCurrency:
            v = QVariant::fromValue(PropertyBag::Currency{r.get<qint64>()});
            break;
        case TagDate: {
            const quint64 bits = r.get<quint64>();
            double serial;
            std::memcpy(&serial, &bits, 8);
            if (!(serial > -657435.0 && serial < 2958466.0))
                throw BagError{QStringLiteral("date out of range")};
            v = convert::serialToDate(serial);
            break;
        }
        case TagBool:
            v = QVariant::fromValue<bool>(r.get<qint16>() != 0);
            break;
        default:
            throw BagError{QStringLiteral("unknown value type")};
        }
        values[name] = v;
    }
    m_values = std::move(values);
}

QByteArray bagFileImage(const QByteArray& contents) {
    Writer w;
    w.put<quint16>(0x2011);
    w.put<quint16>(1);
    w.put<quint32>(static_cast<quint32>(contents.size()));
    w.put<quint32>(0);
    w.out.append(contents);
    return w.out;
}

QByteArray bagContentsFromFile(const QByteArray& file) {
    Reader r(file);
    if (r.get<quint16>() != 0x2011) throw BagError{QStringLiteral("not a byte array")};
    if (r.get<quint16>() != 1) throw BagError{QStringLiteral("not one dimension")};
    const quint32 n = r.get<quint32>();
    if (r.get<quint32>() != 0) throw BagError{QStringLiteral("lower bound not 0")};
    return r.bytes(n);
}

PropertyBag loadBagFile(const QString& path) {
    PropertyBag bag;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return bag;
    // The header's count is checked against the file's own size before anything is taken.
    const QByteArray bytes = f.readAll();
    try {
        bag.setContents(bagContentsFromFile(bytes));
    } catch (const BagError&) {
        bag = PropertyBag();
    }
    return bag;
}

void saveBagFile(const QString& path, const PropertyBag& bag) {
    files::writeFile(path, bagFileImage(bag.Contents()));
}

} // namespace pb
