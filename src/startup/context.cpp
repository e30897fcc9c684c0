#include "startup/context.h"

#include <string>

namespace orbisto {

void Context::status(std::string_view text) {
    frontend.status(0, text);
    if (log.enabled()) log.line("status:" + std::string(text) + "\r\n");
}

}  // namespace orbisto
