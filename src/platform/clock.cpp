#include "platform/clock.h"

namespace pb {

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> f;
    return f;
}
} // namespace

QDateTime clockNow() {
    return source() ? source()() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> now) {
    source() = std::move(now);
}

} // namespace pb
