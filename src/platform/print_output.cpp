#include "platform/print_output.h"

#include "platform/printer.h"
#include "platform/vb_error.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <memory>

namespace pb {

namespace {

// The layout's own resolution: small numbers even for thousands of pages.
constexpr double kLayoutDpi = 96.0;
// Far less than any line's height, far more than the layout's rounding.
constexpr double kEdge = 0.25;

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

std::vector<PrintPage> paginate(QTextDocument& doc, const QSizeF& page) {
    // The pages are cut here, line by line, not by the toolkit's own page layout: on long
    // documents that leaves a line across a page's edge now and then.
    doc.setPageSize(QSizeF(page.width(), -1));
    const qreal margin = doc.documentMargin();
    const QAbstractTextDocumentLayout* layout = doc.documentLayout();
    std::vector<PrintPage> pages;
    QRectF paper(QPointF(0, 0), page);
    qreal shownTop = 0;
    bool empty = true;
    const auto endPage = [&](qreal bottom) {
        pages.push_back({paper, QRectF(0, shownTop, page.width(), bottom - shownTop).intersected(paper)});
    };
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QPointF at = layout->blockBoundingRect(b).topLeft();
        const QTextLayout* lines = b.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QRectF line = lines->lineAt(i).rect().translated(at);
            // A line that would reach into the foot margin starts the next page, below its head margin.
            if (!empty && line.bottom() > paper.bottom() - margin) {
                endPage(line.top());
                shownTop = line.top();
                paper.moveTop(line.top() - margin);
            }
            empty = false;
        }
    }
    endPage(paper.bottom());
    return pages;
}

int printPages(const QTextDocument& doc, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) printerError();
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Inch);
    const QSizeF page(paint.width() * kLayoutDpi, paint.height() * kLayoutDpi);
    std::unique_ptr<QTextDocument> copy(doc.clone());
    const std::vector<PrintPage> pages = paginate(*copy, page);
    const double scale = printer.resolution() / kLayoutDpi;
    QAbstractTextDocumentLayout* layout = copy->documentLayout();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) printerError();
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -pages[i].paper.top());
        painter.setClipRect(pages[i].shown);
        QAbstractTextDocumentLayout::PaintContext ctx;
        // The lines of the pages before and after touch this page's edges: drawn (and clipped
        // away) they would still leave their text in a PDF.
        ctx.clip = pages[i].shown.adjusted(0, kEdge, 0, -kEdge);
        layout->draw(&painter, ctx);
        painter.restore();
    }
    if (!painter.end()) printerError();
    checkPrinterOutput(printer);
    return static_cast<int>(pages.size());
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
