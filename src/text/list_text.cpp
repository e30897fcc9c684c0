#include "text/list_text.h"

#include <limits>

#include "platform/codepage.h"

namespace orbisto {

namespace {

bool is_break(char c) {
    return c == '\r' || c == '\n';
}

// Blanks between the words of an imported list; a NUL byte counts as one so
// that it neither ends the text early nor enters a name.
bool is_gap(char c) {
    return c == ' ' || c == '\t' || c == '\0';
}

void trim_breaks(std::string& s) {
    std::size_t b = 0;
    while (b < s.size() && is_break(s[b])) ++b;
    s.erase(0, b);
    while (!s.empty() && is_break(s.back())) s.pop_back();
}

void trim_trailing(std::string& s) {
    while (!s.empty() && (is_break(s.back()) || is_gap(s.back()))) s.pop_back();
}

// The first `chars` characters of a UTF-8 text.
std::string_view first_chars(std::string_view s, std::size_t chars) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80 && n++ == chars) break;
    }
    return s.substr(0, i);
}

}  // namespace

std::string list_comment_text(std::string_view list, std::string_view upper, std::string_view name,
                              bool multiline, std::size_t room) {
    const std::string key = upper_german(name.substr(0, name.find('.')));
    // A name that starts with '.' has no part to look for; an empty key
    // would match the start of every list.
    if (key.empty() || upper.size() != list.size()) return {};
    const std::size_t found = upper.find(key);
    if (found == std::string_view::npos) return {};

    const std::size_t n = list.size();
    // The rest of the name's word (from behind the found part, so that a
    // name holding blanks is passed over whole), then the blanks.
    std::size_t i = found + key.size();
    while (i < n && list[i] != ' ') ++i;
    while (i < n && list[i] == ' ') ++i;

    std::string out;
    for (;;) {
        while (i < n && !is_break(list[i]) && list[i] != '\0' && out.size() < room) {
            out += list[i++];
        }
        if (!multiline || i >= n || list[i] == '\0' || out.size() >= room) break;
        const std::size_t line_end = out.size();
        for (int k = 0; k < 2 && i < n && is_break(list[i]) && out.size() < room; ++k) {
            out += list[i++];
        }
        if (i >= n || list[i] != ' ') {
            out.resize(line_end);
            break;
        }
        while (i < n && list[i] == ' ') ++i;
    }
    trim_breaks(out);
    return out;
}

ContentList parse_content_list(std::string_view text, ContentFormat format) {
    ContentList out;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && !is_break(text[i])) ++i;
    out.medium_name = std::string(first_chars(text.substr(0, i), kContentNameChars));

    const auto skip_gaps = [&] {
        while (i < n && is_gap(text[i])) ++i;
    };
    const auto skip_line = [&] {
        while (i < n && !is_break(text[i])) ++i;
    };
    for (;;) {
        while (i < n && is_break(text[i])) ++i;
        if (i >= n) break;
        if (text[i] == '*') {
            skip_line();
            continue;
        }
        skip_gaps();
        ContentEntry e;
        const std::size_t start = i;
        while (i < n && !is_gap(text[i]) && !is_break(text[i])) ++i;
        e.name = std::string(text.substr(start, i - start));
        if (e.name.empty()) {  // a line of blanks
            skip_line();
            continue;
        }
        if (format == ContentFormat::FilesBbs) {
            skip_gaps();
            constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
            for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
                const auto d = static_cast<std::uint64_t>(text[i] - '0');
                e.size_bytes = e.size_bytes > (kMax - d) / 10 ? kMax : e.size_bytes * 10 + d;
            }
            while (i < n && !is_gap(text[i]) && !is_break(text[i])) ++i;  // "123k" and the like
        }
        skip_gaps();
        // The comment: runs of blanks become one; a line break goes into it
        // when the next line begins with a blank, whose blanks are dropped.
        while (i < n) {
            const char c = text[i];
            if (is_gap(c)) {
                skip_gaps();
                if (i < n && !is_break(text[i])) e.comment += ' ';
            } else if (is_break(c)) {
                std::size_t j = i;
                if (text[j] == '\r') ++j;
                if (j < n && text[j] == '\n') ++j;
                if (j >= n || !is_gap(text[j])) break;
                e.comment.append(text.substr(i, j - i));
                i = j;
                skip_gaps();
            } else {
                e.comment += c;
                ++i;
            }
        }
        trim_trailing(e.comment);
        out.entries.push_back(std::move(e));
    }
    return out;
}

}  // namespace orbisto
