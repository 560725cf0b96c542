#include "error_of.h"
#include "hostile_pictures.h"
#include "platform/common_dialog.h"
#include "platform/font_dialog.h"
#include "platform/picture_file.h"
#include "platform/prompts.h"
#include "platform/vb_error.h"
#include "records.h"
#include "scripted_prompts.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QFontDialog>
#include <QImage>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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

    const QString text = dir.filePath(QStringLiteral("notes.bmp"));
    pbtest::writeFile(text, "BM but no bitmap at all");
    EXPECT_EQ(pbtest::errorOf([&] { readPicture(dir.filePath(QStringLiteral("gone.bmp"))); }),
              err::FileNotFound);
    EXPECT_EQ(pbtest::errorOf([&] { readPicture(text); }), err::InvalidPicture);
}

TEST(Pictures, StandAsTheCameraHeldThemWholeScaledOrInPart) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("photo.jpg"));
    const QByteArray photo = pbtest::hostile::photoJpeg(64, 48, {});
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QByteArray bytes = pbtest::hostile::withOrientation(photo, orientation);
        pbtest::writeFile(file, bytes);
        // Qt's own reader turning the same photo.
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        const QImage upright = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(upright.isNull());
        EXPECT_EQ(readPicture(file), upright) << orientation;
        EXPECT_EQ(readPicture(file, {picture_wire::Fit::TopLeft, QSize(40, 30)}), upright.copy(0, 0, 40, 30))
            << orientation;
        EXPECT_EQ(readPicture(file, PictureView::within(QSize(32, 32))).size(),
                  upright.size().scaled(32, 32, Qt::KeepAspectRatio))
            << orientation;
    }
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

TEST(FontDialog, CarriesFontAndColourBothWaysAndKeepsAMissingFamilysName) {
    pbtest::ScriptedPrompts prompts;
    CommonDialog d;
    d.FontName = QStringLiteral("No Such Family Here");
    d.FontSize = 14;
    d.FontBold = true;
    d.FontUnderline = true;
    d.Color = 0x0000FF;
    d.Flags = 259;
    FontColorDialog dialog;
    dialog.setFrom(d);
    EXPECT_EQ(dialog.color(), 0x0000FF);
    EXPECT_EQ(dialog.colourList()->currentText(), QStringLiteral("Red"));

    CommonDialog out = d;
    out.FontName.clear();
    dialog.storeInto(out);
    EXPECT_EQ(out.FontName, QStringLiteral("No Such Family Here"));
    EXPECT_TRUE(out.FontSize == 14 && out.FontBold && out.FontUnderline && out.Color == 0x0000FF);

    // "Other..." asks the colour dialog; its cancel keeps the colour, its choice is listed.
    const int other = dialog.colourList()->count() - 1;
    prompts.expectCancel(Prompts::DialogKind::Color);
    dialog.colourList()->activated(other);
    EXPECT_EQ(dialog.color(), 0x0000FF);
    EXPECT_EQ(dialog.colourList()->currentText(), QStringLiteral("Red"));
    prompts.expectDialog(Prompts::DialogKind::Color, [](CommonDialog& c) {
        EXPECT_EQ(c.Color, 0x0000FF);
        c.Color = 0x123456;
        return true;
    });
    dialog.colourList()->activated(other);
    EXPECT_EQ(dialog.color(), 0x123456);
    EXPECT_EQ(dialog.colourList()->currentData().toInt(), 0x123456);
    dialog.colourList()->activated(0); // Black
    EXPECT_EQ(dialog.color(), 0);

    // Without effects neither colour nor underline is offered or changed.
    d.Flags = 3;
    dialog.setFrom(d);
    EXPECT_TRUE(dialog.colourList()->isHidden());
    CommonDialog plain = d;
    plain.Color = 0x00FF00;
    plain.FontUnderline = false;
    dialog.storeInto(plain);
    EXPECT_EQ(plain.Color, 0x00FF00);
    EXPECT_FALSE(plain.FontUnderline);

    // Escape in the font lists cancels the whole dialog, never leaves it open and empty.
    dialog.show();
    auto* chooser = dialog.findChild<QFontDialog*>();
    ASSERT_NE(chooser, nullptr);
    QTest::keyClick(chooser, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(InputBox, TellsACancelFromAnEmptyAnswer) {
    pbtest::ScriptedPrompts prompts;
    prompts.expectInput(QStringLiteral("a"), QStringLiteral("t"), QString());
    prompts.expectInputCancel(QStringLiteral("b"), QStringLiteral("t"));
    const std::optional<QString> empty = InputBoxOrCancel(QStringLiteral("a"), QStringLiteral("t"));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_FALSE(InputBoxOrCancel(QStringLiteral("b"), QStringLiteral("t")).has_value());
}
