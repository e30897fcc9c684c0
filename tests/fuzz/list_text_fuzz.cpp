// The directory-list lookup and the file-list parser on arbitrary bytes:
// byte 0 holds the options, then a file name up to the first newline, then
// the list text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/codepage.h"
#include "text/list_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orbisto;
    if (size == 0) return 0;
    const bool multiline = (data[0] & 1) != 0;
    const std::size_t room = data[0] >> 1;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nl = rest.find('\n');
    const std::string_view name = rest.substr(0, nl);
    const std::string_view text = nl == std::string_view::npos ? rest : rest.substr(nl + 1);

    const std::string upper = upper_german(text);
    if (list_comment_text(text, upper, name, multiline, room).size() > room) std::abort();
    const ContentList list = parse_content_list(
        text, (data[0] & 2) != 0 ? ContentFormat::FilesBbs : ContentFormat::Index);
    for (const ContentEntry& e : list.entries) {
        if (e.name.empty() || e.name.size() > text.size()) std::abort();
    }
    return 0;
}
