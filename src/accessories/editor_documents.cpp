// The text editor's document commands: New, Open, Save As, Print and Send.
#include "accessories/frm_recordset.h"
#include "data/module_phonebook.h"
#include "platform/mail.h"
#include "platform/print_output.h"
#include "platform/printer.h"
#include "platform/prompts.h"
#include "workspace/module_services.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

namespace pb {

Steps frmRecordset::editorTrap(bool cancelSilent) {
    return Steps([cancelSilent](const VbError& e) {
        if (cancelSilent && e.number() == err::Cancelled) return ErrorAnswer::Abort;
        const int a =
            MsgBox(e.description(), mb::AbortRetryIgnore | mb::Critical, QString::number(e.number()));
        const int answer = a == mb::Retry || a == mb::Ignore ? a : mb::Abort;
        pbm().LastErrorAnswer = QString::number(answer);
        return answer == mb::Retry    ? ErrorAnswer::Retry
               : answer == mb::Ignore ? ErrorAnswer::Ignore
                                      : ErrorAnswer::Abort;
    });
}

void frmRecordset::mnuNew_Click() {
    const int a =
        MsgBox(QStringLiteral("Save Document?"), mb::YesNoCancel | mb::Question, QStringLiteral("Save"));
    if (a == mb::Yes)
        mnuSaveAs_Click();
    else if (a == mb::No)
        Rtf->replaceAll(QString()); // an edit like any other: Undo takes it back
}

void frmRecordset::mnuOpen_Click() {
    Steps step = editorTrap(true);
    CommonDialog& d = frmRecordsetCD;
    if (!step([&] {
            d.DialogTitle = QStringLiteral("Open");
            d.FileName.clear();
            d.Filter =
                QStringLiteral("Text(txt, rtf, wri, log, doc, java) |*.txt;*.doc;*.log; *.rtf; *.wri; *.java;"
                               "|All Files|*.*");
            d.ShowOpen();
        }))
        return;
    if (!d.Accepted) return;
    step([&] { Rtf->LoadFile(d.FileName); });
    step([&] {
        Rtf->refresh();
        d.FileName.clear();
    });
}

void frmRecordset::mnuSaveAs_Click() {
    Steps step = editorTrap(true);
    CommonDialog& d = frmRecordsetCD;
    QString name;
    do {
        if (!step([&] {
                d.ShowSaveAs(QStringLiteral("Save As"), QStringLiteral("txt"),
                             QStringLiteral("Text |*.txt; *.rtf; *.doc"));
            }))
            return;
        if (!d.Accepted) return;
        name = d.FileName;
        if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".txt");
    } while (refusedTarget(name, d.DialogTitle));
    step([&] { Rtf->SaveFile(name); });
    d.FileName.clear();
}

void frmRecordset::mnuPrint_Click() {
    printFrom(*Rtf);
}

std::unique_ptr<RichTextBox> frmRecordset::scratchBox() const {
    auto box = std::make_unique<RichTextBox>();
    box->setFont(Rtf->font());
    box->document()->setDefaultFont(Rtf->document()->defaultFont());
    box->document()->setDocumentMargin(Rtf->document()->documentMargin());
    box->document()->setDefaultTextOption(Rtf->document()->defaultTextOption());
    return box;
}

void frmRecordset::printText(const QString& text) {
    const std::unique_ptr<RichTextBox> box = scratchBox();
    box->setPlainText(text);
    printFrom(*box);
}

void frmRecordset::printFile(const QString& path) {
    const std::unique_ptr<RichTextBox> box = scratchBox();
    bool loaded = false;
    editorTrap(true)([&] {
        box->LoadCodePageText(path);
        loaded = true;
    });
    // A file that could not be read is not printed as an empty page.
    if (loaded) printFrom(*box);
}

void frmRecordset::printFrom(const RichTextBox& box) {
    Steps step = editorTrap(true);
    CommonDialog& d = frmRecordsetCD;
    step([&] {
        PrinterFont& pf = printerFont();
        pf.bold = d.FontBold;
        pf.italic = d.FontItalic;
        pf.name = d.FontName;
        pf.size = d.FontSize;
        pf.strikethru = d.FontStrikethru;
        pf.underline = d.FontUnderline;
        pf.color = d.Color;
    });
    if (!step([&] {
            d.DialogTitle = QStringLiteral("Print");
            d.CancelError = true;
            d.Flags = 264 + (box.selLength() == 0 ? 0 : 1);
            d.ShowPrinter();
        }))
        return;
    if (printsToRefusedFile(programPrinter(), d.DialogTitle)) return;
    step([&] {
        // The selection when there is one, else the whole text; the range picked in the dialog is not read.
        const int start = box.selStart();
        const int length = box.selLength();
        if (length == 0) return printOutput().print(*box.document());
        std::unique_ptr<QTextDocument> doc(box.document()->clone());
        QTextCursor c(doc.get());
        c.setPosition(start + length);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        c.setPosition(0);
        c.setPosition(start, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        printOutput().print(*doc);
    });
}

void frmRecordset::mnuSend_Click() {
    const QString address = InputBox(QStringLiteral("Enter recipient mail"), QStringLiteral("To:"));
    const QString name = InputBox(QStringLiteral("Enter recipient full name"), QStringLiteral("name:"));
    const QString subject = InputBox(QStringLiteral("Enter subject"), QStringLiteral("subject:"));
    QString body = Rtf->toPlainText();
    body.remove(QChar::ObjectReplacementCharacter);
    SendMailMessage(address, name, subject, body);
}

void frmRecordset::SendMailMessage(const QString& address, const QString& displayName, const QString& subject,
                                   const QString& noteText) {
    // Asking again could not help: the address must be typed again.
    if (const QString why = recipientProblem(address); !why.isEmpty()) {
        MsgBox(why, mb::OKOnly | mb::Exclamation, QStringLiteral("TextEditor"));
        return;
    }
    // The mail program shows the mail filled in; sending it is the user's step there.
    const MailMessage message{address, displayName, subject, noteText};
    editorTrap(false)([&] { mailer().send(message); });
}

} // namespace pb
