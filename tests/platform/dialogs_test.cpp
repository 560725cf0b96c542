#include "platform/common_dialog.h"
#include "platform/vb_error.h"
#include "scripted_prompts.h"

#include <gtest/gtest.h>

using namespace pb;

TEST(CommonDialog, FiltersBecomeQtFilters) {
    EXPECT_EQ(CommonDialog::qtFilter(
                  QStringLiteral("All Files|*.q7b; *.bmp;*.dib|Text Files| *.txt; *.css;|Exe|*.exe")),
              QStringLiteral("All Files (*.q7b *.bmp *.dib);;Text Files (*.txt *.css);;Exe (*.exe)"));
    CommonDialog d;
    d.Filter = QStringLiteral("A|*.a|B|*mp2v");
    d.FilterIndex = 2;
    EXPECT_EQ(d.qtSelectedFilter(), QStringLiteral("B (*mp2v)"));
}

TEST(CommonDialog, ACancelRaisesTheCancelErrorOnlyWhenAskedTo) {
    pbtest::ScriptedPrompts prompts;
    CommonDialog d;
    d.FileName = QStringLiteral("/kept.txt");
    prompts.expectCancel(Prompts::DialogKind::Open);
    d.ShowOpen(); // silent: the dialog keeps its values
    EXPECT_EQ(d.FileName, QStringLiteral("/kept.txt"));

    d.CancelError = true;
    prompts.expectCancel(Prompts::DialogKind::Color);
    try {
        d.ShowColor();
        FAIL() << "no cancel error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::Cancelled);
    }
    prompts.expectFileDialog(QStringLiteral("/tmp/some/Book.q7b"));
    d.ShowOpen();
    EXPECT_EQ(d.FileName, QStringLiteral("/tmp/some/Book.q7b"));
    EXPECT_EQ(d.FileTitle, QStringLiteral("Book.q7b"));
}
