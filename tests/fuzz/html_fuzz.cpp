// HTML descriptions of any shape: no crash, no read out of bounds, and a
// UTF-8 page stays UTF-8.
#include <cstdint>
#include <string>

#include "platform/codepage.h"
#include "text/text_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    std::string text(reinterpret_cast<const char*>(data), size);
    const bool utf8 = IsUtf8Text(text);
    HtmlToText(text);
    if (utf8 && !is_valid_utf8(text)) __builtin_trap();
    return 0;
}
