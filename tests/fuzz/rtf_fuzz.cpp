// RTF of any shape: no crash, no deep recursion, no read out of bounds, the
// text is always UTF-8 and a fault gives one of the known texts.
#include <cstdint>
#include <string>

#include "platform/codepage.h"
#include "text/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const rtf::Result r = rtf::read(in);
    if (!is_valid_utf8(r.text)) __builtin_trap();
    // every input byte gives at most one character of at most four bytes
    if (r.text.size() > size * 4) __builtin_trap();
    if (!r.error.empty() && r.error.find("Err - ") == std::string::npos &&
        r.error.rfind("Style expansion loop, style ", 0) != 0) {
        __builtin_trap();
    }
    return 0;
}
