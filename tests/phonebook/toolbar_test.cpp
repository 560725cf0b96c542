#include "book_fixture.h"
#include "phonebook/frm_options.h"

#include <QMenu>
#include <QToolBar>

using namespace pb;
using namespace pbtest;

namespace {

// A button as "key: tip", flagged when checkable or hidden, with its drop-down as "caption=key" items.
std::string describe(const QAction* a) {
    QString s = a->data().toString() + QStringLiteral(": ") + a->toolTip();
    if (a->isCheckable()) s += QStringLiteral(" (checkable)");
    if (!a->isVisible()) s += QStringLiteral(" (hidden)");
    if (a->menu()) {
        QStringList items;
        for (const QAction* i : a->menu()->actions())
            items << (i->isSeparator() ? QStringLiteral("-") : i->text() + u'=' + i->data().toString());
        s += QStringLiteral(" [") + items.join(QStringLiteral(", ")) + u']';
    }
    return s.toStdString();
}

} // namespace

class ToolbarTest : public BookFixture {};

TEST_F(ToolbarTest, BothToolbarsHoldTheirButtonsInOrder) {
    open({{"Ann", "Lee"}});
    EXPECT_EQ(d->Toolbar1->actions().size(), 16);
    EXPECT_EQ(d->Toolbar2->actions().size(), 14);
    const std::vector<std::tuple<QToolBar*, int, std::string>> buttons = {
        {d->Toolbar1, 1, "NewRecord: New Record"},
        {d->Toolbar1, 2, "Open: Open"},
        {d->Toolbar1, 3,
         "SaveRecord: Save Changes [Save Changes=Save, Save DataBase As...=SaveDBas, -, "
         "Save DataBase As Text=SaveText, Save DataBase As Html=SaveHtml]"},
        {d->Toolbar1, 5, "Preview: Preview in WebSurfer"},
        {d->Toolbar1, 6, "OpenData: Open DataBase (hidden)"},
        {d->Toolbar1, 7, "FindRecord: Find "},
        {d->Toolbar1, 9, "CopyRecord: Copy Record"},
        {d->Toolbar1, 10, "CutRecord: Cut Record"},
        {d->Toolbar1, 11, "PasteRecord: Paste Record"},
        {d->Toolbar1, 13, "PrintRecord: Print Otpions"},
        {d->Toolbar1, 15, ":  (hidden)"},
        {d->Toolbar1, 16, "Lock: Lock/Unlock (checkable)"},
        {d->Toolbar2, 1, "PreviousRecord: Previous (Shift+LeftArrow)"},
        {d->Toolbar2, 3, "EndRecord: End (Shift+UpArrow)"},
        {d->Toolbar2, 4, "BeginingRecord: Begining (Shift+DownArrow)"},
        {d->Toolbar2, 6, "NextRecord: Next (Shift+RightArrow)"},
        {d->Toolbar2, 8,
         "Insert: Insert a Record [Insert Sorted=InsertSorted, -, Insert Before=InsertBefore, "
         "Insert After=InsertAfter, Insert at Begining=InsertBegining, Insert at End=InsertEnd]"},
        {d->Toolbar2, 10,
         "Write: Write Mail to Contact [Send Mail to Contact=SendMail, Send Info about Contact=SendInfo, "
         "Send all Records=SendAll]"},
        {d->Toolbar2, 11, "Send: Send Now"},
        {d->Toolbar2, 13, "NotePapers: NotePapers"},
        {d->Toolbar2, 14, "Options: Options"},
    };
    for (const auto& [bar, position, expected] : buttons) {
        const QAction* a = d->toolbarButton(bar, position);
        ASSERT_NE(a, nullptr) << position;
        EXPECT_EQ(describe(a), expected) << bar->objectName().toStdString() << ' ' << position;
    }
}

TEST_F(ToolbarTest, TheOptionsButtonOpensTheOptionsDialogOnce) {
    open({{"Ann", "Lee"}});
    m().PlaySoundEffect = true;
    d->toolbarButton(d->Toolbar2, 14)->trigger();
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
