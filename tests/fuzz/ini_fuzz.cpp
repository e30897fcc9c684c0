// The INI reader on arbitrary bytes. Every section and key named in the
// input is looked up; the file written from what was read must read back
// with the same values, and writing it again must give the same bytes.
// Setting a key and removing it must do just that.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "settings/ini_file.h"

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// (section, key) pairs as the input spells them, roughly as a reader of the
// file would see them; a key with an empty section stands for the section.
std::vector<std::pair<std::string, std::string>> names_in(std::string_view bytes) {
    const std::string text = orbisto::text_to_utf8(bytes);
    std::vector<std::pair<std::string, std::string>> out;
    std::string section;
    std::string_view rest = text;
    while (!rest.empty() && out.size() < 64) {
        const std::size_t nl = rest.find('\n');
        std::string_view line = trim(rest.substr(0, nl));
        rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line = trim(line.substr(0, line.size() - 1));
        if (!line.empty() && line.front() == '[' && line.find(']') != std::string_view::npos) {
            section = std::string(trim(line.substr(1, line.rfind(']') - 1)));
            out.emplace_back(section, "");
        } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos) {
            out.emplace_back(section, std::string(trim(line.substr(0, eq))));
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orbisto;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::parse(bytes);
    const std::string written = ini.to_bytes();
    const IniFile back = IniFile::parse(written);
    if (back.to_bytes() != written) __builtin_trap();

    for (const auto& [section, key] : names_in(bytes)) {
        if (ini.has_section(section) != back.has_section(section)) __builtin_trap();
        if (ini.keys(section) != back.keys(section)) __builtin_trap();
        if (key.empty()) continue;
        if (ini.get(section, key) != back.get(section, key)) __builtin_trap();
        if (ini.get_int(section, key, -7) != back.get_int(section, key, -7)) __builtin_trap();
        const std::string cut = ini.get_string(section, key, "", 5);
        if (cut.size() > 4 || !is_valid_utf8(cut)) __builtin_trap();
    }

    // A value set is read back as it was set, and a removed key is gone.
    for (const auto& [section, key] : names_in(bytes)) {
        // Keys that no line of a file can hold, and names with a line break
        // (written as a blank), are left out.
        if (key.empty() || key.find_first_of("=[;\r") != std::string::npos ||
            section.find('\r') != std::string::npos) {
            continue;
        }
        const std::string value = " \"" + section + "\" ";
        ini.set(section, key, value);
        if (ini.get(section, key) != value) __builtin_trap();
        if (IniFile::parse(ini.to_bytes()).get(section, key) != value) __builtin_trap();
        ini.remove_key(section, key);
        if (ini.has_key(section, key)) __builtin_trap();
    }
    return 0;
}
