#pragma once

#include <QString>
#include <cstdint>

class QPrinter;

namespace pb {

// The font and colour set on the printer before a print. The toolkit's printer
// has no font of its own, so the program keeps one beside it.
struct PrinterFont {
    QString name = QStringLiteral("Arial");
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;
    int32_t color = 0; // 0x00BBGGRR
};

// The program's one printer (its setup is kept between prints) and its font.
QPrinter& programPrinter();
PrinterFont& printerFont();

} // namespace pb
