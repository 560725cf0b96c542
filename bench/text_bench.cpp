// Times the book's text, the text editor and printing on the largest book.
#include "bench/text_bench.h"

#include "accessories/frm_recordset.h"
#include "data/database.h"
#include "data/file_copy.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "phonebook/frm_print.h"
#include "platform/codepage.h"
#include "platform/print_output.h"
#include "platform/prompts.h"
#include "platform/rtf.h"
#include "workspace/forms.h"
#include "workspace/frm_save.h"
#include "workspace/text_job.h"
#include "workspace/vantrel_mdi.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

namespace pb::bench {

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) std::exit(20);
}

int pdfPages(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray pdf = f.readAll();
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

// Says yes to the printer dialog, runs the progress window's job at once and
// answers every box with its first button.
class PrintingPrompts final : public Prompts {
public:
    int msgBox(const QString&, int, const QString&) override { return mb::OK; }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void showModal(QDialog& dialog) override {
        if (auto* job = qobject_cast<frmSave*>(&dialog)) job->fireArmed();
    }
    bool commonDialog(CommonDialog&, DialogKind kind) override { return kind == DialogKind::Print; }
};

} // namespace

bool textRows(const QString& folder, const QString& bookPath, int records, const Timer& best,
              const RowPrinter& print) {
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
    const double job = best([] { WriteRecordsText(); }, {}, 7);
    const QByteArray text = TextBuffer();
    const QString out = folder + QStringLiteral("/text.txt");
    const double readWrite = best(
        [&] {
            QFile in(bookPath);
            in.open(QIODevice::ReadOnly);
            if (in.readAll().size() != records * 440) std::exit(22);
            writeBytes(out, text);
        },
        {}, 7);
    std::printf(
        "\nThe book as text (%.1f MB of text). A read of the book plus a write of the text: %.2f ms.\n\n",
        text.size() / 1e6, readWrite);
    bool ok = print({{QStringLiteral("The whole text job (read, text, every progress caption)"), job, 4, 20}},
                    readWrite, "read + write");

    // The editor on the print file.
    writeBytes(printFilePath(), text);
    frmRecordset* e = Forms::get<frmRecordset>();
    const QString plain = rtf::decodePlainText(text);
    QPlainTextEdit reference;
    const double setPlain = best([&] { reference.setPlainText(plain); }, [&] { reference.clear(); }, 3);
    std::vector<Row> rows;
    rows.push_back({QStringLiteral("Load the print file into the editor"),
                    best([&] { e->Rtf->LoadCodePageText(printFilePath()); }, [&] { e->Rtf->clear(); }, 3),
                    1.5});
    const QString rtfPath = folder + QStringLiteral("/text.rtf");
    e->Rtf->SaveFile(rtfPath);
    rows.push_back({QStringLiteral("Load the same text as an RTF file"),
                    best([&] { e->Rtf->LoadFile(rtfPath); }, [&] { e->Rtf->clear(); }, 3), 3});
    if (e->Rtf->toPlainText() != plain) std::exit(23);
    std::printf(
        "\nThe text editor on the largest print text. `QPlainTextEdit::setPlainText` of it: %.2f ms.\n\n",
        setPlain);
    ok = print(rows, setPlain, "`setPlainText`") && ok;

    QFile saved(rtfPath);
    saved.open(QIODevice::ReadOnly);
    const QByteArray rtfBytes = saved.readAll();
    // The same bytes written the same safe way (temporary file, flushed to the disk, renamed over).
    const double writeSame =
        best([&] { files::writeFile(folder + QStringLiteral("/same.rtf"), rtfBytes); }, {}, 5);
    std::printf(
        "\nWriting the RTF file's bytes (%.1f MB) through a temporary file flushed to the disk: %.2f ms.\n\n",
        rtfBytes.size() / 1e6, writeSame);
    ok = print({{QStringLiteral("Save As (RTF) of the largest print text"),
                 best([&] { e->Rtf->SaveFile(rtfPath); }, {}, 3), 3}},
               writeSame, "the write") &&
         ok;

    const QString needle = QStringLiteral("Nobody by this name");
    const double indexOf = best(
        [&] {
            if (plain.indexOf(needle, 0, Qt::CaseInsensitive) >= 0) std::exit(24);
        },
        {}, 7);
    e->FindText = needle;
    std::vector<Row> findRows;
    findRows.push_back({QStringLiteral("Find Next that misses, on the largest print text"),
                        best([&] { e->mnuFindNext_Click(); }, [&] { e->Rtf->setSelection(0, 0); }, 7), 20});
    e->mnuSelect_Click();
    findRows.push_back({QStringLiteral("Pressed buttons after Select All on it"),
                        best([&] { e->Rtf_SelChange(); }, {}, 7), 0, 50});
    std::printf("\nCase-blind `QString::indexOf` that misses on the same text: %.2f ms.\n\n", indexOf);
    ok = print(findRows, indexOf, "`indexOf`") && ok;

    // Every page printed, against the same pages at screen resolution.
    QTextDocument doc;
    doc.setPlainText(plain);
    doc.setDefaultFont(e->Rtf->font());
    int pages = 0;
    int screenPages = 0;
    const double printed = best(
        [&] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder + QStringLiteral("/print.pdf"));
            pages = printPages(doc, printer);
        },
        {}, 1);
    const double screen = best(
        [&] {
            QPrinter printer(QPrinter::ScreenResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder + QStringLiteral("/screen.pdf"));
            screenPages = printPages(doc, printer);
        },
        {}, 1);
    const int inFile = pdfPages(folder + QStringLiteral("/print.pdf"));
    std::printf("\nPrinted pages: %d (PDF holds %d, at screen resolution %d).\n", pages, inFile, screenPages);
    if (inFile != pages || pages < 1000) ok = false;
    std::printf("Printing the same pages at screen resolution: %.2f ms.\n\n", screen);
    ok = print({{QStringLiteral("Print every record of the largest book"), printed, 1.5}}, screen,
               "screen resolution") &&
         ok;

    // The phone book window's commands on the whole book.
    Prompts& before = prompts();
    PrintingPrompts answers;
    setPrompts(&answers);
    Data* d = Forms::get<Data>();
    if (m.RecordCount != records) std::exit(25);
    const double allToMessage =
        best([&] { d->mnuSendAllRecords_Click(); }, [&] { d->txtForMail[3]->clear(); }, 3);
    if (d->txtForMail[3]->text() != plain) std::exit(26);
    std::printf("\nAll records into the mail panel's message box. `QPlainTextEdit::setPlainText` of the same "
                "text: %.2f ms.\n\n",
                setPlain);
    ok = print({{QStringLiteral("All Records into the message box (the text job and the box)"), allToMessage,
                 1.5}},
               setPlain, "`setPlainText`") &&
         ok;

    PdfOutput pdf(folder + QStringLiteral("/dialog.pdf"));
    setPrintOutput(&pdf);
    d->mnuPrint_Click();
    frmPrint* p = Forms::get<frmPrint>();
    p->Option2->click();
    p->Option4->click();
    const double dialogPrint = best([&] { p->cmdPrint_Click(); }, {}, 1);
    setPrintOutput(nullptr);
    const int dialogPages = pdfPages(folder + QStringLiteral("/dialog.pdf"));
    std::printf("\nAll records to the printer from the print dialog: %d pages (PDF holds %d).\n\n", pdf.pages,
                dialogPages);
    if (dialogPages != pdf.pages || pdf.pages != pages) ok = false;
    ok =
        print(
            {{QStringLiteral("All Records to a printer from the print dialog (text, print file, every page)"),
              dialogPrint, 1.5}},
            screen, "screen resolution") &&
        ok;
    Forms::unload<Data>();
    setPrompts(&before);

    Forms::unload<frmRecordset>();
    Forms::flushDeleted();
    m.DatabaseFile.reset();
    return ok;
}

} // namespace pb::bench
