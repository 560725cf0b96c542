#include "platform/common_dialog.h"
#include "platform/picture_file.h"
#include "platform/prompts.h"
#include "platform/vb_error.h"
#include "scripted_prompts.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
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

TEST(Pictures, AreReadByWhatTheFileHoldsNotByItsName) {
    QTemporaryDir dir;
    QImage img(5, 3, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString dib = dir.filePath(QStringLiteral("x.dib"));
    const QString jpg = dir.filePath(QStringLiteral("y.jpg"));
    ASSERT_TRUE(img.save(dib, "BMP"));
    ASSERT_TRUE(img.save(jpg, "PNG"));
    for (const QString& file : {dib, jpg}) {
        const QImage read = readPicture(file);
        EXPECT_EQ(read.size(), QSize(5, 3)) << file.toStdString();
        EXPECT_EQ(read.pixelColor(2, 1), QColor(Qt::red)) << file.toStdString();
    }

    const auto errorOf = [](const QString& file) {
        try {
            readPicture(file);
        } catch (const VbError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf(dir.filePath(QStringLiteral("gone.bmp"))), err::FileNotFound);
    QFile text(dir.filePath(QStringLiteral("notes.bmp")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("BM but no bitmap at all");
    text.close();
    EXPECT_EQ(errorOf(text.fileName()), err::InvalidPicture);
}

TEST(MessageBoxes, AreAtLeastAsWideAsTheirTitle) {
    const QString title = QStringLiteral("Can't Move Back... a title far longer than its text");
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(MsgBox(QStringLiteral("Short."), mb::Information, title), mb::OK);
    // The title bar holds the title and, beside it, the icon and three buttons.
    EXPECT_GT(width, QFontMetrics(QApplication::font()).horizontalAdvance(title) + 100);
}
