#include "settings/environment.h"

#include <cstdio>
#include <string>

namespace orbisto {

namespace {
constexpr double kVersion = 3.6;
}  // namespace

std::string window_title() {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Orbisto %3.1f", kVersion);
    return buf;
}

void Environment::status(std::string_view text) {
    frontend.status(0, text);
    if (log.enabled()) log.line("status:" + std::string(text) + "\r\n");
}

}  // namespace orbisto
