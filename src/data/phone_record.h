#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace pb {

// One phone book record: eight fixed-width single-byte text fields, 440 bytes
// on disk, blank-padded, with no separators.
class PhoneRecord {
public:
    enum Field { FirstName, LastName, Phone, EMail, Company, Address, PictureFile, Comments, FieldCount };
    static constexpr int kLength = 440;

    struct Layout {
        int offset;
        int width;
    };
    static constexpr std::array<Layout, FieldCount> kLayout = {
        {{0, 20}, {20, 20}, {40, 27}, {67, 33}, {100, 40}, {140, 80}, {220, 60}, {280, 160}}};
    static constexpr int width(Field f) { return kLayout[f].width; }

    // A fresh record is all NUL bytes, as a read past the end of a file gives.
    PhoneRecord() { m_bytes.fill('\0'); }
    static PhoneRecord fromBytes(const char* data, qsizetype length);
    static PhoneRecord fromBytes(const QByteArray& bytes) {
        return fromBytes(bytes.constData(), bytes.size());
    }
    QByteArray toBytes() const { return QByteArray(m_bytes.data(), kLength); }
    const char* data() const { return m_bytes.data(); }

    // The field's whole fixed-width text.
    QString raw(Field f) const;
    // The field with leading and trailing blanks removed (NULs are not blanks).
    QString trimmed(Field f) const;
    // Stores text: cut to the field's width, padded with blanks.
    void set(Field f, QStringView text);

    bool isAllNul() const;
    // The end of the data: a first name that, trimmed, fills all 20 characters.
    bool isEndMark() const { return isEndMark(m_bytes.data()); }
    static bool isEndMark(const char* record);

    bool operator==(const PhoneRecord&) const = default;

private:
    std::array<char, kLength> m_bytes;
};

// Removes blanks (character 32 only) from both ends.
QString trimBlanks(QStringView text);

} // namespace pb
