#pragma once

namespace pb {

// Makes the web surfer show pages through the browser engine (the program only:
// the test programs never link or start it).
void installEngineWebViews();

} // namespace pb
