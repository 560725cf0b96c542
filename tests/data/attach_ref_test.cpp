#include "data/attach_ref.h"
#include "platform/vb_error.h"
#include "records.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pb;

class AttachRefTest : public ::testing::Test {
protected:
    void SetUp() override { ref.openAttachFile(dir.path(), QStringLiteral("Home")); }
    QByteArray index() const {
        return pbtest::readFile(dir.path() + QStringLiteral("/HomeAttachmentsRef.att"));
    }
    static QByteArray entry(const char* number, const char* sound, const char* movie, const char* misc) {
        const auto pad = [](const char* s, int w) -> QByteArray {
            QByteArray b(s);
            return b + QByteArray(w - b.size(), ' ');
        };
        return pad("OK", 3) + pad(number, 5) + pad(sound, 60) + pad(movie, 60) + pad(misc, 60);
    }
    QTemporaryDir dir;
    PbAttachRefClass ref;
};

TEST_F(AttachRefTest, AttachingAppendsAndUpdatesEntriesByteForByte) {
    EXPECT_EQ(ref.RecordsCount(), 0);
    ref.AttachToRecord(5, QStringLiteral("tune.wav"), PbAttachRefClass::Sound);
    EXPECT_EQ(index(), entry("5", "tune.wav", "", ""));
    ref.AttachToRecord(5, QStringLiteral("clip.avi"), PbAttachRefClass::Movie);
    EXPECT_EQ(index(), entry("5", "tune.wav", "clip.avi", ""));
    ref.AttachToRecord(12, QStringLiteral("notes.doc"), PbAttachRefClass::Misc);
    EXPECT_EQ(index(), entry("5", "tune.wav", "clip.avi", "") + entry("12", "", "", "notes.doc"));
    EXPECT_EQ(ref.RecordsCount(), 2);
}

TEST_F(AttachRefTest, FindsEntriesByTheirWholeNumber) {
    ref.AttachToRecord(1, QStringLiteral("one.wav"), PbAttachRefClass::Sound);
    EXPECT_FALSE(ref.getAttachedFiles(12)); // "12" is not "1"
    EXPECT_FALSE(ref.SoundExist());
    EXPECT_FALSE(ref.MovieExist());
    EXPECT_FALSE(ref.MiscExist());
    ASSERT_TRUE(ref.getAttachedFiles(1));
    EXPECT_TRUE(ref.SoundExist());
    EXPECT_FALSE(ref.MovieExist());
    EXPECT_EQ(ref.SoundAttachment(), QStringLiteral("one.wav"));
    EXPECT_EQ(ref.AttachedToRecord(), 1);
}

TEST_F(AttachRefTest, AClosedIndexFindsNothingAndRefusesToRecord) {
    ref.AttachToRecord(3, QStringLiteral("three.wav"), PbAttachRefClass::Sound);
    ASSERT_TRUE(ref.getAttachedFiles(3));
    ref.close();
    EXPECT_FALSE(ref.SoundExist()); // nothing lingers from before the close
    EXPECT_FALSE(ref.getAttachedFiles(3));
    EXPECT_THROW(ref.AttachToRecord(3, QStringLiteral("again.wav"), PbAttachRefClass::Sound), VbError);
    EXPECT_EQ(index(), entry("3", "three.wav", "", ""));
}
