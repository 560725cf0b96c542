#include "accessories/frm_recordset.h"
#include "book_fixture.h"
#include "output_fakes.h"
#include "platform/codepage.h"
#include "workspace/frm_save.h"
#include "workspace/help_class.h"
#include "workspace/text_job.h"

#include <QAction>
#include <QTest>

using namespace pb;
using namespace pbtest;

namespace {

QString lines(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
std::string joined(const QStringList& parts) {
    return parts.join(QStringLiteral(" | ")).toStdString();
}
// A mail handed over, as "address | name | subject | body".
std::string sentAs(const MailMessage& m) {
    return joined({m.address, m.displayName, m.subject, m.body});
}

} // namespace

class MailTest : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        prompts->onModal = [](QDialog& dlg) { static_cast<frmSave&>(dlg).fireArmed(); };
    }
    QString mail(int i) const { return d->txtForMail[i]->text(); }
    // The boxes were edited: the unload asks whether to keep the edit.
    void expectSaveQuestion() {
        prompts->expect(QStringLiteral("Do you want to save changes?"), 36, {}, mb::No);
    }
    static std::vector<Rec> book(int n) { return std::vector<Rec>(n, Rec{"Somebody", "Else", "555 0100"}); }
    RecordingMailer mailer;
};

TEST_F(MailTest, TheSummaryIsTheNumberAndEveryCaptionWithItsBoxAsItStands) {
    open({{"Ann", "Lee", "555 0100", "ann@x.org"}, {"Bob"}, {"Cy"}, {"Di"}, {"Ed", "", "", "", "Acme"}});
    show(5);
    d->txtInfo[1]->setText(QStringLiteral("  Edited "));
    m().Label[2] = QStringLiteral("Tel:");
    EXPECT_EQ(d->RecordSummaryText(), QStringLiteral("  ( 5)\r\nFirst name: Ed\r\nLast name:   Edited \r\n"
                                                     "Tel:: \r\nE-mail: \r\nCompany: Acme\r\nAddress: \r\n"
                                                     "Comments: "));
    // The blank slot: its number and the boxes as the user has them, nothing stored.
    expectSaveQuestion();
    d->MoveLast();
    d->MoveNext();
    ASSERT_EQ(m().current, 6);
    d->txtInfo[6]->setText(QStringLiteral("typed"));
    EXPECT_EQ(d->RecordSummaryText(),
              QStringLiteral("  ( 6)\r\nFirst name: \r\nLast name: \r\nTel:: \r\nE-mail: \r\nCompany: \r\n"
                             "Address: \r\nComments: typed"));
    d->txtInfo[6]->clear();
}

TEST_F(MailTest, WriteFillsItsBoxesOnlyAndSendTakesTheRecordsAddressAndAsksAgainOnAFailure) {
    open({{"Ann", "Lee", "555 0100", "ann@x.org"}, {"Bob"}});
    show(1);
    d->txtForMail[2]->setText(QStringLiteral("My subject"));
    d->txtForMail[3]->setText(QStringLiteral("My message"));
    d->action(QStringLiteral("mnuMailTo"))->trigger();
    EXPECT_EQ(joined({mail(0), mail(1), mail(2), mail(3)}), "Ann Lee | ann@x.org | My subject | My message");

    pbm().PlaySoundEffect = true;
    d->txtInfo[1]->clear(); // untrimmed: the blank stays
    d->Toolbar2_ButtonClick(QStringLiteral("Write"));
    EXPECT_EQ(mail(0), QStringLiteral("Ann "));
    EXPECT_EQ(sounds->played, std::vector<int>{sound::ToolbarClick});

    d->Toolbar2_ButtonMenuClick(QStringLiteral("SendInfo"));
    EXPECT_EQ(mail(3), lines(d->RecordSummaryText()));
    // Shift + arrows in the message select its lines; they move no record there.
    QTest::keyClick(d->txtForMail[3]->editor(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(m().current, 1);
    EXPECT_EQ(mail(0), QStringLiteral("Ann "));
    EXPECT_TRUE(d->action(QStringLiteral("mnuInfoAbout"))->isEnabled());

    // Send takes the record's address and the panel as it stands.
    d->txtForMail[0]->setText(QStringLiteral("Ann & Co"));
    d->txtForMail[1]->setText(QStringLiteral("someone@else.org")); // shown only, never sent to
    d->txtForMail[2]->setText(QStringLiteral("Hello?"));
    d->txtForMail[3]->setText(QStringLiteral("Line one\nLine two"));
    d->Toolbar2_ButtonClick(QStringLiteral("Send"));
    ASSERT_EQ(mailer.sent.size(), 1u);
    EXPECT_EQ(sentAs(mailer.sent[0]), "ann@x.org | Ann & Co | Hello? | Line one\nLine two");
    EXPECT_EQ(mail(3), QStringLiteral("Line one\nLine two")); // the panel is kept

    // A failed hand-over: the error dialog says why; Retry hands it over again.
    mailer.failures = 1;
    prompts->expect(QStringLiteral("No mail program took the message."), mb::AbortRetryIgnore | mb::Critical,
                    {}, mb::Retry);
    d->Toolbar2_ButtonClick(QStringLiteral("Send"));
    EXPECT_TRUE(prompts->shown.back().title.startsWith(QStringLiteral("ERROR32002 No mail program")));
    EXPECT_EQ(m().LastErrorAnswer, QStringLiteral("4"));
    EXPECT_EQ(mailer.sent.size(), 2u);
    mailer.failures = 1;
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    d->Toolbar2_ButtonClick(QStringLiteral("Send"));
    EXPECT_EQ(mailer.sent.size(), 2u);

    // No address in the record: none goes to the mail program, whatever the panel shows.
    d->txtInfo[3]->clear();
    d->Toolbar2_ButtonClick(QStringLiteral("Send"));
    ASSERT_EQ(mailer.sent.size(), 3u);
    EXPECT_TRUE(mailer.sent[2].address.isEmpty());
    expectSaveQuestion();
}

TEST_F(MailTest, AnAddressThatWouldReachMoreThanOneRecipientIsRefusedWithNothingSent) {
    open({{"Ann", "Lee", "555 0100", "a@b.org>,<e@evil.org"}});
    show(1);
    d->txtForMail[0]->setText(QStringLiteral("Ann Lee"));
    prompts->expect({}, mb::OKOnly | mb::Exclamation, QStringLiteral("Mail"), mb::OK);
    d->Toolbar2_ButtonClick(QStringLiteral("Send"));
    ASSERT_FALSE(prompts->shown.empty());
    EXPECT_TRUE(prompts->shown.back().prompt.contains(QStringLiteral("a@b.org>,<e@evil.org")));
    EXPECT_TRUE(mailer.sent.empty());
}

TEST_F(MailTest, ANameOrSubjectAMailHeaderCannotCarryIsRefusedWithNothingSent) {
    // A book's bytes can hold a line break, and the Name box keeps it.
    open({{"Ann Lee\r\nReply-To:", "e@evil.org\r\nX-Note:", "555 0100", "ann@x.org"}});
    show(1);
    d->action(QStringLiteral("mnuMailTo"))->trigger();
    ASSERT_EQ(mail(0), QStringLiteral("Ann Lee\r\nReply-To: e@evil.org\r\nX-Note:"));
    d->txtForMail[2]->setText(QStringLiteral("Hello"));
    const QString inName = QStringLiteral(
        "The recipient's name holds a line break, a tab or another control character, which a mail "
        "header cannot carry. Nothing was handed to the mail program.");
    const QString inSubject = QStringLiteral(
        "The subject holds a line break, a tab or another control character, which a mail header cannot "
        "carry. Nothing was handed to the mail program.");
    prompts->expect(inName, mb::OKOnly | mb::Exclamation, QStringLiteral("Mail"), mb::OK);
    d->Toolbar2_ButtonClick(QStringLiteral("Send"));

    for (const QString& b :
         {QStringLiteral("\r"), QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\t"),
          QString(QChar(0)), QString(QChar(0x85)), QString(QChar(0x2028))}) {
        d->txtForMail[0]->setText(QStringLiteral("Ann") + b + QStringLiteral("Lee"));
        d->txtForMail[2]->setText(QStringLiteral("Hello"));
        prompts->expect(inName, mb::OKOnly | mb::Exclamation, QStringLiteral("Mail"), mb::OK);
        d->Toolbar2_ButtonClick(QStringLiteral("Send"));
        d->txtForMail[0]->setText(QStringLiteral("Ann Lee"));
        d->txtForMail[2]->setText(QStringLiteral("Hello") + b + QStringLiteral("Bcc: e@evil.org"));
        prompts->expect(inSubject, mb::OKOnly | mb::Exclamation, QStringLiteral("Mail"), mb::OK);
        d->Toolbar2_ButtonClick(QStringLiteral("Send"));
    }
    EXPECT_EQ(prompts->shown.size(), 15u);
    EXPECT_TRUE(mailer.sent.empty());

    // An ordinary name with accents goes as it is.
    d->txtForMail[0]->setText(QStringLiteral("Zo\u00eb \u00c5ngstr\u00f6m"));
    d->txtForMail[2]->setText(QStringLiteral("Gr\u00fc\u00dfe"));
    d->Toolbar2_ButtonClick(QStringLiteral("Send"));
    ASSERT_EQ(mailer.sent.size(), 1u);
    EXPECT_EQ(mailer.sent[0].displayName, QStringLiteral("Zo\u00eb \u00c5ngstr\u00f6m"));
    EXPECT_EQ(mailer.sent[0].subject, QStringLiteral("Gr\u00fc\u00dfe"));
}

TEST_F(MailTest, AllRecordsPutsTheWholeBookIntoTheMessageBoxUnlessTheBookCannotBeRead) {
    open(book(400));
    show(1);
    d->action(QStringLiteral("mnuSendAllRecords"))->trigger();
    const QString whole = lines(codepage::decode(TextBuffer()));
    EXPECT_GT(whole.size(), 32767);
    EXPECT_EQ(mail(3), whole);
    EXPECT_TRUE(prompts->shown.empty());

    d->txtForMail[3]->setText(QStringLiteral("kept"));
    m().DatabaseFile.reset();
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    d->mnuSendAllRecords_Click();
    EXPECT_EQ(mail(3), QStringLiteral("kept"));
    EXPECT_TRUE(mailer.sent.empty()); // the user sends with Send
}

TEST_F(MailTest, ABookTooLongForOneMailAsksAndRetryShowsItInTheEditor) {
    open(book(1000));
    show(1);
    const QString tooLong = QStringLiteral("ERROR32002 The message is too long");
    // Abort: the box holds the whole book, and nothing more happens.
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Abort);
    d->Toolbar2_ButtonMenuClick(QStringLiteral("SendAll"));
    const QString whole = lines(codepage::decode(TextBuffer()));
    EXPECT_EQ(mail(3), whole);
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_TRUE(prompts->shown[0].title.startsWith(tooLong));
    EXPECT_TRUE(prompts->shown[0].prompt.startsWith(QStringLiteral("The message is too long")));
    EXPECT_TRUE(mailer.sent.empty());
    EXPECT_EQ(Forms::find<frmRecordset>(), nullptr);

    // Ignore: straight to the mail program with the whole text.
    d->txtForMail[0]->setText(QStringLiteral("Name"));
    d->txtForMail[2]->setText(QStringLiteral("Book"));
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Ignore);
    d->mnuSendAllRecords_Click();
    ASSERT_EQ(mailer.sent.size(), 1u);
    const MailMessage& all = mailer.sent[0];
    EXPECT_EQ(sentAs({all.address, all.displayName, all.subject, lines(all.body)}),
              " | Name | Book | " + whole.toStdString());
    EXPECT_EQ(m().LastErrorAnswer, QStringLiteral("5"));

    // Retry: the text is shown in the editor first, then handed over.
    prompts->expect({}, mb::AbortRetryIgnore | mb::Critical, {}, mb::Retry);
    d->mnuSendAllRecords_Click();
    auto* editor = Forms::find<frmRecordset>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Rtf->toPlainText(), whole);
    EXPECT_EQ(mailer.sent.size(), 2u);
}
