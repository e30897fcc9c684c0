#include "text/mime_types.h"

#include <cstdio>

namespace orbisto {

namespace {

// Larger files are taken for damaged: the system's glob table has about
// 1,200 lines, a type's file a few kilobytes.
constexpr std::size_t kMaxGlobsBytes = 4u << 20;
constexpr std::size_t kMaxTypeBytes = 1u << 20;

std::string read_bounded(const std::string& path, std::size_t max_bytes) {
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buf[16384];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (out.size() + n > max_bytes) {
            out.clear();
            break;
        }
        out.append(buf, n);
    }
    std::fclose(f);
    return out;
}

std::string lower_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool has_wildcard(std::string_view s) {
    return s.find_first_of("*?[") != std::string_view::npos;
}

// A type name is "media/subtype" of plain characters, so it can name a file
// below the database's folder and nothing else.
bool safe_type(std::string_view type) {
    const std::size_t slash = type.find('/');
    if (slash == 0 || slash == std::string_view::npos || slash + 1 == type.size()) return false;
    if (type.find('/', slash + 1) != std::string_view::npos || type.find("..") != type.npos) {
        return false;
    }
    for (const char c : type) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '+' || c == '-' ||
                           c == '_';
        if (!plain) return false;
    }
    return type.front() != '.';
}

std::string decode_entities(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (std::size_t i = 0; i < s.size();) {
        bool done = false;
        if (s[i] == '&') {
            for (const auto& [name, c] : kEntities) {
                if (s.substr(i, name.size()) == name) {
                    out += c;
                    i += name.size();
                    done = true;
                    break;
                }
            }
        }
        if (!done) out += s[i++];
    }
    return out;
}

}  // namespace

void MimeTypes::load_globs() {
    globs_loaded_ = true;
    const std::string text = read_bounded(dir_ + "/globs2", kMaxGlobsBytes);
    const auto keep = [](std::unordered_map<std::string, Match>& map, std::string key, int weight,
                         std::size_t length, std::string_view type) {
        Match& m = map[std::move(key)];
        if (weight > m.weight || (weight == m.weight && length > m.length)) {
            m = {weight, length, std::string(type)};
        }
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (line.empty() || line.front() == '#') continue;
        // weight:type:glob[:flags[:...]]
        const std::size_t c1 = line.find(':');
        const std::size_t c2 = c1 == line.npos ? line.npos : line.find(':', c1 + 1);
        if (c2 == line.npos) continue;
        int weight = 0;
        bool number = c1 > 0 && c1 <= 3;
        for (std::size_t i = 0; number && i < c1; ++i) {
            number = line[i] >= '0' && line[i] <= '9';
            weight = weight * 10 + (line[i] - '0');
        }
        const std::string_view type = line.substr(c1 + 1, c2 - c1 - 1);
        const std::size_t c3 = line.find(':', c2 + 1);
        const std::string_view glob = line.substr(c2 + 1, c3 == line.npos ? c3 : c3 - c2 - 1);
        const std::string_view flags = c3 == line.npos ? std::string_view() : line.substr(c3 + 1);
        if (!number || !safe_type(type) || glob.empty()) continue;
        const bool cs = flags.find("cs") != std::string_view::npos;
        if (glob.size() > 2 && glob.substr(0, 2) == "*." && !has_wildcard(glob.substr(1))) {
            const std::string_view suffix = glob.substr(1);
            keep(cs ? suffixes_cs_ : suffixes_, cs ? std::string(suffix) : lower_ascii(suffix),
                 weight, glob.size(), type);
        } else if (!has_wildcard(glob)) {
            keep(cs ? names_cs_ : names_, cs ? std::string(glob) : lower_ascii(glob), weight,
                 glob.size(), type);
        }
    }
}

std::string MimeTypes::type_locked(std::string_view file_name) {
    if (!globs_loaded_) load_globs();
    Match best;
    const auto consider = [&](const std::unordered_map<std::string, Match>& map,
                              const std::string& key) {
        const auto it = map.find(key);
        if (it == map.end()) return;
        const Match& m = it->second;
        if (m.weight > best.weight || (m.weight == best.weight && m.length > best.length)) {
            best = m;
        }
    };
    // A case-sensitive glob comes first and wins a tie ("x.C" is C++, not C).
    const std::string lower = lower_ascii(file_name);
    consider(names_cs_, std::string(file_name));
    consider(names_, lower);
    for (std::size_t dot = file_name.find('.'); dot != std::string_view::npos;
         dot = file_name.find('.', dot + 1)) {
        consider(suffixes_cs_, std::string(file_name.substr(dot)));
        consider(suffixes_, lower.substr(dot));
    }
    return best.type;
}

std::string MimeTypes::type_of(std::string_view file_name) {
    const std::lock_guard lock(mutex_);
    return type_locked(file_name);
}

const MimeTypes::Comments& MimeTypes::comments_of(const std::string& type) {
    const auto found = comments_.find(type);
    if (found != comments_.end()) return found->second;
    Comments& c = comments_[type];
    const std::string xml = read_bounded(dir_ + "/" + type + ".xml", kMaxTypeBytes);
    std::size_t pos = 0;
    while ((pos = xml.find("<comment", pos)) != std::string::npos) {
        pos += 8;
        if (pos >= xml.size() || (xml[pos] != '>' && xml[pos] != ' ')) continue;
        const std::size_t open_end = xml.find('>', pos);
        if (open_end == std::string::npos) break;
        const std::string_view attributes(xml.data() + pos, open_end - pos);
        const std::size_t close = xml.find("</comment>", open_end);
        if (close == std::string::npos) break;
        const std::string text =
            decode_entities(std::string_view(xml).substr(open_end + 1, close - open_end - 1));
        pos = close;
        std::string lang;
        const std::size_t at = attributes.find("xml:lang=\"");
        if (at != std::string_view::npos) {
            const std::size_t start = at + 10;
            const std::size_t quote = attributes.find('"', start);
            if (quote == std::string_view::npos) continue;
            lang = attributes.substr(start, quote - start);
        }
        if (lang.empty() && c.plain.empty()) c.plain = text;
        if (lang == "de" && c.german.empty()) c.german = text;
        if (lang == "en" && c.english.empty()) c.english = text;
    }
    return c;
}

std::string_view MimeTypes::description(std::string_view file_name, bool english) {
    const std::lock_guard lock(mutex_);
    const std::string type = type_locked(file_name);
    if (type.empty()) return {};
    // Kept per type (a few hundred at most), so the views stay valid.
    const Comments& c = comments_of(type);
    if (english) return c.english.empty() ? c.plain : c.english;
    return c.german.empty() ? c.plain : c.german;
}

MimeTypes& shared_mime_types() {
    static MimeTypes types;
    return types;
}

}  // namespace orbisto
