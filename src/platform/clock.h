#pragma once

#include <QDateTime>
#include <functional>

namespace pb {

// The wall clock of the windows that keep time (alarm, note dates); tests set their own.
QDateTime clockNow();
// nullptr-like empty function restores the real clock.
void setClock(std::function<QDateTime()> now);

} // namespace pb
