#pragma once

namespace pb {

// Makes the web surfer show pages through the browser engine (the program and the engine's own
// test program only). The engine and its helper processes start with the first page view.
void installEngineWebViews();

} // namespace pb
