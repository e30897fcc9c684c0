#include "search/pattern_normal.h"

#include <algorithm>

namespace orbisto::pattern {
namespace {

bool is_operator(char c) {
    return c == '&' || c == '|' || c == '!' || c == '+' || c == '-';
}

// The next operator at or after `from` (npos when none). A plain loop: the
// string is short, and find_first_of would call memchr once per character
// for every text tested.
size_t find_operator(std::string_view s, size_t from) {
    for (size_t i = from; i < s.size(); ++i) {
        if (is_operator(s[i])) return i;
    }
    return s.npos;
}

unsigned char byte_at(std::string_view s, size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool equals_ignoring_ascii_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const ByteTable& up = upper_ascii_table();
    for (size_t i = 0; i < a.size(); ++i) {
        if (up[byte_at(a, i)] != up[byte_at(b, i)]) return false;
    }
    return true;
}

// Whether `segment` ('?' matches any byte) matches `text` at `pos`; the caller
// made sure it fits.
bool segment_matches_at(std::string_view text, size_t pos, std::string_view segment,
                        const ByteTable& fold) {
    for (size_t j = 0; j < segment.size(); ++j) {
        const char p = segment[j];
        if (p == '?') continue;
        if (fold[byte_at(text, pos + j)] != static_cast<unsigned char>(p)) return false;
    }
    return true;
}

std::optional<size_t> find_segment(std::string_view text, size_t from, std::string_view segment,
                                   const ByteTable& fold) {
    if (from > text.size() || segment.size() > text.size() - from) return std::nullopt;
    const size_t last = text.size() - segment.size();
    for (size_t pos = from; pos <= last; ++pos) {
        if (segment_matches_at(text, pos, segment, fold)) return pos;
    }
    return std::nullopt;
}

}  // namespace

void build_skip_table(SkipTable& table, std::string_view needle) {
    table.needle.assign(needle);
    const auto m = static_cast<int32_t>(needle.size());
    table.shift.fill(m);
    table.guard = m;
    if (m == 0) return;
    for (int32_t j = 0; j < m - 1; ++j) table.shift[byte_at(needle, j)] = m - 1 - j;
    const unsigned char last = byte_at(needle, m - 1);
    // The entry of the last byte is still m when it has no earlier occurrence.
    table.guard = table.shift[last];
    table.shift[last] = kSkipSentinel;
}

bool skip_search(const SkipTable& table, std::string_view text, const ByteTable& fold) {
    const std::string_view p = table.needle;
    const size_t m = p.size();
    if (m == 0) return true;
    if (text.size() < m) return false;
    size_t pos = m - 1;  // text position under the pattern's last byte
    while (pos < text.size()) {
        const int32_t s = table.shift[fold[byte_at(text, pos)]];
        if (s != kSkipSentinel) {
            pos += static_cast<size_t>(s);
            continue;
        }
        size_t j = m - 1;
        const size_t start = pos - (m - 1);
        while (j > 0 && fold[byte_at(text, start + j - 1)] == byte_at(p, j - 1)) --j;
        if (j == 0) return true;
        pos += static_cast<size_t>(table.guard);
    }
    return false;
}

std::optional<size_t> wildcard_find(std::string_view text, std::string_view term,
                                    const ByteTable& fold) {
    if (term.empty()) return std::nullopt;
    if (equals_ignoring_ascii_case(term, text)) return 0;
    size_t from = 0;
    std::optional<size_t> found;
    size_t seg_begin = 0;
    while (true) {
        const size_t star = term.find('*', seg_begin);
        const std::string_view segment =
            term.substr(seg_begin, star == std::string_view::npos ? term.npos : star - seg_begin);
        found = find_segment(text, from, segment, fold);
        if (!found) return std::nullopt;
        if (star == std::string_view::npos) return found;
        // The next segment is sought from one character after the start of
        // this one's occurrence.
        from = *found + 1;
        seg_begin = star + 1;
    }
}

// Both run once per text tested, so they scan the short search string with a
// plain loop.
bool has_wildcard(std::string_view s) {
    for (const char c : s) {
        if (c == '*' || c == '?') return true;
    }
    return false;
}
bool has_operator(std::string_view s) {
    return find_operator(s, 0) != s.npos;
}

bool normal_test(std::string_view s, const SkipTable& table, std::string_view text,
                 const ByteTable& fold) {
    if (!has_operator(s) && !has_wildcard(s)) return skip_search(table, text, fold);

    auto term_found = [&](size_t begin, size_t end) {
        const std::string_view term = s.substr(begin, std::min(end - begin, kMaxTermLength));
        return wildcard_find(text, term, fold).has_value();
    };
    size_t end = find_operator(s, 0);
    if (end == s.npos) end = s.size();
    bool result = term_found(0, end);
    while (end < s.size()) {
        const char op = s[end];
        const size_t begin = end + 1;
        end = find_operator(s, begin);
        if (end == s.npos) end = s.size();
        const bool found = term_found(begin, end);
        switch (op) {
            case '+':
            case '&':
                if (!found) return false;
                break;
            case '-':
            case '!':
                if (found) return false;
                break;
            default:  // '|'
                if (found) result = true;
                break;
        }
    }
    return result;
}

}  // namespace orbisto::pattern
