#include "search/pattern_normal.h"

#include <algorithm>

namespace orbisto::pattern {
namespace {

template <class Ch>
bool is_operator(Ch c) {
    return c == '&' || c == '|' || c == '!' || c == '+' || c == '-';
}

// The next operator at or after `from` (npos when none). A plain loop: the
// string is short, and find_first_of would call memchr once per character
// for every text tested.
template <class Ch>
size_t find_operator(std::basic_string_view<Ch> s, size_t from) {
    for (size_t i = from; i < s.size(); ++i) {
        if (is_operator(s[i])) return i;
    }
    return s.npos;
}

// The skip-table entry of a character: its low eight bits.
template <class Ch>
size_t bucket(Ch c) {
    return char_value(c) & 0xFF;
}

template <class Ch>
bool equals_ignoring_ascii_case(std::basic_string_view<Ch> a, std::basic_string_view<Ch> b) {
    if (a.size() != b.size()) return false;
    const ByteTable& up = upper_ascii_table();
    for (size_t i = 0; i < a.size(); ++i) {
        if (folded(up, a[i]) != folded(up, b[i])) return false;
    }
    return true;
}

// Whether `segment` ('?' matches any character) matches `text` at `pos`;
// the caller made sure it fits.
template <class Ch>
bool segment_matches_at(std::basic_string_view<Ch> text, size_t pos,
                        std::basic_string_view<Ch> segment, const ByteTable& fold) {
    for (size_t j = 0; j < segment.size(); ++j) {
        const Ch p = segment[j];
        if (p == '?') continue;
        if (folded(fold, text[pos + j]) != char_value(p)) return false;
    }
    return true;
}

template <class Ch>
std::optional<size_t> find_segment(std::basic_string_view<Ch> text, size_t from,
                                   std::basic_string_view<Ch> segment, const ByteTable& fold) {
    if (from > text.size() || segment.size() > text.size() - from) return std::nullopt;
    const size_t last = text.size() - segment.size();
    for (size_t pos = from; pos <= last; ++pos) {
        if (segment_matches_at(text, pos, segment, fold)) return pos;
    }
    return std::nullopt;
}

template <class Ch>
void build_skip(BasicSkipTable<Ch>& table, std::basic_string_view<Ch> needle) {
    table.needle.assign(needle);
    const auto m = static_cast<int32_t>(needle.size());
    table.shift.fill(m);
    table.guard = m;
    if (m == 0) return;
    for (int32_t j = 0; j < m - 1; ++j) table.shift[bucket(needle[j])] = m - 1 - j;
    const size_t last = bucket(needle[m - 1]);
    // The entry of the last character is still m when nothing earlier shares
    // it.
    table.guard = table.shift[last];
    table.shift[last] = kSkipSentinel;
}

template <class Ch>
bool skip(const BasicSkipTable<Ch>& table, std::basic_string_view<Ch> text, const ByteTable& fold) {
    const std::basic_string_view<Ch> p = table.needle;
    const size_t m = p.size();
    if (m == 0) return true;
    if (text.size() < m) return false;
    size_t pos = m - 1;  // text position under the pattern's last character
    while (pos < text.size()) {
        const std::uint32_t c = folded(fold, text[pos]);
        const int32_t s = table.shift[c & 0xFF];
        if (s != kSkipSentinel) {
            pos += static_cast<size_t>(s);
            continue;
        }
        // Bytes that reach the sentinel are the last byte itself; characters
        // only share its entry, so they are compared first.
        if constexpr (sizeof(Ch) > 1) {
            if (c != char_value(p[m - 1])) {
                pos += static_cast<size_t>(table.guard);
                continue;
            }
        }
        size_t j = m - 1;
        const size_t start = pos - (m - 1);
        while (j > 0 && folded(fold, text[start + j - 1]) == char_value(p[j - 1])) --j;
        if (j == 0) return true;
        pos += static_cast<size_t>(table.guard);
    }
    return false;
}

template <class Ch>
std::optional<size_t> find_wildcard(std::basic_string_view<Ch> text,
                                    std::basic_string_view<Ch> term, const ByteTable& fold) {
    if (term.empty()) return std::nullopt;
    if (equals_ignoring_ascii_case(term, text)) return 0;
    size_t from = 0;
    std::optional<size_t> found;
    size_t seg_begin = 0;
    while (true) {
        const size_t star = term.find(Ch('*'), seg_begin);
        const std::basic_string_view<Ch> segment =
            term.substr(seg_begin, star == term.npos ? term.npos : star - seg_begin);
        found = find_segment(text, from, segment, fold);
        if (!found) return std::nullopt;
        if (star == term.npos) return found;
        // The next segment is sought from one character after the start of
        // this one's occurrence.
        from = *found + 1;
        seg_begin = star + 1;
    }
}

// Runs once per text tested, so it scans the short search string with a
// plain loop.
template <class Ch>
bool any_wildcard(std::basic_string_view<Ch> s) {
    for (const Ch c : s) {
        if (c == '*' || c == '?') return true;
    }
    return false;
}

template <class Ch>
bool test_normal(std::basic_string_view<Ch> s, const BasicSkipTable<Ch>& table,
                 std::basic_string_view<Ch> text, const ByteTable& fold) {
    if (find_operator(s, 0) == s.npos && !any_wildcard(s)) return skip(table, text, fold);

    auto term_found = [&](size_t begin, size_t end) {
        const std::basic_string_view<Ch> term =
            s.substr(begin, std::min(end - begin, kMaxTermLength));
        return find_wildcard(text, term, fold).has_value();
    };
    size_t end = find_operator(s, 0);
    if (end == s.npos) end = s.size();
    bool result = term_found(0, end);
    while (end < s.size()) {
        const Ch op = s[end];
        const size_t begin = end + 1;
        end = find_operator(s, begin);
        if (end == s.npos) end = s.size();
        const bool found = term_found(begin, end);
        switch (char_value(op)) {
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

}  // namespace

void build_skip_table(SkipTable& table, std::string_view needle) {
    build_skip(table, needle);
}
void build_skip_table(WideSkipTable& table, std::u32string_view needle) {
    build_skip(table, needle);
}

bool skip_search(const SkipTable& table, std::string_view text, const ByteTable& fold) {
    return skip(table, text, fold);
}
bool skip_search(const WideSkipTable& table, std::u32string_view text, const ByteTable& fold) {
    return skip(table, text, fold);
}

std::optional<size_t> wildcard_find(std::string_view text, std::string_view term,
                                    const ByteTable& fold) {
    return find_wildcard(text, term, fold);
}
std::optional<size_t> wildcard_find(std::u32string_view text, std::u32string_view term,
                                    const ByteTable& fold) {
    return find_wildcard(text, term, fold);
}

bool has_wildcard(std::string_view s) {
    return any_wildcard(s);
}
bool has_wildcard(std::u32string_view s) {
    return any_wildcard(s);
}

bool normal_test(std::string_view s, const SkipTable& table, std::string_view text,
                 const ByteTable& fold) {
    return test_normal(s, table, text, fold);
}
bool normal_test(std::u32string_view s, const WideSkipTable& table, std::u32string_view text,
                 const ByteTable& fold) {
    return test_normal(s, table, text, fold);
}

}  // namespace orbisto::pattern
