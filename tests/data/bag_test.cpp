#include "data/database_settings.h"
#include "data/module_phonebook.h"
#include "data/property_bag.h"
#include "platform/vb_convert.h"
#include "platform/vb_error.h"
#include "records.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace pb;

class BagTest : public ::testing::Test {
protected:
    void SetUp() override { ModulePhoneBook::reset(); }
    QString file() const { return dir.path() + QStringLiteral("/Home.set"); }
    QTemporaryDir dir;
};

TEST_F(BagTest, FileStartsWithTheTwelveByteArrayHeader) {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Given name"));
    saveBagFile(file(), bag);
    const QByteArray bytes = pbtest::readFile(file());
    ASSERT_GE(bytes.size(), 12);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData()), 0x2011);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 2), 1);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), static_cast<quint32>(bytes.size() - 12));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 8), 0u);
    EXPECT_EQ(bytes.mid(12), bag.Contents());
}

TEST_F(BagTest, DatabaseSettingsRoundTripWithEveryType) {
    ModulePhoneBook& m = pbm();
    m.Label = kDefaultLabels;
    m.Label[2] = QStringLiteral("Mobile");
    m.current = 7;
    m.SortedByLastName = true;
    m.SortDate = QDateTime(QDate(2026, 12, 7), QTime(0, 0));
    PropertyBag out;
    WriteDataBaseSettings(out);
    const std::pair<const char*, int> types[] = {{"Label6", QMetaType::QString},
                                                 {"recordNumber", QMetaType::Short},
                                                 {"sortDate", QMetaType::QDateTime},
                                                 {"sortedByFirstName", QMetaType::Bool},
                                                 {"sortedByLastName", QMetaType::Bool}};
    for (const auto& [key, type] : types)
        EXPECT_EQ(out.ReadProperty(QLatin1String(key)).userType(), type) << key;
    saveBagFile(file(), out);

    ModulePhoneBook::reset();
    ReadDataBaseSettings(loadBagFile(file()));
    const ModulePhoneBook& r = pbm();
    EXPECT_EQ(r.Label[0], QStringLiteral("First name"));
    EXPECT_EQ(r.Label[2], QStringLiteral("Mobile"));
    EXPECT_EQ(r.Label[6], QStringLiteral("Comments"));
    EXPECT_EQ(r.current, 7);
    EXPECT_TRUE(r.SortedByLastName);
    EXPECT_FALSE(r.SortedByFirstName);
    EXPECT_EQ(r.SortDate, QDateTime(QDate(2026, 12, 7), QTime(0, 0)));

    PropertyBag all;
    all.WriteProperty(QStringLiteral("i32"), QVariant::fromValue<int>(-2147483643));
    all.WriteProperty(QStringLiteral("f"), QVariant::fromValue<float>(12.5f));
    all.WriteProperty(QStringLiteral("cur"), QVariant::fromValue(PropertyBag::Currency{123456}));
    PropertyBag back;
    back.setContents(all.Contents());
    EXPECT_EQ(back.ReadProperty(QStringLiteral("i32")).toInt(), -2147483643);
    EXPECT_FLOAT_EQ(back.ReadProperty(QStringLiteral("f")).toFloat(), 12.5f);
    EXPECT_EQ(back.ReadProperty(QStringLiteral("cur")).value<PropertyBag::Currency>().tenThousandths, 123456);
}

TEST_F(BagTest, MissingFileAndMissingKeysGiveTheDefaults) {
    ReadDataBaseSettings(loadBagFile(file()));
    const ModulePhoneBook& m = pbm();
    EXPECT_EQ(m.Label, kDefaultLabels);
    EXPECT_EQ(m.current, 1);
    EXPECT_EQ(m.SortDate, convert::zeroDate());
    EXPECT_FALSE(m.SortedByFirstName || m.SortedByLastName);
}

TEST_F(BagTest, AValueThatCannotBeConvertedLeavesTheVariable) {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("recordNumber"), QStringLiteral("not a number"));
    bag.WriteProperty(QStringLiteral("sortedByFirstName"), QStringLiteral("maybe"));
    pbm().current = 4;
    pbm().SortedByFirstName = true;
    ReadDataBaseSettings(bag);
    EXPECT_EQ(pbm().current, 4);
    EXPECT_TRUE(pbm().SortedByFirstName);
}

TEST_F(BagTest, AShorterSaveOverALongerFileReadsBack) {
    PropertyBag longBag;
    for (int i = 0; i < 50; ++i)
        longBag.WriteProperty(QStringLiteral("k%1").arg(i), QString(100, QLatin1Char('x')));
    pbtest::writeFile(file(), bagFileImage(longBag.Contents()) + QByteArray(500, 'z')); // stray tail ignored
    EXPECT_TRUE(loadBagFile(file()).contains(QStringLiteral("k49")));
    PropertyBag shortBag;
    shortBag.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Name"));
    saveBagFile(file(), shortBag);
    const PropertyBag back = loadBagFile(file());
    EXPECT_EQ(back.ReadProperty(QStringLiteral("Label0")).toString(), QStringLiteral("Name"));
    EXPECT_FALSE(back.contains(QStringLiteral("k1")));
}

TEST_F(BagTest, DamagedFilesGiveAnEmptyBag) {
    PropertyBag good;
    good.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Name"));
    good.WriteProperty(QStringLiteral("recordNumber"), QVariant::fromValue<short>(3));
    const QByteArray image = bagFileImage(good.Contents());

    std::vector<QByteArray> damaged;
    damaged.push_back(QByteArray());
    damaged.push_back(image.left(11));
    QByteArray wrongType = image;
    wrongType[0] = 0x08;
    damaged.push_back(wrongType);
    QByteArray hugeCount = image;
    qToLittleEndian<quint32>(0x7FFFFFF0u, hugeCount.data() + 4); // more than the file holds
    damaged.push_back(hugeCount);
    damaged.push_back(image.left(image.size() - 3)); // contents cut short
    QByteArray hugeName = image;
    qToLittleEndian<quint32>(0xFFFFFFF0u, hugeName.data() + 12 + 10); // first name's length
    damaged.push_back(hugeName);
    damaged.push_back(QByteArray(64, '\xff'));
    for (const QByteArray& bytes : damaged) {
        pbtest::writeFile(file(), bytes);
        const PropertyBag bag = loadBagFile(file());
        EXPECT_FALSE(bag.contains(QStringLiteral("Label0"))) << bytes.toHex().toStdString();
    }
}

TEST_F(BagTest, AFailedSaveLeavesTheOldFileWhole) {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Label0"), QStringLiteral("Old"));
    saveBagFile(file(), bag);
    const QByteArray before = pbtest::readFile(file());
    EXPECT_THROW(saveBagFile(dir.path() + QStringLiteral("/missing/Home.set"), bag), VbError);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    bag.WriteProperty(QStringLiteral("Label0"), QStringLiteral("New"));
    try {
        saveBagFile(file(), bag);
    } catch (const VbError&) {
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray after = pbtest::readFile(file());
    // Either the new bag went in whole (as root may) or the old one stayed whole.
    EXPECT_TRUE(after == before || after == bagFileImage(bag.Contents()));
}
