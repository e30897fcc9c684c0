// TEMPORARY (lead's local stand-in until the helper's branch lands)
#pragma once
#include <cstdint>
#include <string>
namespace orbisto {
std::string count_text(std::int64_t value, bool format_number);
std::string size_text(float size_kb, bool format_number, bool audio_cd);
}
