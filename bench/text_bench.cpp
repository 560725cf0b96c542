// Times the book's text, the text editor and printing on the largest book.
#include "bench/text_bench.h"

#include "book_files.h"
#include "silent_prompts.h"
#include "table.h"

#include "accessories/frm_recordset.h"
#include "data/database.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "phonebook/frm_print.h"
#include "platform/codepage.h"
#include "platform/print_output.h"
#include "platform/rtf.h"
#include "workspace/forms.h"
#include "workspace/text_job.h"
#include "workspace/vantrel_mdi.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

namespace pb::bench {

using pbbench::printTable;
using pbbench::Table;
using pbbench::timeTable;
using pbbench::Work;

namespace {

int pdfPages(const QString& path) {
    const QByteArray pdf = pbbench::readFileBytes(path);
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                            pdf.count("/Type /Page "));
}

// Prints to a PDF file at printer resolution, counting the pages.
class PdfOutput final : public PrintOutput {
public:
    explicit PdfOutput(QString file) : m_file(std::move(file)) {}
    void print(const QTextDocument& doc) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_file);
        pages = printPages(doc, printer);
    }
    int pages = 0;

private:
    QString m_file;
};

} // namespace

bool textRows(const QString& folder, const QString& bookPath, int records) {
    ModulePhoneBook& m = pbm();
    m.DataBasePath = folder + QLatin1Char('/');
    m.DataBaseName = QStringLiteral("Dorvane2DataBase.q7B");
    m.Label = kDefaultLabels;
    openDatabase();
    countDatabase();
    m.current = 1;
    if (m.RecordCount != records) std::exit(21);
    Forms::get<VantrelMDI>();

    // The job: one read, the text, every progress caption, the shown record read again.
    WriteRecordsText();
    const QByteArray text = TextBuffer();
    const QString out = folder + QStringLiteral("/text.txt");
    const Table job = timeTable(
        {[&] {
            if (pbbench::readFileBytes(bookPath).size() != records * PhoneRecord::kLength) std::exit(22);
            pbbench::writeBook(out, text);
        }},
        {{QStringLiteral("The whole text job (read, text, every progress caption)"), {WriteRecordsText}, 4}});
    std::printf("\nThe book as text (%.1f MB of text).\n\n", text.size() / 1e6);
    bool ok = printTable(job, QStringLiteral("A read of the book plus a write of the text"),
                         QStringLiteral("read + write"));

    // The editor on the print file.
    pbbench::writeBook(printFilePath(), text);
    frmRecordset* e = Forms::get<frmRecordset>();
    const QString plain = rtf::decodePlainText(text);
    const QString rtfPath = folder + QStringLiteral("/text.rtf");
    e->Rtf->LoadCodePageText(printFilePath());
    e->Rtf->SaveFile(rtfPath);
    QPlainTextEdit reference;
    const Work setPlain{[&] { reference.setPlainText(plain); }, [&] { reference.clear(); }};
    const auto clearEditor = [e] { e->Rtf->clear(); };
    const Table editor = timeTable(setPlain,
                                   {
                                       {QStringLiteral("Load the print file into the editor"),
                                        {[&] { e->Rtf->LoadCodePageText(printFilePath()); }, clearEditor},
                                        1.5},
                                       {QStringLiteral("Load the same text as an RTF file"),
                                        {[&] { e->Rtf->LoadFile(rtfPath); }, clearEditor},
                                        3},
                                   },
                                   3);
    if (e->Rtf->toPlainText() != plain) std::exit(23);
    std::printf("\nThe text editor on the largest print text, best of %d of each.\n\n", editor.rounds);
    ok = printTable(editor, QStringLiteral("`QPlainTextEdit::setPlainText` of it"),
                    QStringLiteral("`setPlainText`")) &&
         ok;

    // The same bytes written the same safe way (temporary file, flushed to the disk, renamed over);
    // the disk's time varies most, so each takes more turns.
    const QByteArray rtfBytes = pbbench::readFileBytes(rtfPath);
    const Table save = timeTable({[&] { files::writeFile(folder + QStringLiteral("/same.rtf"), rtfBytes); }},
                                 {{QStringLiteral("Save As (RTF) of the largest print text"),
                                   {[&] { e->Rtf->SaveFile(rtfPath); }},
                                   // Building the RTF is work of the processor, the baseline is the
                                   // disk's: their ratio moves with the machine's load (2.6 to 3.1).
                                   4}},
                                 15);
    std::printf("\nThe RTF file of the same text (%.1f MB), best of %d of each.\n\n", rtfBytes.size() / 1e6,
                save.rounds);
    ok = printTable(save, QStringLiteral("The same bytes written the same safe way"),
                    QStringLiteral("the write")) &&
         ok;

    const QString needle = QStringLiteral("Nobody by this name");
    e->FindText = needle;
    // The pressed buttons walk the selection's formats: at most the time of ten scans of the text.
    const Table find = timeTable({[&] {
                                     if (plain.indexOf(needle, 0, Qt::CaseInsensitive) >= 0) std::exit(24);
                                 }},
                                 {
                                     {QStringLiteral("Find Next that misses, on the largest print text"),
                                      {[e] { e->mnuFindNext_Click(); }, [e] { e->Rtf->setSelection(0, 0); }},
                                      20},
                                     {QStringLiteral("Pressed buttons after Select All on it"),
                                      {[e] { e->Rtf_SelChange(); }, [e] { e->mnuSelect_Click(); }},
                                      10},
                                 });
    std::printf("\nFinding in the same text.\n\n");
    ok = printTable(find, QStringLiteral("Case-blind `QString::indexOf` that misses"),
                    QStringLiteral("`indexOf`")) &&
         ok;

    // The phone book window's commands on the whole book.
    Prompts& before = prompts();
    pbbench::SilentPrompts answers;
    answers.acceptPrint = true;
    setPrompts(&answers);
    Data* d = Forms::get<Data>();
    if (m.RecordCount != records) std::exit(25);
    const Table mail =
        timeTable(setPlain,
                  {{QStringLiteral("All Records into the message box (the text job and the box)"),
                    {[d] { d->mnuSendAllRecords_Click(); }, [d] { d->txtForMail[3]->clear(); },
                     [&] {
                         if (d->txtForMail[3]->text() != plain) std::exit(26);
                     }},
                    1.5}},
                  3);
    std::printf("\nAll records into the mail panel's message box, best of %d of each.\n\n", mail.rounds);
    ok = printTable(mail, QStringLiteral("`QPlainTextEdit::setPlainText` of the same text"),
                    QStringLiteral("`setPlainText`")) &&
         ok;

    // Every page printed, against the same pages at screen resolution.
    QTextDocument doc;
    doc.setPlainText(plain);
    doc.setDefaultFont(e->Rtf->font());
    int pages = 0;
    int screenPages = 0;
    PdfOutput pdf(folder + QStringLiteral("/dialog.pdf"));
    setPrintOutput(&pdf);
    d->mnuPrint_Click();
    frmPrint* p = Forms::get<frmPrint>();
    p->Option2->click();
    p->Option4->click();
    const Table printing = timeTable(
        {[&] {
            QPrinter printer(QPrinter::ScreenResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder + QStringLiteral("/screen.pdf"));
            screenPages = printPages(doc, printer);
        }},
        {
            {QStringLiteral("Print every record of the largest book"),
             {[&] {
                 QPrinter printer(QPrinter::HighResolution);
                 printer.setOutputFormat(QPrinter::PdfFormat);
                 printer.setOutputFileName(folder + QStringLiteral("/print.pdf"));
                 pages = printPages(doc, printer);
             }},
             1.5},
            {QStringLiteral("All Records to a printer from the print dialog (text, print file, every page)"),
             {[p] { p->cmdPrint_Click(); }},
             1.5},
        },
        3);
    setPrintOutput(nullptr);
    const int inFile = pdfPages(folder + QStringLiteral("/print.pdf"));
    const int dialogPages = pdfPages(folder + QStringLiteral("/dialog.pdf"));
    std::printf("\nPrinting the largest book: %d pages (the PDF holds %d; at screen resolution %d; from the "
                "print dialog %d, its PDF %d), best of %d of each.\n\n",
                pages, inFile, screenPages, pdf.pages, dialogPages, printing.rounds);
    if (inFile != pages || pages < 1000 || dialogPages != pdf.pages || pdf.pages != pages) ok = false;
    ok = printTable(printing, QStringLiteral("The same pages printed at screen resolution"),
                    QStringLiteral("screen resolution")) &&
         ok;
    Forms::unload<Data>();
    setPrompts(&before);

    Forms::unload<frmRecordset>();
    Forms::flushDeleted();
    m.DatabaseFile.reset();
    return ok;
}

} // namespace pb::bench
