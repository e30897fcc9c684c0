#include "settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/files.h"

namespace orbisto {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string fold(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// What a reader of the value sees: blanks trimmed, one pair of quotes removed.
std::string unquote(std::string_view raw) {
    std::string_view v = trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// Makes a text safe for one line of the file: line breaks would start new
// lines (and could forge keys), so they become blanks; bytes that are not
// UTF-8 are taken as Windows-1252 like everything else we read.
std::string one_line(std::string_view in) {
    std::string s = text_to_utf8(in);
    for (char& c : s) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return s;
}

// The value as written, so that reading it back gives exactly the value:
// blanks at either end or a pair of surrounding quotes would be lost on
// reading, so such values get one extra pair of quotes (which Windows
// readers strip the same way).
std::string encode_value(std::string_view value) {
    std::string v = one_line(value);
    const bool needs_quotes =
        !v.empty() && (is_blank(v.front()) || is_blank(v.back()) ||
                       (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
    if (needs_quotes) return "\"" + v + "\"";
    return v;
}

bool is_blank_line(std::string_view text) {
    return trim(text).empty();
}

}  // namespace

int parse_profile_int(std::string_view s, int def) {
    size_t i = 0;
    while (i < s.size() && is_blank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return def;
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (s[i] - '0');
    }
    if (negative) return v > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-v);
    return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

IniFile IniFile::parse(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    const std::string text = text_to_utf8(bytes);
    IniFile ini;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view raw = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

        const std::string_view t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            const size_t close = t.rfind(']');
            if (close != std::string_view::npos) {
                Section s;
                s.name = std::string(trim(t.substr(1, close - 1)));
                s.header = std::string(raw);
                ini.section_index_.emplace(fold(s.name), ini.sections_.size());
                ini.sections_.push_back(std::move(s));
                continue;
            }
        }
        Line line;
        line.text = std::string(raw);
        const size_t eq = raw.find('=');
        if (eq != std::string_view::npos && !(!t.empty() && t.front() == ';')) {
            line.is_pair = true;
            line.key = std::string(trim(raw.substr(0, eq)));
            line.value = std::string(raw.substr(eq + 1));
        }
        if (ini.sections_.empty()) {
            ini.preamble_.push_back(std::move(line));
        } else {
            Section& s = ini.sections_.back();
            if (line.is_pair) s.index.emplace(fold(line.key), s.lines.size());
            s.lines.push_back(std::move(line));
        }
    }
    return ini;
}

std::optional<IniFile> IniFile::load(const std::string& path) {
    auto data = read_file(path);
    if (data) return parse(*data);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return IniFile{};
    return std::nullopt;
}

IniFile IniFile::load_or_empty(const std::string& path) {
    auto data = read_file(path);
    return data ? parse(*data) : IniFile{};
}

const IniFile::Section* IniFile::find_section(std::string_view name) const {
    const auto it = section_index_.find(fold(trim(name)));
    return it == section_index_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section* IniFile::find_section(std::string_view name) {
    const auto it = section_index_.find(fold(trim(name)));
    return it == section_index_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Line* IniFile::find_line(const Section& s, std::string_view key) {
    const auto it = s.index.find(fold(trim(key)));
    return it == s.index.end() ? nullptr : &s.lines[it->second];
}

void IniFile::reindex(Section& s) {
    s.index.clear();
    for (size_t i = 0; i < s.lines.size(); ++i) {
        if (s.lines[i].is_pair) s.index.emplace(fold(s.lines[i].key), i);
    }
}

bool IniFile::has_section(std::string_view section) const {
    return find_section(section) != nullptr;
}

bool IniFile::has_key(std::string_view section, std::string_view key) const {
    const Section* s = find_section(section);
    return s && find_line(*s, key);
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
    const Section* s = find_section(section);
    if (!s) return std::nullopt;
    const Line* line = find_line(*s, key);
    if (!line) return std::nullopt;
    return unquote(line->value);
}

std::string IniFile::get_string(std::string_view section, std::string_view key,
                                std::string_view def, size_t buffer_size) const {
    if (buffer_size == 0) return {};
    const auto v = get(section, key);
    return cut_utf8(v ? std::string_view(*v) : def, buffer_size - 1);
}

int IniFile::get_int(std::string_view section, std::string_view key, int def) const {
    const auto v = get(section, key);
    return v ? parse_profile_int(*v, def) : def;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
    std::vector<std::string> out;
    const Section* s = find_section(section);
    if (!s) return out;
    for (size_t i = 0; i < s->lines.size(); ++i) {
        const Line& line = s->lines[i];
        // Only the first line of a key counts, as only it is ever read.
        if (line.is_pair && s->index.at(fold(line.key)) == i) out.push_back(line.key);
    }
    return out;
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string encoded = encode_value(value);
    Section* s = find_section(section);
    if (!s) {
        // A blank line before the new section, as a person would write it.
        std::vector<Line>& last = sections_.empty() ? preamble_ : sections_.back().lines;
        const bool file_empty = sections_.empty() && preamble_.empty();
        if (!file_empty && (last.empty() || !is_blank_line(last.back().text))) {
            last.push_back(Line{});
        }
        Section fresh;
        fresh.name = one_line(trim(section));
        fresh.header = "[" + fresh.name + "]";
        section_index_.emplace(fold(fresh.name), sections_.size());
        sections_.push_back(std::move(fresh));
        s = &sections_.back();
    }
    const auto it = s->index.find(fold(trim(key)));
    if (it != s->index.end()) {
        Line& line = s->lines[it->second];
        line.value = encoded;
        line.text = line.key + "=" + encoded;
        return;
    }
    Line line;
    line.is_pair = true;
    line.key = one_line(trim(key));
    line.value = encoded;
    line.text = line.key + "=" + encoded;
    // After the last non-blank line, so blank separator lines stay before the
    // next section. Only blank lines follow, so no indexed line moves.
    size_t pos = s->lines.size();
    while (pos > 0 && is_blank_line(s->lines[pos - 1].text)) --pos;
    s->index.emplace(fold(line.key), pos);
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(pos), std::move(line));
}

void IniFile::set_int(std::string_view section, std::string_view key, int value) {
    set(section, key, std::to_string(value));
}

bool IniFile::remove_key(std::string_view section, std::string_view key) {
    Section* s = find_section(section);
    if (!s) return false;
    const std::string folded = fold(trim(key));
    const size_t before = s->lines.size();
    std::erase_if(s->lines, [&](const Line& l) { return l.is_pair && fold(l.key) == folded; });
    if (s->lines.size() == before) return false;
    reindex(*s);
    return true;
}

bool IniFile::remove_section(std::string_view section) {
    const std::string folded = fold(trim(section));
    const size_t before = sections_.size();
    std::erase_if(sections_, [&](const Section& s) { return fold(s.name) == folded; });
    if (sections_.size() == before) return false;
    section_index_.clear();
    for (size_t i = 0; i < sections_.size(); ++i)
        section_index_.emplace(fold(sections_[i].name), i);
    return true;
}

std::string IniFile::to_bytes() const {
    std::string out;
    auto put = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    for (const Line& l : preamble_) put(l.text);
    for (const Section& s : sections_) {
        put(s.header);
        for (const Line& l : s.lines) put(l.text);
    }
    if (is_ascii(out)) return out;
    // Windows-1252 only when a reader takes the bytes for Windows-1252 again:
    // bytes that are also valid UTF-8 ("Ã¤" is C3 A4, which reads as "ä"), or
    // that start like a byte order mark, would change the texts on reading.
    if (auto cp = utf8_to_cp1252(out); cp && !is_valid_utf8(*cp) && !cp->starts_with(kUtf8Bom)) {
        return *cp;
    }
    // A first line that starts with the character of the byte order mark
    // keeps it behind a mark of its own, which is all a reader removes.
    if (out.starts_with(kUtf8Bom)) out.insert(0, kUtf8Bom);
    return out;
}

bool IniFile::save(const std::string& path) const {
    return write_file_atomic(path, to_bytes());
}

}  // namespace orbisto
