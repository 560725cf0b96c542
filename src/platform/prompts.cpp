#include "platform/prompts.h"

#include "platform/common_dialog.h"
#include "platform/font_dialog.h"
#include "platform/printer.h"
#include "platform/units.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace pb {

namespace {

// A message box sizes itself to its text and buttons; a short text under a long
// title would leave the window manager to cut the title. The title bar's font is
// the desktop's, so this reckons with a bolder, larger font and the bar's buttons.
void keepTitleWhole(QMessageBox& box, const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    const int width = QFontMetrics(font).horizontalAdvance(title) * 6 / 5 + 120;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
}

// The title, the text and the icon of the style.
void dress(QMessageBox& box, const QString& prompt, int style, const QString& title) {
    box.setWindowTitle(title);
    box.setText(prompt);
    switch (style & 0x70) {
    case mb::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case mb::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case mb::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case mb::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
}

class WidgetPrompts final : public Prompts {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override {
        QMessageBox box(QApplication::activeWindow());
        dress(box, prompt, style, title);
        struct Choice {
            QMessageBox::StandardButton button;
            int answer;
        };
        std::vector<Choice> choices;
        switch (style & 0x7) {
        case mb::OKCancel:
            choices = {{QMessageBox::Ok, mb::OK}, {QMessageBox::Cancel, mb::Cancel}};
            break;
        case mb::AbortRetryIgnore:
            choices = {{QMessageBox::Abort, mb::Abort},
                       {QMessageBox::Retry, mb::Retry},
                       {QMessageBox::Ignore, mb::Ignore}};
            break;
        case mb::YesNoCancel:
            choices = {
                {QMessageBox::Yes, mb::Yes}, {QMessageBox::No, mb::No}, {QMessageBox::Cancel, mb::Cancel}};
            break;
        case mb::YesNo:
            choices = {{QMessageBox::Yes, mb::Yes}, {QMessageBox::No, mb::No}};
            break;
        case mb::RetryCancel:
            choices = {{QMessageBox::Retry, mb::Retry}, {QMessageBox::Cancel, mb::Cancel}};
            break;
        default:
            choices = {{QMessageBox::Ok, mb::OK}};
            break;
        }
        for (const Choice& c : choices)
            box.addButton(c.button);
        const std::size_t def = static_cast<std::size_t>((style >> 8) & 0x3);
        box.setDefaultButton(choices[def < choices.size() ? def : 0].button);
        if (choices.size() == 1 || (style & 0x7) == mb::OKCancel || (style & 0x7) == mb::YesNoCancel ||
            (style & 0x7) == mb::RetryCancel)
            box.setEscapeButton(choices.back().button);
        keepTitleWhole(box, title);
        box.exec();
        const auto clicked = box.standardButton(box.clickedButton());
        for (const Choice& c : choices)
            if (c.button == clicked) return c.answer;
        return choices.back().answer;
    }

    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override {
        bool ok = false;
        const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                                   QLineEdit::Normal, defaultText, &ok);
        if (!ok) return std::nullopt;
        return text;
    }

    bool commonDialog(CommonDialog& d, DialogKind kind) override {
        QWidget* parent = QApplication::activeWindow();
        switch (kind) {
        case DialogKind::Open:
        case DialogKind::Save: {
            QFileDialog dialog(parent, d.DialogTitle, d.FileName.isEmpty() ? d.InitDir : d.FileName,
                               CommonDialog::qtFilter(d.Filter));
            dialog.selectNameFilter(d.qtSelectedFilter());
            if (kind == DialogKind::Save) {
                dialog.setAcceptMode(QFileDialog::AcceptSave);
                // The extension goes on before the dialog asks about replacing a file,
                // so the question is asked about the file that will be written.
                dialog.setDefaultSuffix(d.DefaultExt);
            } else {
                dialog.setFileMode(QFileDialog::ExistingFile);
            }
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
            d.FileName = dialog.selectedFiles().first();
            return true;
        }
        case DialogKind::Color: {
            const QColor c = QColorDialog::getColor(colourFromStored(d.Color), parent);
            if (!c.isValid()) return false;
            d.Color = colourToStored(c);
            return true;
        }
        case DialogKind::Font: {
            FontColorDialog dialog(parent);
            dialog.setFrom(d);
            if (dialog.exec() != QDialog::Accepted) return false;
            dialog.storeInto(d);
            return true;
        }
        case DialogKind::Print: {
            // Flag 1 offers the selection and picks it; the range chosen is the printer's business.
            QPrintDialog dialog(&programPrinter(), parent);
            if (!d.DialogTitle.isEmpty()) dialog.setWindowTitle(d.DialogTitle);
            dialog.setOption(QAbstractPrintDialog::PrintSelection, (d.Flags & 1) != 0);
            dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
            dialog.setPrintRange((d.Flags & 1) != 0 ? QAbstractPrintDialog::Selection
                                                    : QAbstractPrintDialog::AllPages);
            return dialog.exec() == QDialog::Accepted;
        }
        }
        return false;
    }

    void notice(const QString& prompt, int style, const QString& title) override;
};

} // namespace

void Prompts::showModal(QDialog& dialog) {
    dialog.exec();
}

void Prompts::notice(const QString& prompt, int style, const QString& title) {
    msgBox(prompt, style, title);
}

void WidgetPrompts::notice(const QString& prompt, int style, const QString& title) {
    // One box of a text at a time: leaving the same place again does not stack copies.
    static QPointer<QMessageBox> shown;
    if (shown && shown->text() == prompt && shown->windowTitle() == title) return;
    auto* box = new QMessageBox(QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    dress(*box, prompt, style, title);
    box->addButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    // Space and Return in the window the user types in are not meant for this button.
    box->button(QMessageBox::Ok)->setFocusPolicy(Qt::NoFocus);
    keepTitleWhole(*box, title);
    shown = box;
    box->show();
}

namespace {

Prompts*& current() {
    static Prompts* p = nullptr;
    return p;
}

} // namespace

Prompts& prompts() {
    static WidgetPrompts real;
    return current() ? *current() : real;
}

void setPrompts(Prompts* replacement) {
    current() = replacement;
}

} // namespace pb
