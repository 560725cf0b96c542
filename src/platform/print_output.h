#pragma once

#include <QRectF>
#include <vector>

class QPrinter;
class QTextDocument;

namespace pb {

// Prints documents. A printer that cannot begin, start a page or finish raises
// error 482; nothing is taken for printed that was not.
class PrintOutput {
public:
    virtual ~PrintOutput() = default;
    virtual void print(const QTextDocument& doc) = 0;
};

PrintOutput& printOutput();
// Installs another output (tests); nullptr restores the real one on the program's printer.
void setPrintOutput(PrintOutput* replacement);

// One printed page in the coordinates of the laid-out document: the paper it is
// printed on, and the part of that paper that is printed (whole lines only).
struct PrintPage {
    QRectF paper;
    QRectF shown;
};
// Lays `doc` out to the page's width and splits it into pages of the page's height.
std::vector<PrintPage> paginate(QTextDocument& doc, const QSizeF& page);

// Paints the document page by page on `printer`, laid out at the desktop's
// resolution and scaled to the printer's, so that long documents print whole.
// Returns the number of pages.
int printPages(const QTextDocument& doc, QPrinter& printer);
// After a print has ended: a PDF file cut short (a full disk) raises 482. The toolkit's PDF
// writer says nothing when its writes fail, so the file itself is looked at.
void checkPrinterOutput(const QPrinter& printer);

namespace err {
constexpr int PrinterError = 482;
}

} // namespace pb
