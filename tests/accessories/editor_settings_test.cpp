#include "accessories/frm_recordset.h"
#include "app_fixture.h"
#include "data/property_bag.h"
#include "platform/units.h"
#include "workspace/forms.h"

#include <QFileInfo>
#include <cmath>
#include <limits>

using namespace pb;
using namespace pbtest;

namespace {

const char* const kKeys[] = {"frmRecordsetWidth", "frmRecordsetHeight",      "frmRecordsetTop",
                             "frmRecordsetLeft",  "frmRecordsetWindowState", "rtfBackColor",
                             "rtfTextSize",       "rtfTextUnderline",        "rtfTextStrikeThrough",
                             "rtfTextBold",       "rtfTextItalic",           "rtfTextName"};

PropertyBag goodBag() {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("frmRecordsetWidth"), 9000.0f);
    bag.WriteProperty(QStringLiteral("frmRecordsetHeight"), 6000.0f);
    bag.WriteProperty(QStringLiteral("frmRecordsetTop"), 300.0f);
    bag.WriteProperty(QStringLiteral("frmRecordsetLeft"), 450.0f);
    bag.WriteProperty(QStringLiteral("frmRecordsetWindowState"), static_cast<qint16>(0));
    bag.WriteProperty(QStringLiteral("rtfBackColor"), static_cast<int32_t>(0x00FF8000));
    bag.WriteProperty(QStringLiteral("rtfTextSize"), QVariant::fromValue(PropertyBag::Currency{145000}));
    bag.WriteProperty(QStringLiteral("rtfTextUnderline"), true);
    bag.WriteProperty(QStringLiteral("rtfTextStrikeThrough"), false);
    bag.WriteProperty(QStringLiteral("rtfTextBold"), true);
    bag.WriteProperty(QStringLiteral("rtfTextItalic"), false);
    bag.WriteProperty(QStringLiteral("rtfTextName"), QStringLiteral("Verdana"));
    return bag;
}

} // namespace

class EditorSettingsTest : public AppFixture {
protected:
    QString file() const { return appDir() + QStringLiteral("PBTextEditor.set"); }
    frmRecordset* load() { return Forms::get<frmRecordset>(); }
    void close() {
        Forms::unload<frmRecordset>();
        Forms::flushDeleted();
    }
};

TEST_F(EditorSettingsTest, TheFirstRunMakesAnEmptyFileAndCloseWritesTheTwelveKeysWithTheirTypes) {
    frmRecordset* e = load();
    EXPECT_TRUE(QFileInfo(file()).isFile());
    EXPECT_EQ(readFile(file()), QByteArray());
    EXPECT_EQ(e->Rtf->font().family(), QStringLiteral("Verdana"));
    EXPECT_EQ(e->Rtf->font().pointSizeF(), 12);
    EXPECT_EQ(e->frmRecordsetCD.FontName, QStringLiteral("Verdana"));
    close();
    const PropertyBag bag = loadBagFile(file());
    for (const char* key : kKeys)
        EXPECT_TRUE(bag.contains(QString::fromLatin1(key))) << key;
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("frmRecordsetWidth")).userType(), QMetaType::Float);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("frmRecordsetWindowState")).toInt(), 0);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("rtfBackColor")).userType(), QMetaType::Int);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("rtfBackColor")).toInt(), kWindowBackground);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("rtfTextSize")).value<PropertyBag::Currency>().tenThousandths,
              120000);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("rtfTextBold")).userType(), QMetaType::Bool);
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("rtfTextName")).toString(), QStringLiteral("Verdana"));
}

TEST_F(EditorSettingsTest, StoredSettingsComeBackAndGoOutUnchanged) {
    saveBagFile(file(), goodBag());
    frmRecordset* e = load();
    EXPECT_EQ(e->geometry(), QRect(30, 20, 600, 400));
    EXPECT_EQ(e->Rtf->font().pointSizeF(), 14.5);
    EXPECT_TRUE(e->Rtf->font().bold());
    EXPECT_TRUE(e->Rtf->font().underline());
    EXPECT_EQ(e->Rtf->palette().color(QPalette::Base), QColor(0x00, 0x80, 0xFF));
    EXPECT_EQ(e->frmRecordsetCD.FontSize, 14.5);
    EXPECT_TRUE(e->frmRecordsetCD.FontBold);
    close();
    EXPECT_EQ(loadBagFile(file()).Contents(), goodBag().Contents());
}

TEST_F(EditorSettingsTest, MaximisedComesBackMaximisedAndMinimisedComesBackNormal) {
    saveBagFile(file(), goodBag());
    frmRecordset* e = load();
    Forms::show(e);
    e->showMaximized();
    close();
    EXPECT_EQ(loadBagFile(file()).ReadProperty(QStringLiteral("frmRecordsetWindowState")).toInt(), 2);
    // The normal size is kept, not the maximised one.
    EXPECT_EQ(loadBagFile(file()).ReadProperty(QStringLiteral("frmRecordsetWidth")).toFloat(), 9000.0f);
    e = load();
    Forms::show(e);
    EXPECT_TRUE(e->isMaximized());
    e->showMinimized();
    close();
    EXPECT_EQ(loadBagFile(file()).ReadProperty(QStringLiteral("frmRecordsetWindowState")).toInt(), 0);
}

TEST_F(EditorSettingsTest, DamagedValuesAreSkippedAndTheirPropertiesKeepTheirValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    PropertyBag bag = goodBag();
    bag.WriteProperty(QStringLiteral("frmRecordsetWidth"), nan);
    bag.WriteProperty(QStringLiteral("frmRecordsetHeight"), 0.0f);
    bag.WriteProperty(QStringLiteral("frmRecordsetTop"), inf);
    bag.WriteProperty(QStringLiteral("frmRecordsetLeft"), 3.0e38f);
    bag.WriteProperty(QStringLiteral("frmRecordsetWindowState"), static_cast<qint16>(7));
    bag.WriteProperty(QStringLiteral("rtfTextSize"), QVariant::fromValue(PropertyBag::Currency{0}));
    bag.WriteProperty(QStringLiteral("rtfTextBold"), QStringLiteral("maybe"));
    saveBagFile(file(), bag);
    const QRect layout = [this] {
        const QRect g = load()->geometry();
        close();
        return g;
    }();
    saveBagFile(file(), bag); // the close above wrote good values over it
    frmRecordset* e = load();
    EXPECT_EQ(e->geometry(), layout);
    EXPECT_FALSE(e->isMaximized());
    EXPECT_EQ(e->Rtf->font().pointSizeF(), 12);
    EXPECT_FALSE(e->Rtf->font().bold());
    EXPECT_TRUE(e->Rtf->font().underline()); // the good values still count
    close();

    // A file that is no bag at all: the layout values.
    writeFile(file(), QByteArray("\x11\x20\x01\x00\xFF\xFF\xFF\x7F", 8));
    EXPECT_EQ(load()->geometry(), layout);
}
