// Feeds arbitrary bytes to the RTF reader, as a damaged or hostile document
// would, and writes and reads back what it made; the same bytes go to the picture
// reader as a picture file. Build and run: see the README.
#include "platform/picture_file.h"
#include "platform/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    // The pictures are weighed with the program's own limits: no lower one hides what they let through.
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    pb::rtf::read(bytes, doc);
    // What was read must write out and read back to the same text.
    QTextDocument again;
    pb::rtf::read(pb::rtf::write(doc), again);
    if (again.toPlainText() != doc.toPlainText()) std::abort();
    pb::rtf::decodePlainText(bytes);
    pb::decodePicture(bytes);
    return 0;
}
