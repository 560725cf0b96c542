#include "platform/print_output.h"

#include "platform/printer.h"
#include "platform/vb_error.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <algorithm>
#include <memory>

namespace pb {

namespace {

// The layout's own resolution: small numbers even for thousands of pages.
constexpr double kLayoutDpi = 96.0;

[[noreturn]] void printerError() {
    throw VbError(err::PrinterError, QStringLiteral("Printer error"));
}

class PrinterOutput final : public PrintOutput {
public:
    void print(const QTextDocument& doc) override { printPages(doc, programPrinter()); }
};

PrintOutput*& current() {
    static PrintOutput* p = nullptr;
    return p;
}

} // namespace

int printPages(const QTextDocument& doc, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) printerError();
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Inch);
    const QSizeF page(paint.width() * kLayoutDpi, paint.height() * kLayoutDpi);
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->setPageSize(page);
    const int pages = std::max(1, copy->pageCount());
    const double scale = printer.resolution() / kLayoutDpi;
    QAbstractTextDocumentLayout* layout = copy->documentLayout();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage()) printerError();
        painter.save();
        painter.scale(scale, scale);
        const QRectF view(0, i * page.height(), page.width(), page.height());
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = view;
        layout->draw(&painter, ctx);
        painter.restore();
    }
    if (!painter.end()) printerError();
    checkPrinterOutput(printer);
    return pages;
}

void checkPrinterOutput(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) return;
    QFile file(printer.outputFileName());
    const qint64 size = file.size();
    if (!file.open(QIODevice::ReadOnly) || size <= 0 || !file.seek(std::max<qint64>(0, size - 64)) ||
        !file.readAll().contains("%%EOF"))
        throw VbError(482, QStringLiteral("The PDF file could not be written whole"));
}

PrintOutput& printOutput() {
    static PrinterOutput real;
    return current() ? *current() : real;
}

void setPrintOutput(PrintOutput* replacement) {
    current() = replacement;
}

} // namespace pb
