#include "platform/printer.h"

#include <QPrinter>
#include <memory>

namespace pb {

QPrinter& programPrinter() {
    // Made on first use: a printer needs the application object.
    static std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}

PrinterFont& printerFont() {
    static PrinterFont font;
    return font;
}

} // namespace pb
