// Our own INI reader/writer with the semantics of the Windows private-profile
// functions, so settings files stay interchangeable with Windows peers:
// sections in brackets and key=value lines, section and key lookup ignoring
// ASCII case, values trimmed of blanks and of one pair of surrounding double
// quotes. Everything else in the file (comments, lines without '=', unknown
// sections and keys, the order of lines) is kept as it stands on write.
//
// Encoding: a file that is valid UTF-8 is read as UTF-8, anything else as
// Windows-1252; in memory all texts are UTF-8. A file is written as
// Windows-1252 when every text in it fits, else as UTF-8, with CR LF line ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/codepage.h"

namespace orbisto {

class IniFile {
  public:
    IniFile() = default;

    // Parses the bytes of a file (CR LF or LF line ends, optional UTF-8 BOM).
    static IniFile parse(std::string_view bytes);
    // Loads a file for changing it: a missing file gives an empty IniFile;
    // nullopt when the file exists but cannot be read (it must then not be
    // replaced, or its content would be lost).
    static std::optional<IniFile> load(const std::string& path);
    // Loads a file for reading: missing or unreadable files give an empty one,
    // so every lookup falls back to its default.
    static IniFile load_or_empty(const std::string& path);

    bool has_section(std::string_view section) const;
    bool has_key(std::string_view section, std::string_view key) const;
    // The value trimmed of blanks and one pair of surrounding double quotes;
    // nullopt when the section or key is missing.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // The value (or def when the key is missing) cut to buffer_size - 1 bytes,
    // never in the middle of a UTF-8 character.
    std::string get_string(std::string_view section, std::string_view key, std::string_view def,
                           size_t buffer_size) const;
    // An optional sign and decimal digits at the start of the value ("12abc"
    // gives 12); def when the key is missing or the value has no digits.
    int get_int(std::string_view section, std::string_view key, int def) const;
    // The key names of a section in file order (first occurrence of each).
    std::vector<std::string> keys(std::string_view section) const;

    // Replaces the key's line in place (keeping the key's spelling) or appends
    // it at the end of its section; a missing section is created at the end.
    void set(std::string_view section, std::string_view key, std::string_view value);
    void set_int(std::string_view section, std::string_view key, int value);
    // Removes every line of the key; false when there was none.
    bool remove_key(std::string_view section, std::string_view key);
    // Removes the section with all its lines; false when there was none.
    bool remove_section(std::string_view section);

    // The file's bytes in the encoding chosen by its content, CR LF line ends.
    std::string to_bytes() const;
    // Writes the file atomically (the old file survives any failure). A file
    // that counts as read-only (file_replaceable) is not written. A symbolic
    // link is written through to its target.
    bool save(const std::string& path) const;

  private:
    struct Line {
        std::string text;  // the whole line, UTF-8, without its line end
        bool is_pair = false;
        std::string key;    // for pairs: the key, trimmed
        std::string value;  // for pairs: the text after the first '='
    };
    struct Section {
        std::string name;  // trimmed name between the brackets
        std::string header;
        std::vector<Line> lines;
        std::unordered_map<std::string, size_t> index;  // folded key -> first line
    };

    const Section* find_section(std::string_view name) const;
    Section* find_section(std::string_view name);
    static const Line* find_line(const Section& s, std::string_view key);
    static void reindex(Section& s);

    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> section_index_;  // folded name -> first section
};

// The integer rule of the profile functions: blanks, an optional sign and
// decimal digits; def when there are no digits. Values past the int range
// are clamped to it.
int parse_profile_int(std::string_view s, int def);

}  // namespace orbisto
