#include "accessories/frm_recordset.h"
#include "app_fixture.h"
#include "data/property_bag.h"
#include "platform/units.h"
#include "workspace/forms.h"
#include "workspace/vantrel_mdi.h"

#include <QFileInfo>
#include <QMdiArea>
#include <limits>

using namespace pb;
using namespace pbtest;

namespace {

// Every stored key with a good value of its stored type.
const std::pair<const char*, QVariant> kGood[] = {
    {"frmRecordsetWidth", 9000.0f},
    {"frmRecordsetHeight", 6000.0f},
    {"frmRecordsetTop", 300.0f},
    {"frmRecordsetLeft", 450.0f},
    {"frmRecordsetWindowState", QVariant::fromValue<qint16>(0)},
    {"rtfBackColor", static_cast<int32_t>(0x00FF8000)},
    {"rtfTextSize", QVariant::fromValue(PropertyBag::Currency{145000})},
    {"rtfTextUnderline", true},
    {"rtfTextStrikeThrough", false},
    {"rtfTextBold", true},
    {"rtfTextItalic", false},
    {"rtfTextName", QStringLiteral("Verdana")},
};

PropertyBag goodBag() {
    PropertyBag bag;
    for (const auto& [key, value] : kGood)
        bag.WriteProperty(QString::fromLatin1(key), value);
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
    QVariant stored(const char* key) const {
        return loadBagFile(file()).ReadProperty(QString::fromLatin1(key));
    }
};

TEST_F(EditorSettingsTest, TheFirstRunMakesAnEmptyFileAndCloseWritesTheTwelveKeysWithTheirTypes) {
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    frame->resize(1100, 800);
    frmRecordset* e = load();
    EXPECT_TRUE(QFileInfo(file()).isFile());
    EXPECT_EQ(readFile(file()), QByteArray());
    EXPECT_EQ(e->Rtf->font().family(), QStringLiteral("Verdana"));
    EXPECT_EQ(e->Rtf->font().pointSizeF(), 12);
    // With no stored place the window comes up in the middle of the workspace.
    Forms::show(e);
    const QRect room = frame->area()->viewport()->rect();
    EXPECT_TRUE(room.contains(e->geometry()));
    EXPECT_LE((e->geometry().center() - room.center()).manhattanLength(), 2);
    close();
    for (const auto& [key, value] : kGood)
        EXPECT_EQ(stored(key).userType(), value.userType()) << key;
    EXPECT_EQ(stored("frmRecordsetWindowState").toInt(), 0);
    EXPECT_EQ(stored("rtfBackColor").toInt(), kWindowBackground);
    EXPECT_EQ(stored("rtfTextSize").value<PropertyBag::Currency>().tenThousandths, 120000);
    EXPECT_EQ(stored("rtfTextName").toString(), QStringLiteral("Verdana"));
}

TEST_F(EditorSettingsTest, StoredSettingsComeBackAndGoOutUnchangedAndMaximisedIsKept) {
    saveBagFile(file(), goodBag());
    frmRecordset* e = load();
    EXPECT_EQ(e->geometry(), QRect(30, 20, 600, 400));
    Forms::get<VantrelMDI>()->show();
    Forms::show(e); // the open workspace takes it in where it stood
    EXPECT_EQ(e->geometry(), QRect(30, 20, 600, 400));
    EXPECT_EQ(e->Rtf->font().pointSizeF(), 14.5);
    EXPECT_TRUE(e->Rtf->font().bold());
    EXPECT_TRUE(e->Rtf->font().underline());
    EXPECT_EQ(e->Rtf->palette().color(QPalette::Base), QColor(0x00, 0x80, 0xFF));
    EXPECT_EQ(e->frmRecordsetCD.FontSize, 14.5);
    EXPECT_TRUE(e->frmRecordsetCD.FontBold);
    close();
    EXPECT_EQ(loadBagFile(file()).Contents(), goodBag().Contents());

    // Maximised comes back maximised, with the normal size kept; minimised comes back normal.
    e = load();
    Forms::show(e);
    e->showMaximized();
    close();
    EXPECT_EQ(stored("frmRecordsetWindowState").toInt(), 2);
    EXPECT_EQ(stored("frmRecordsetWidth").toFloat(), 9000.0f);
    // Files of earlier versions hold the state as a 32-bit integer: read as they are.
    PropertyBag older = loadBagFile(file());
    older.WriteProperty(QStringLiteral("frmRecordsetWindowState"), QVariant::fromValue<qint32>(2));
    saveBagFile(file(), older);
    e = load();
    Forms::show(e);
    EXPECT_TRUE(e->isMaximized());
    e->showMinimized();
    close();
    EXPECT_EQ(stored("frmRecordsetWindowState").toInt(), 0);
}

TEST_F(EditorSettingsTest, DamagedValuesAreSkippedAndTheirPropertiesKeepTheirValues) {
    PropertyBag bag = goodBag();
    bag.WriteProperty(QStringLiteral("frmRecordsetWidth"), std::numeric_limits<float>::quiet_NaN());
    bag.WriteProperty(QStringLiteral("frmRecordsetHeight"), 0.0f);
    bag.WriteProperty(QStringLiteral("frmRecordsetTop"), std::numeric_limits<float>::infinity());
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
