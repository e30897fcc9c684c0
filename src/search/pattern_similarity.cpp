#include "search/pattern_similarity.h"

namespace orbisto::pattern {
namespace {

unsigned char normalise_byte(unsigned char c, bool utf8) {
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
        default:
            break;
    }
    if (utf8) return c;
    switch (c) {
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

// Hits and counted size of the grams of size n.
void count_grams(std::string_view s, size_t n, std::string_view text, double& hits, double& total) {
    if (s.size() < n) return;
    size_t i = 0;
    while (i + n <= s.size()) {
        const std::string_view gram = s.substr(i, n);
        if (gram[n - 2] == ' ' && gram[0] != ' ') {
            i += n - 2;  // continue at that blank
            continue;
        }
        total += static_cast<double>(n);
        if (text.find(gram) != std::string_view::npos) hits += static_cast<double>(n);
        ++i;
    }
}

void normalise_append(std::string_view in, bool utf8, std::string& out) {
    in = in.substr(0, kSimilarityMaxLength);
    const size_t base = out.size();
    out.resize(base + in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        if (utf8 && c == 0xC3 && i + 1 < in.size()) {
            auto n = static_cast<unsigned char>(in[i + 1]);
            if (n == 0x84 || n == 0x96 || n == 0x9C) n = static_cast<unsigned char>(n + 0x20);
            out[base + i] = static_cast<char>(c);
            out[base + i + 1] = static_cast<char>(n);
            ++i;
            continue;
        }
        out[base + i] = static_cast<char>(normalise_byte(c, utf8));
    }
}

}  // namespace

void similarity_normalise(std::string_view in, bool utf8, std::string& out) {
    out.clear();
    normalise_append(in, utf8, out);
}

void prepare_similarity(SimilarityPattern& p, std::string_view search, bool utf8) {
    similarity_normalise(search, utf8, p.normalised);
    p.second_gram = p.normalised.size() > 6 ? 5 : 2;
}

double similarity_rate(const SimilarityPattern& p, std::string_view text, bool utf8,
                       std::string& scratch) {
    if (text.size() >= kSimilarityMaxLength) return -1.0;
    scratch.assign(1, ' ');
    normalise_append(text, utf8, scratch);
    double hits = 0;
    double total = 0;
    count_grams(p.normalised, 3, scratch, hits, total);
    count_grams(p.normalised, static_cast<size_t>(p.second_gram), scratch, hits, total);
    if (total <= 0) return 0.0;
    return hits * 100.0 / total;
}

}  // namespace orbisto::pattern
