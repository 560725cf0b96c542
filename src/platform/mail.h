#pragma once

#include <QString>

namespace pb {

// One mail for the desktop's mail program to show, filled in, for the user to send.
struct MailMessage {
    QString address;
    QString displayName;
    QString subject;
    QString body;
};

// Hands a mail to the desktop's mail program. Whether the user then sends it
// cannot be known here; a handover that fails raises a VbError.
class Mailer {
public:
    virtual ~Mailer() = default;
    virtual void send(const MailMessage& message) = 0;
};

Mailer& mailer();
// Installs another mailer (tests); nullptr restores the real one.
void setMailer(Mailer* replacement);

// The longest "mailto:" address the desktop's opener takes as one argument.
constexpr qsizetype kMailtoLimit = 100 * 1024;
// The mail as a "mailto:" address: every part percent-encoded, so no text of the
// user's can add a recipient, a header or an attachment (only the address keeps its "@").
QString mailtoAddress(const MailMessage& message);
// Raises the error the hand-over gives when the message is too long for it; it is
// never shortened.
void checkMailLength(const MailMessage& message);
// A mail goes to one recipient. Empty when the address can be read only as one; else
// why not, for the user: a mail program decodes the address and would take a comma,
// a semicolon, an angle bracket or a blank inside it as the start of another.
QString recipientProblem(const QString& address);
// Empty when the name and the subject can each go as one mail header line; else why
// not, for the user: a mail program would take a line break there as the start of a
// header of the sender's choosing. The body keeps its lines.
QString headerProblem(const MailMessage& message);

namespace err {
constexpr int MailFailed = 32002;
}

} // namespace pb
