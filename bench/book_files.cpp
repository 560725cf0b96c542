#include "book_files.h"

#include "data/module_phonebook.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace pb;

namespace pbbench {

QByteArray makeBook(int records) {
    QByteArray book;
    book.reserve(static_cast<qsizetype>(records) * PhoneRecord::kLength);
    for (int i = 0; i < records; ++i) {
        PhoneRecord r;
        r.set(PhoneRecord::FirstName, QStringLiteral("Name%1").arg(i % 9973));
        r.set(PhoneRecord::LastName, QStringLiteral("Family%1").arg((i * 7919) % 32749));
        r.set(PhoneRecord::Phone, QStringLiteral("+1 555 %1").arg(i, 7, 10, QLatin1Char('0')));
        r.set(PhoneRecord::EMail, QStringLiteral("person%1@example.org").arg(i));
        r.set(PhoneRecord::Company, QStringLiteral("Company %1").arg(i % 500));
        r.set(PhoneRecord::Address, QStringLiteral("%1 Long Street, Town").arg(i));
        r.set(PhoneRecord::PictureFile, QString());
        r.set(PhoneRecord::Comments, QStringLiteral("Comment for record %1").arg(i));
        book += r.toBytes();
    }
    return book;
}

QByteArray readFileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBook(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

void durableWrite(const QString& path, const QByteArray& bytes) {
    const QByteArray tmp = QFile::encodeName(path + QStringLiteral(".tmp"));
    const int out = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || ::write(out, bytes.constData(), bytes.size()) != bytes.size() || ::fdatasync(out) != 0)
        std::exit(8);
    ::close(out);
    if (::rename(tmp.constData(), QFile::encodeName(path).constData()) != 0) std::exit(8);
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0 || ::fsync(fd) != 0) std::exit(8);
    ::close(fd);
}

} // namespace pbbench
