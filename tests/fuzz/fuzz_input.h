// Splits a fuzzer input into options, a search string and a text: byte 0
// holds the options, then the search string up to the first newline, then
// the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orbisto::fuzz {

struct Input {
    bool ignore_case = false;
    int number = 0;  // error count or threshold, from the option byte
    std::string_view pattern;
    std::string_view text;
};

inline bool split(const uint8_t* data, size_t size, Input& in) {
    if (size == 0) return false;
    in.ignore_case = (data[0] & 1) != 0;
    in.number = data[0] >> 1;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t nl = rest.find('\n');
    in.pattern = rest.substr(0, nl);
    in.text = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    return true;
}

}  // namespace orbisto::fuzz
