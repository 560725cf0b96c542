#pragma once

#include "platform/mail.h"
#include "platform/print_output.h"
#include "platform/vb_error.h"

#include <QTextDocument>
#include <vector>

namespace pbtest {

// Records what would have been printed: the text of each document and its pages.
class RecordingPrinter : public pb::PrintOutput {
public:
    RecordingPrinter() { pb::setPrintOutput(this); }
    ~RecordingPrinter() override { pb::setPrintOutput(nullptr); }
    void print(const QTextDocument& doc) override {
        if (fail) throw pb::VbError(pb::err::PrinterError, QStringLiteral("Printer error"));
        printed.push_back(doc.toPlainText());
        pages.push_back(doc.pageCount());
        fonts.push_back(doc.defaultFont());
    }
    std::vector<QString> printed;
    std::vector<int> pages;
    std::vector<QFont> fonts;
    bool fail = false;
};

// Records the mails that would have been handed to the mail program.
class RecordingMailer : public pb::Mailer {
public:
    RecordingMailer() { pb::setMailer(this); }
    ~RecordingMailer() override { pb::setMailer(nullptr); }
    void send(const pb::MailMessage& message) override {
        if (failures > 0) {
            --failures;
            throw pb::VbError(pb::err::MailFailed, QStringLiteral("No mail program took the message."));
        }
        sent.push_back(message);
    }
    std::vector<pb::MailMessage> sent;
    int failures = 0; // the next hand-overs that fail
};

} // namespace pbtest
