#include "platform/record_file.h"
#include "platform/vb_error.h"

#include "file_size_limit.h"
#include "no_permission_override.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pb;

class RecordFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.path() + QLatin1Char('/') + QString::fromLatin1(name); }
};

TEST_F(RecordFileTest, MissingFileIsCreatedEmptyAndReadsZerosPastTheEnd) {
    RecordFile f(path("a.q7b"), 4);
    EXPECT_TRUE(QFile::exists(path("a.q7b")));
    EXPECT_EQ(f.size(), 0);
    EXPECT_EQ(f.read(3), QByteArray(4, '\0'));
}

TEST_F(RecordFileTest, WritingPastTheEndExtendsAndRangesAreConsecutive) {
    RecordFile f(path("a.q7b"), 4);
    f.write(3, QByteArray("cccc"));
    EXPECT_EQ(f.size(), 12);
    EXPECT_EQ(f.read(1), QByteArray(4, '\0'));
    f.writeRange(1, QByteArray("aaaabbbb"));
    EXPECT_EQ(f.readAll(), QByteArray("aaaabbbbcccc"));
    EXPECT_EQ(f.readRange(2, 3), QByteArray("bbbbcccc") + QByteArray(4, '\0'));
    f.write(1, QByteArray("xy")); // a short record is padded with zeros
    EXPECT_EQ(f.read(1), QByteArray("xy\0\0", 4));
}

TEST_F(RecordFileTest, FailuresCarryTheFileErrorNumbers) {
    try {
        RecordFile f(path("no/such/folder/a.q7b"), 4);
        FAIL() << "opened a file in a missing folder";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::PathNotFound);
    }
    {
        RecordFile f(path("ro.q7b"), 4);
        f.write(1, QByteArray("abcd"));
        const pbtest::FileSizeLimit fullDisk(4); // the file may not grow
        try {
            f.write(2, QByteArray("efgh"));
            FAIL() << "grew a file past the limit";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), err::DiskFull);
        }
    }
    QFile::setPermissions(path("ro.q7b"), QFileDevice::ReadOwner);
    const pbtest::NoPermissionOverride asUser;
    RecordFile ro(path("ro.q7b"), 4);
    EXPECT_EQ(ro.read(1), QByteArray("abcd"));
    try {
        ro.write(1, QByteArray("zzzz"));
        FAIL() << "wrote a read-only file";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::PermissionDenied);
    }
}
