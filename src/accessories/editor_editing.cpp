// The text editor's editing commands: clipboard, find, alignment, fonts,
// colours, pictures, the toolbar and the pressed state of its buttons.
#include "accessories/frm_recordset.h"
#include "platform/picture_file.h"
#include "platform/prompts.h"
#include "platform/units.h"
#include "workspace/help_class.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"
#include "workspace/viewer_pane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace pb {

namespace {

Qt::Alignment alignmentOf(int code) {
    return code == 1 ? Qt::AlignRight : code == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
}

int codeOf(Qt::Alignment a) {
    a &= Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight) return 1;
    if (a & Qt::AlignHCenter) return 2;
    if (a & Qt::AlignJustify) return 3;
    return 0;
}

// What every character of the selection shares; a value it does not share is false.
struct SharedFormat {
    bool bold = true, italic = true, underline = true, strike = true;
};

SharedFormat sharedFormat(const QTextCursor& c) {
    if (!c.hasSelection()) {
        const QTextCharFormat f = c.charFormat();
        return {f.fontWeight() >= QFont::DemiBold, f.fontItalic(), f.fontUnderline(), f.fontStrikeOut()};
    }
    SharedFormat s;
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    QTextBlock block = c.document()->findBlock(start);
    for (; block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.position() + frag.length() <= start || frag.position() >= end) continue;
            const QTextCharFormat f = frag.charFormat();
            s.bold = s.bold && f.fontWeight() >= QFont::DemiBold;
            s.italic = s.italic && f.fontItalic();
            s.underline = s.underline && f.fontUnderline();
            s.strike = s.strike && f.fontStrikeOut();
            // Once nothing is shared, the rest cannot change the answer.
            if (!s.bold && !s.italic && !s.underline && !s.strike) return s;
        }
    }
    return s;
}

} // namespace

void frmRecordset::mnuCopy_Click() {
    Steps(OnError::Ignore)([&] { QApplication::clipboard()->setText(Rtf->selectedPlainText()); });
}

void frmRecordset::mnuCut_Click() {
    Steps step(OnError::Ignore);
    step([&] { QApplication::clipboard()->setText(Rtf->selectedPlainText()); });
    step([&] { Rtf->textCursor().removeSelectedText(); });
}

void frmRecordset::mnuPaste_Click() {
    Steps step(OnError::Ignore);
    step([&] {
        // No text on the clipboard: the selection stays.
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (data && data->hasText()) Rtf->textCursor().insertText(data->text());
    });
    step([&] { Rtf->refresh(); });
}

void frmRecordset::mnuSelect_Click() {
    Steps(OnError::Ignore)([&] { Rtf->setSelection(0, Rtf->document()->characterCount() - 1); });
}

void frmRecordset::mnuClear_Click() {
    Rtf->replaceAll(QString());
}

void frmRecordset::mnuRefresh_Click() {
    Steps step(OnError::Ignore);
    step([&] { Rtf->refresh(); });
    // The frame's viewer pane is hidden, not squeezed to nothing, so later pictures still show.
    step([] {
        if (VantrelMDI* frame = Forms::find<VantrelMDI>()) frame->mnuRefresh_Click();
    });
}

void frmRecordset::mnuFind_Click() {
    Steps step(OnError::LeaveSilently);
    step([&] {
        FindText =
            InputBox(QStringLiteral("Type Text to Find"), QStringLiteral("Find"), Rtf->selectedPlainText());
    });
    step([&] {
        Rtf->setSelection(0, 0);
        const int found = Rtf->findText(FindText, 0);
        if (found < 0)
            MsgBox(QStringLiteral("Cannot Find ") + FindText, mb::Information, QStringLiteral("TextEditor"));
        else
            Rtf->setSelection(found, static_cast<int>(FindText.size()));
        Rtf->setFocus();
    });
}

void frmRecordset::mnuFindNext_Click() {
    if (FindText.isEmpty()) return mnuFind_Click();
    Steps(OnError::LeaveSilently)([&] {
        // One character after the match's start, so overlapping matches are found too; no wrap.
        const int found = Rtf->findText(FindText, Rtf->selStart() + 1);
        if (found < 0)
            MsgBox(QStringLiteral("No more \"") + FindText + QStringLiteral("\" to find"), mb::Exclamation,
                   QStringLiteral("TextEditor"));
        else
            Rtf->setSelection(found, static_cast<int>(FindText.size()));
    });
}

void frmRecordset::mnuInsertImage_Click() {
    Steps step = editorTrap(true);
    CommonDialog& d = frmRecordsetCD;
    if (!step([&] {
            d.DialogTitle = QStringLiteral("Pics");
            d.FileName.clear();
            d.Filter = QStringLiteral("All picture files |*.ico; *.gif; *.jpeg; *.jpg; *.bmp; *.dib; *.gfif;"
                                      "|All Files|*.*");
            d.ShowOpen();
        }))
        return;
    if (!d.Accepted) return;
    QImage image;
    if (!step([&] { image = readPicture(d.FileName); })) return;
    // Straight into the document at the caret: the user's clipboard is left alone.
    step([&] {
        static int pictures = 0;
        const QString name = QStringLiteral("inserted:%1").arg(++pictures);
        const QSize size = image.size();
        Rtf->document()->addResource(QTextDocument::ImageResource, QUrl(name),
                                     shownPicture(std::move(image)));
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(size.width());
        f.setHeight(size.height());
        Rtf->textCursor().insertImage(f);
    });
}

void frmRecordset::setAlignment(int code) {
    Rtf->setAlignment(alignmentOf(code));
    Rtf_SelChange();
}

int frmRecordset::selAlignment() const {
    const QTextCursor c = Rtf->textCursor();
    QTextBlock block = Rtf->document()->findBlock(c.selectionStart());
    const QTextBlock last = Rtf->document()->findBlock(c.selectionEnd());
    const int code = codeOf(block.blockFormat().alignment());
    for (; block.isValid(); block = block.next()) {
        if (codeOf(block.blockFormat().alignment()) != code) return -1;
        if (block == last) break;
    }
    return code;
}

void frmRecordset::mnuRBC_Click() {
    Steps step(OnError::LeaveSilently);
    CommonDialog& d = frmRecordsetCD;
    step([&] {
        d.Flags = 1;
        d.ShowColor();
        if (!d.Accepted) throw VbError(err::Cancelled);
    });
    step([&] {
        QPalette pal = Rtf->palette();
        pal.setColor(QPalette::Base, colourFromStored(d.Color));
        Rtf->setPalette(pal);
        Rtf->setProperty("backColor", d.Color);
    });
}

void frmRecordset::mnuRFont_Click() {
    Steps step(OnError::LeaveSilently);
    CommonDialog& d = frmRecordsetCD;
    step([&] {
        d.Flags = 259;
        d.ShowFont();
        if (!d.Accepted) throw VbError(err::Cancelled);
    });
    step([&] {
        QTextCharFormat colour;
        colour.setForeground(colourFromStored(d.Color));
        Rtf->mergeCurrentCharFormat(colour);
    });
    step([&] {
        QFont font = Rtf->font();
        font.setFamilies({d.FontName});
        font.setFamily(d.FontName);
        if (d.FontSize > 0) font.setPointSizeF(d.FontSize);
        font.setBold(d.FontBold);
        font.setItalic(d.FontItalic);
        font.setUnderline(d.FontUnderline);
        font.setStrikeOut(d.FontStrikethru);
        Rtf->setFont(font);
        Rtf->document()->setDefaultFont(font);
    });
    step([&] { Rtf->refresh(); });
}

void frmRecordset::Rtf_SelChange() {
    Steps step(OnError::Ignore);
    step([&] {
        const SharedFormat s = sharedFormat(Rtf->textCursor());
        const auto press = [&](const char* key, bool on) {
            if (QAction* a = toolbarButton(QString::fromLatin1(key))) a->setChecked(on);
        };
        press("Bold", s.bold);
        press("Italic", s.italic);
        press("Underline", s.underline);
        press("Strike Through", s.strike);
        const int align = selAlignment();
        press("Align Left", align == 0);
        press("Center", align == 2);
        press("Align Right", align == 1);
        press("Justify", false);
    });
}

void frmRecordset::Toolbar1_ButtonClick(const QString& key) {
    Steps step(OnError::Ignore);
    const auto toggle = [&](auto get, auto set) {
        step([&] {
            const bool now = !get(sharedFormat(Rtf->textCursor()));
            QTextCharFormat f;
            set(f, now);
            Rtf->mergeCurrentCharFormat(f);
            Rtf_SelChange();
        });
    };
    const std::function<void()> actions[] = {
        [&] { mnuNew_Click(); },
        [&] { mnuOpen_Click(); },
        [&] { mnuSaveAs_Click(); },
        [&] { mnuPrint_Click(); },
        [&] { mnuSend_Click(); },
        [&] { mnuCut_Click(); },
        [&] { mnuCopy_Click(); },
        [&] { mnuPaste_Click(); },
        [&] { mnuFind_Click(); },
        [&] {
            toggle([](const SharedFormat& s) { return s.bold; },
                   [](QTextCharFormat& f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
        },
        [&] {
            toggle([](const SharedFormat& s) { return s.italic; },
                   [](QTextCharFormat& f, bool on) { f.setFontItalic(on); });
        },
        [&] {
            toggle([](const SharedFormat& s) { return s.underline; },
                   [](QTextCharFormat& f, bool on) { f.setFontUnderline(on); });
        },
        [&] { setAlignment(0); },
        [&] { setAlignment(2); },
        [&] { setAlignment(1); },
        [&] {
            toggle([](const SharedFormat& s) { return s.strike; },
                   [](QTextCharFormat& f, bool on) { f.setFontStrikeOut(on); });
        },
    };
    static const char* const keys[] = {
        "New",  "Open", "Save",   "Print",     "Mail",       "Cut",    "Copy",        "Paste",
        "Find", "Bold", "Italic", "Underline", "Align Left", "Center", "Align Right", "Strike Through"};
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        if (key != QLatin1String(keys[i])) continue;
        step([] { playSound(sound::ToolbarClick); });
        actions[i]();
        return;
    }
    // "Delete", "Justify" and anything else: no sound, no action; the button does not stay pressed.
    Rtf_SelChange();
}

} // namespace pb
