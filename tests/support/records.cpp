#include "records.h"

#include "platform/codepage.h"

#include <QFile>
#include <gtest/gtest.h>

namespace pbtest {

namespace {
QByteArray field(const QString& text, int width) {
    // Books hold their text in the code page, as the program writes it.
    QByteArray b = pb::codepage::encode(text).left(width);
    b.append(QByteArray(width - b.size(), ' '));
    return b;
}
} // namespace

QByteArray recordBytes(const Rec& r) {
    QByteArray b = field(r.first, 20) + field(r.last, 20) + field(r.phone, 27) + field(r.email, 33) +
                   field(r.company, 40) + field(r.address, 80) + field(r.picture, 60) +
                   field(r.comments, 160);
    EXPECT_EQ(b.size(), 440);
    return b;
}

QByteArray nulRecord() {
    return QByteArray(440, '\0');
}

QByteArray bookBytes(const std::vector<Rec>& records) {
    QByteArray b;
    for (const Rec& r : records)
        b += recordBytes(r);
    return b;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QByteArray recordAt(const QByteArray& file, int n) {
    QByteArray r = file.mid(static_cast<qsizetype>(n - 1) * 440, 440);
    r.append(QByteArray(440 - r.size(), '\0'));
    return r;
}

QString firstNameAt(const QByteArray& file, int n) {
    return pb::codepage::decode(recordAt(file, n).left(20)).trimmed();
}

} // namespace pbtest
