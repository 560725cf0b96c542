// Feeds arbitrary bytes to the settings-bag reader, as a damaged or foreign
// ".set" file would. Build and run: see the README.
#include "data/database_settings.h"
#include "data/module_phonebook.h"
#include "data/property_bag.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    pb::PropertyBag bag;
    try {
        bag.setContents(pb::bagContentsFromFile(file));
    } catch (const pb::BagError&) {
        return 0;
    }
    pb::ReadDataBaseSettings(bag);
    // What was read must write back and read again the same way.
    pb::PropertyBag again;
    again.setContents(bag.Contents());
    return 0;
}
