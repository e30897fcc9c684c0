#include "output/output_file.h"

#include "platform/codepage.h"

namespace orbisto {

namespace {

// A larger stream buffer than stdio's default: an export writes millions of
// short lines.
constexpr std::size_t kStreamBuffer = 1 << 20;

}  // namespace

void append_clean(std::string& out, std::string_view text) {
    int blanks = 0;
    for (const char c : text) {
        const char b = static_cast<unsigned char>(c) < 32 ? ' ' : c;
        blanks = b == ' ' ? blanks + 1 : 0;
        if (blanks <= 2) out += b;
    }
}

std::string clean_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    append_clean(out, text);
    return out;
}

std::string_view first_chars(std::string_view text, std::size_t max_chars) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < max_chars && i < text.size(); ++n) {
        char32_t cp = 0;
        const std::size_t len = decode_utf8_char(text, i, cp);
        i += len == 0 ? 1 : len;
    }
    return text.substr(0, i);
}

std::string padded(std::string_view text, std::size_t width, bool left) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size() && chars < width; ++chars) {
        char32_t cp = 0;
        const std::size_t len = decode_utf8_char(text, i, cp);
        i += len == 0 ? 1 : len;
    }
    const std::string fill(width > chars ? width - chars : 0, ' ');
    return left ? std::string(text) + fill : fill + std::string(text);
}

std::string windows1252_of(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = decode_utf8_char(utf8, i, cp);
        const int b = len == 0 ? -1 : cp1252_byte_of(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
        i += len == 0 ? 1 : len;
    }
    return out;
}

std::size_t put_windows1252_field(char* field, std::size_t size, std::string_view utf8) {
    std::size_t n = 0;
    int blanks = 0;
    for (std::size_t i = 0; i < utf8.size() && n < size;) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char b = static_cast<char>(c);
        if (c < 0x80) {
            ++i;
            if (c < 32) b = ' ';
        } else {
            char32_t cp = 0;
            const std::size_t len = decode_utf8_char(utf8, i, cp);
            const int w = len == 0 ? -1 : cp1252_byte_of(cp);
            b = w < 0 ? '?' : static_cast<char>(w);
            i += len == 0 ? 1 : len;
        }
        blanks = b == ' ' ? blanks + 1 : 0;
        if (blanks <= 2) field[n++] = b;
    }
    return n;
}

OutputFile::~OutputFile() {
    if (file_) std::fclose(file_);
}

bool OutputFile::open(const std::string& path, bool append, TextEncoding encoding) {
    if (file_) return false;
    file_ = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (!file_) return false;
    std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
    encoding_ = encoding;
    ok_ = true;
    written_ = 0;
    return true;
}

void OutputFile::text(std::string_view utf8) {
    if (encoding_ == TextEncoding::Utf8) return bytes(utf8);
    bool ascii = true;
    for (const char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return bytes(utf8);
    convert_ = windows1252_of(utf8);
    bytes(convert_);
}

void OutputFile::bytes(std::string_view raw) {
    if (!file_ || !ok_ || raw.empty()) return;
    if (std::fwrite(raw.data(), 1, raw.size(), file_) != raw.size()) {
        ok_ = false;
        return;
    }
    written_ += raw.size();
}

void OutputFile::patch(std::uint64_t offset, std::string_view raw) {
    if (!file_ || !ok_) return;
    if (std::fflush(file_) != 0 || std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fwrite(raw.data(), 1, raw.size(), file_) != raw.size() ||
        std::fseek(file_, 0, SEEK_END) != 0) {
        ok_ = false;
    }
}

bool OutputFile::close() {
    if (!file_) return ok_;
    if (std::fflush(file_) != 0) ok_ = false;
    if (std::fclose(file_) != 0) ok_ = false;
    file_ = nullptr;
    return ok_;
}

}  // namespace orbisto
