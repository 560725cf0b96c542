#pragma once

#include "table.h"

namespace pbbench {

struct WebBench {
    Table table; // against writing the same six texts durably, each file on its own
    double mb = 0;
};

// The web export of the open book into `folder`.
WebBench benchWeb(const QString& folder);
// Prints the table; false when a row misses its target.
bool printWebBench(const WebBench& b);

} // namespace pbbench
