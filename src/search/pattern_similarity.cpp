#include "search/pattern_similarity.h"

#include "search/pattern_text.h"

namespace orbisto::pattern {
namespace {

unsigned char normalise_byte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    if (c < '0') return ' ';
    switch (c) {
        case ':':
        case ';':
        case '<':
        case '=':
        case '>':
        case '?':
        case '[':
        case ']':
            return ' ';
        case 196:
            return 228;  // Ä
        case 214:
            return 246;  // Ö
        case 220:
            return 252;  // Ü
        case 142:
            return 132;  // code page 850 Ä
        case 153:
            return 148;  // code page 850 Ö
        case 154:
            return 129;  // code page 850 Ü
        default:
            return c;
    }
}

// The normalisation of one character; characters outside Windows-1252 stay.
template <class Ch>
Ch normalise_char(Ch c) {
    const std::uint32_t v = char_value(c);
    return v < 256 ? static_cast<Ch>(normalise_byte(static_cast<unsigned char>(v))) : c;
}

// Hits and counted size of the grams of size n.
template <class Ch>
void count_grams(std::basic_string_view<Ch> s, size_t n, std::basic_string_view<Ch> text,
                 double& hits, double& total) {
    if (s.size() < n) return;
    size_t i = 0;
    while (i + n <= s.size()) {
        const std::basic_string_view<Ch> gram = s.substr(i, n);
        if (gram[n - 2] == ' ' && gram[0] != ' ') {
            i += n - 2;  // continue at that blank
            continue;
        }
        total += static_cast<double>(n);
        if (text.find(gram) != text.npos) hits += static_cast<double>(n);
        ++i;
    }
}

template <class Ch>
void normalise_append(std::basic_string_view<Ch> in, std::basic_string<Ch>& out) {
    in = in.substr(0, kSimilarityMaxLength);
    const size_t base = out.size();
    out.resize(base + in.size());
    for (size_t i = 0; i < in.size(); ++i) out[base + i] = normalise_char(in[i]);
}

template <class Ch>
void prepare(BasicSimilarityPattern<Ch>& p, std::basic_string_view<Ch> search) {
    p.normalised.clear();
    normalise_append(search, p.normalised);
    p.second_gram = p.normalised.size() > 6 ? 5 : 2;
}

template <class Ch>
double rate(const BasicSimilarityPattern<Ch>& p, std::basic_string_view<Ch> text,
            std::basic_string<Ch>& scratch) {
    if (text.size() >= kSimilarityMaxLength) return -1.0;
    scratch.assign(1, Ch(' '));
    normalise_append(text, scratch);
    const std::basic_string_view<Ch> s = p.normalised;
    const std::basic_string_view<Ch> t = scratch;
    double hits = 0;
    double total = 0;
    count_grams(s, 3, t, hits, total);
    count_grams(s, static_cast<size_t>(p.second_gram), t, hits, total);
    if (total <= 0) return 0.0;
    return hits * 100.0 / total;
}

}  // namespace

void similarity_normalise(std::string_view in, std::string& out) {
    out.clear();
    normalise_append(in, out);
}
void similarity_normalise(std::u32string_view in, std::u32string& out) {
    out.clear();
    normalise_append(in, out);
}

void prepare_similarity(SimilarityPattern& p, std::string_view search) {
    prepare(p, search);
}
void prepare_similarity(WideSimilarityPattern& p, std::u32string_view search) {
    prepare(p, search);
}

double similarity_rate(const SimilarityPattern& p, std::string_view text, std::string& scratch) {
    return rate(p, text, scratch);
}
double similarity_rate(const WideSimilarityPattern& p, std::u32string_view text,
                       std::u32string& scratch) {
    return rate(p, text, scratch);
}

}  // namespace orbisto::pattern
