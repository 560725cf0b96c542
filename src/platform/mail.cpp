#include "platform/mail.h"

#include "platform/shell.h"
#include "platform/vb_error.h"

#include <QUrl>
#include <algorithm>

namespace pb {

namespace {

QString encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

// Mail wants CR LF at the end of each line.
QString withMailLineEnds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

class DesktopMailer final : public Mailer {
public:
    void send(const MailMessage& message) override {
        if (const QString why = recipientProblem(message.address); !why.isEmpty())
            throw VbError(err::MailFailed, why);
        if (const QString why = headerProblem(message); !why.isEmpty()) throw VbError(err::MailFailed, why);
        checkMailLength(message);
        const QString url = mailtoAddress(message);
        if (!shell().openUrl(url))
            throw VbError(err::MailFailed,
                          QStringLiteral("No mail program took the message. Nothing was sent."));
    }
};

// C0, DEL, C1 and the Unicode line and paragraph separators: none is text a header line can carry.
bool isControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

bool holdsControl(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), isControl);
}

Mailer*& current() {
    static Mailer* m = nullptr;
    return m;
}

} // namespace

QString mailtoAddress(const MailMessage& m) {
    QString to = encoded(m.address.trimmed(), "@");
    if (!m.displayName.trimmed().isEmpty()) {
        QString name = m.displayName.trimmed();
        name.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        name.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        to = encoded(QLatin1Char('"') + name + QStringLiteral("\" <")) + to + encoded(QStringLiteral(">"));
    }
    return QStringLiteral("mailto:") + to + QStringLiteral("?subject=") + encoded(m.subject) +
           QStringLiteral("&body=") + encoded(withMailLineEnds(m.body));
}

void checkMailLength(const MailMessage& message) {
    // Encoding never shortens a text: one longer than the limit needs no encoding to tell.
    const qsizetype raw =
        message.address.size() + message.displayName.size() + message.subject.size() + message.body.size();
    const qsizetype size = raw > kMailtoLimit ? raw : mailtoAddress(message).size();
    // A shortened mail would go out as if whole: refuse instead.
    if (size > kMailtoLimit)
        throw VbError(err::MailFailed,
                      QStringLiteral("The message is too long to hand to the mail program (%1 KB or more "
                                     "encoded; the limit is %2 KB). Nothing was sent.")
                          .arg(size / 1024)
                          .arg(kMailtoLimit / 1024));
}

QString recipientProblem(const QString& address) {
    const QString trimmed = address.trimmed(); // the blanks around it are not sent
    for (const QChar c : trimmed) {
        const char* what = c == QLatin1Char(',')                            ? "a comma"
                           : c == QLatin1Char(';')                          ? "a semicolon"
                           : c == QLatin1Char('<') || c == QLatin1Char('>') ? "an angle bracket"
                           : c.isSpace()                                    ? "a blank or a line break"
                                                                            : nullptr;
        if (what)
            return QStringLiteral(
                       "The e-mail address\r\n%1\r\nholds %2, so the mail program would read it as "
                       "more than one recipient. A mail goes to one address only. Nothing was sent.")
                .arg(trimmed, QLatin1String(what));
    }
    return {};
}

QString headerProblem(const MailMessage& message) {
    const char* box = holdsControl(message.displayName) ? "recipient's name"
                      : holdsControl(message.subject)   ? "subject"
                                                        : nullptr;
    if (!box) return {};
    return QStringLiteral("The %1 holds a line break, a tab or another control character, which a mail "
                          "header cannot carry. Nothing was handed to the mail program.")
        .arg(QLatin1String(box));
}

Mailer& mailer() {
    static DesktopMailer real;
    return current() ? *current() : real;
}

void setMailer(Mailer* replacement) {
    current() = replacement;
}

} // namespace pb
