#include "book_fixture.h"
#include "phonebook/frm_options.h"

#include <QMenu>
#include <QToolBar>

using namespace pb;
using namespace pbtest;

namespace {

struct Row {
    int position;
    const char* key; // "" for a placeholder or separator
    const char* tip;
    bool checkable;
    bool visible;
    std::vector<std::pair<const char*, const char*>> items; // drop-down caption, key
};

const std::vector<Row> kToolbar1 = {
    {1, "NewRecord", "New Record", false, true, {}},
    {2, "Open", "Open", false, true, {}},
    {3,
     "SaveRecord",
     "Save Changes",
     false,
     true,
     {{"Save Changes", "Save"},
      {"Save DataBase As...", "SaveDBas"},
      {"-", "l0"},
      {"Save DataBase As Text", "SaveText"},
      {"Save DataBase As Html", "SaveHtml"}}},
    {5, "Preview", "Preview in WebSurfer", false, true, {}},
    {6, "OpenData", "Open DataBase", false, false, {}},
    {7, "FindRecord", "Find ", false, true, {}},
    {9, "CopyRecord", "Copy Record", false, true, {}},
    {10, "CutRecord", "Cut Record", false, true, {}},
    {11, "PasteRecord", "Paste Record", false, true, {}},
    {13, "PrintRecord", "Print Otpions", false, true, {}},
    {15, "", "", false, false, {}},
    {16, "Lock", "Lock/Unlock", true, true, {}},
};

const std::vector<Row> kToolbar2 = {
    {1, "PreviousRecord", "Previous (Shift+LeftArrow)", false, true, {}},
    {3, "EndRecord", "End (Shift+UpArrow)", false, true, {}},
    {4, "BeginingRecord", "Begining (Shift+DownArrow)", false, true, {}},
    {6, "NextRecord", "Next (Shift+RightArrow)", false, true, {}},
    {8,
     "Insert",
     "Insert a Record",
     false,
     true,
     {{"Insert Sorted", "InsertSorted"},
      {"-", "l1"},
      {"Insert Before", "InsertBefore"},
      {"Insert After", "InsertAfter"},
      {"Insert at Begining", "InsertBegining"},
      {"Insert at End", "InsertEnd"}}},
    {10,
     "Write",
     "Write Mail to Contact",
     false,
     true,
     {{"Send Mail to Contact", "SendMail"},
      {"Send Info about Contact", "SendInfo"},
      {"Send all Records", "SendAll"}}},
    {11, "Send", "Send Now", false, true, {}},
    {13, "NotePapers", "NotePapers", false, true, {}},
    {14, "Options", "Options", false, true, {}},
};

void checkBar(Data* d, QToolBar* bar, const std::vector<Row>& rows, int count) {
    EXPECT_EQ(bar->actions().size(), count) << bar->objectName().toStdString();
    for (const Row& r : rows) {
        QAction* a = d->toolbarButton(bar, r.position);
        ASSERT_NE(a, nullptr) << r.position;
        const std::string where = bar->objectName().toStdString() + " " + std::to_string(r.position);
        EXPECT_EQ(a->data().toString(), QString::fromLatin1(r.key)) << where;
        EXPECT_EQ(a->toolTip(), QString::fromLatin1(r.tip)) << where;
        EXPECT_EQ(a->isCheckable(), r.checkable) << where;
        EXPECT_EQ(a->isVisible(), r.visible) << where;
        if (r.items.empty()) {
            EXPECT_EQ(a->menu(), nullptr) << where;
            continue;
        }
        ASSERT_NE(a->menu(), nullptr) << where;
        const QList<QAction*> items = a->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(r.items.size())) << where;
        for (std::size_t i = 0; i < r.items.size(); ++i) {
            const QString caption = QString::fromLatin1(r.items[i].first);
            if (caption == QLatin1String("-")) {
                EXPECT_TRUE(items[i]->isSeparator()) << where << " item " << i;
                continue;
            }
            EXPECT_EQ(items[i]->text(), caption) << where;
            EXPECT_EQ(items[i]->data().toString(), QString::fromLatin1(r.items[i].second)) << where;
        }
    }
}

} // namespace

class ToolbarTest : public BookFixture {};

TEST_F(ToolbarTest, BothToolbarsHoldTheirButtonsInOrder) {
    open({{"Ann", "Lee"}});
    checkBar(d, d->Toolbar1, kToolbar1, 16);
    checkBar(d, d->Toolbar2, kToolbar2, 14);
}

TEST_F(ToolbarTest, TheOptionsButtonOpensTheOptionsDialogOnce) {
    open({{"Ann", "Lee"}});
    m().PlaySoundEffect = true;
    QAction* options = d->toolbarButton(d->Toolbar2, 14);
    ASSERT_TRUE(options->isEnabled());
    options->trigger();
    frmOptions* o = Forms::find<frmOptions>();
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->isVisible());
    d->Toolbar2_ButtonClick(QStringLiteral("Options"));
    EXPECT_EQ(Forms::find<frmOptions>(), o);
    EXPECT_EQ(sounds->played, (std::vector<int>{113, 102, 113, 102}));
    // The phone book window's unload takes the dialog with it.
    Forms::unload(d);
    EXPECT_EQ(Forms::find<frmOptions>(), nullptr);
}
