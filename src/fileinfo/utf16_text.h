// UTF-16 text inside binary files (TrueType names, program version
// resources) turned into UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orbisto {

// The UTF-16 text in bytes (big- or little-endian) up to its first NUL
// character or the last whole unit, as UTF-8. A surrogate without its
// partner becomes U+FFFD.
std::string utf16_to_utf8(std::span<const std::uint8_t> bytes, bool big_endian);

// The number of UTF-16 units before the first NUL unit (or of all whole units).
std::size_t utf16_length(std::span<const std::uint8_t> bytes, bool big_endian);

}  // namespace orbisto
