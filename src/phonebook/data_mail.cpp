// The phone book window's mail panel: the shown contact or the whole book as a
// message, handed to the user's mail program.
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/codepage.h"
#include "platform/mail.h"
#include "platform/prompts.h"
#include "platform/vb_convert.h"
#include "workspace/error_steps.h"
#include "workspace/module_services.h"
#include "workspace/text_job.h"
#include "workspace/window_roles.h"

#include <optional>

namespace pb {

QString Data::RecordSummaryText() const {
    const ModulePhoneBook& m = pbm();
    // The boxes as they stand, edits not yet saved included: this is what the user sees.
    QString text = QStringLiteral("  (") + convert::signPlace(m.current) + QLatin1Char(')');
    for (int i = 0; i < 7; ++i)
        text += QStringLiteral("\r\n") + m.Label[i] + QStringLiteral(": ") + txtInfo[i]->text();
    return text;
}

void Data::mnuMailTo_Click() {
    txtForMail[0]->setText(txtInfo[0]->text() + QLatin1Char(' ') + txtInfo[1]->text());
    txtForMail[1]->setText(txtInfo[3]->text());
}

void Data::mnuInfoAbout_Click() {
    txtForMail[3]->raise();
    txtForMail[3]->setText(RecordSummaryText());
}

void Data::mnuSendAllRecords_Click() {
    // A build that failed has been reported; no part of a book goes out as the whole of it.
    if (!StartWriteText()) return;
    const QString text = codepage::decode(TextBuffer());
    std::optional<int> answer;
    Steps step([&](const VbError& e) {
        const int a = MsgBox(e.description(), mb::AbortRetryIgnore | mb::Critical,
                             QStringLiteral("ERROR") + QString::number(e.number()) + QLatin1Char(' ') +
                                 e.description());
        answer = a == mb::Retry || a == mb::Ignore ? a : mb::Abort;
        pbm().LastErrorAnswer = QString::number(*answer);
        return ErrorAnswer::Abort;
    });
    step([&] {
        txtForMail[3]->raise();
        txtForMail[3]->setText(text);
        // The box holds the whole book; the user learns now, not at Send, that it cannot go as one mail.
        checkMailLength({txtInfo[3]->text(), txtForMail[0]->text(), txtForMail[2]->text(), text});
    });
    if (!answer || *answer == mb::Abort) return;
    if (*answer == mb::Retry) {
        ShowForm(QStringLiteral("frmEditor"));
        Steps(OnError::Ignore)([&] {
            TextViewer& editor = windowAs<TextViewer>(QStringLiteral("frmEditor"));
            editor.replaceDocument(text); // Undo in the editor brings its own text back
            editor.refreshDocument();
        });
    }
    SendMapiMail(txtInfo[3]->text(), txtForMail[0]->text(), txtForMail[2]->text(), text);
}

void Data::SendMapiMail(const QString& address, const QString& displayName, const QString& subject,
                        const QString& noteText) {
    // Asking again could not help: the address, or a name or subject holding a line break (which
    // would let the book's text add a header of its own), must be corrected first.
    const MailMessage message{address, displayName, subject, noteText};
    QString why = recipientProblem(address);
    if (why.isEmpty()) why = headerProblem(message);
    if (!why.isEmpty()) {
        MsgBox(why, mb::OKOnly | mb::Exclamation, QStringLiteral("Mail"));
        return;
    }
    // The mail program shows the message filled in; sending it is the user's step there.
    // A failure says why: no mail program, a message too long, an address refused.
    Steps step(describedErrorDialog);
    step([&] { mailer().send(message); });
}

void Data::sendPanel() {
    // The address is the record's own, never the panel's address box.
    SendMapiMail(txtInfo[3]->text(), txtForMail[0]->text(), txtForMail[2]->text(), txtForMail[3]->text());
}

void Data::mnuPrint_Click() {
    ShowForm(QStringLiteral("frmPrint"));
}

} // namespace pb
