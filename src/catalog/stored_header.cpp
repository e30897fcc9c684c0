#include "catalog/stored_header.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/codepage.h"

namespace orbisto {

namespace {

// The fields other than texts, the same in both forms.
template <class To, class From>
void copy_header_numbers(To& to, const From& from) {
    to.version = from.version;
    to.free_kb = from.free_kb;
    to.drive_type = from.drive_type;
    to.text_encoding = from.text_encoding;
    to.medium_flags = from.medium_flags;
    to.category = from.category;
    to.volume_serial = from.volume_serial;
    to.dir_count = from.dir_count;
    to.file_count = from.file_count;
    to.total_kb = from.total_kb;
    to.catalog_number = from.catalog_number;
    to.names_size = from.names_size;
    to.images_size = from.images_size;
}

template <class To, class From>
void copy_info_numbers(To& to, const From& from) {
    std::memcpy(to.reserved, from.reserved, sizeof to.reserved);
    to.description_length = from.description_length;
}

// Calls fn(memory field, stored field) for every text of the header or the
// info block.
template <class M, class S, class Fn>
void each_header_text(M& m, S& s, Fn&& fn) {
    fn(m.volume_label, s.volume_label);
    fn(m.medium_name, s.medium_name);
}

template <class M, class S, class Fn>
void each_info_text(M& m, S& s, Fn&& fn) {
    fn(m.manufacturer, s.manufacturer);
    fn(m.supplier, s.supplier);
    fn(m.order_number, s.order_number);
    fn(m.price, s.price);
    fn(m.lent_to, s.lent_to);
    fn(m.lent_from, s.lent_from);
    fn(m.lent_until, s.lent_until);
    fn(m.number, s.number);
    fn(m.place, s.place);
}

// The UTF-8 text as Windows-1252; a character without a byte there becomes
// '?' (only reached when a caller stores a text it did not check first).
std::string to_cp1252_lossy(std::string_view utf8) {
    if (auto exact = utf8_to_cp1252(utf8)) return *exact;
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = (lead & 0xE0) == 0xC0   ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
                                                  : 1;
        len = std::min(len, utf8.size() - i);
        const auto one = utf8_to_cp1252(utf8.substr(i, len));
        out += one && one->size() == 1 ? (*one)[0] : '?';
        i += len;
    }
    return out;
}

struct Decode {
    bool utf8;
    template <std::size_t N>
    void operator()(TextField<N>& m, const char (&s)[N]) const {
        const std::string_view raw = fixed_text(s);
        // A UTF-8 field that is not valid UTF-8 is read as Windows-1252, like
        // any text of unknown origin.
        const std::string text = utf8 ? text_to_utf8(raw) : cp1252_to_utf8(raw);
        // Only what the field holds with its NUL: a field that lacks it (a
        // damaged file) gives up its last character here instead of being
        // cut to what fits as UTF-8 when the medium is stored again.
        const std::size_t n = stored_prefix_length(text, N - 1);
        std::memcpy(m.bytes, text.data(), n);
        std::memset(m.bytes + n, 0, sizeof m.bytes - n);
    }
};

struct Encode {
    bool utf8;
    template <std::size_t N>
    void operator()(const TextField<N>& m, char (&s)[N]) const {
        const std::string_view text = fixed_text(m);
        const std::string bytes =
            utf8 ? cut_utf8(text, N - 1) : to_cp1252_lossy(text).substr(0, N - 1);
        std::memcpy(s, bytes.data(), bytes.size());
        std::memset(s + bytes.size(), 0, N - bytes.size());
    }
};

struct Fits {
    bool utf8;
    bool* all;
    template <std::size_t N>
    void operator()(const TextField<N>& m, const char (&)[N]) const {
        const std::string_view text = fixed_text(m);
        if (utf8) {
            if (text.size() > N - 1) *all = false;
            return;
        }
        const auto bytes = utf8_to_cp1252(text);
        if (!bytes || bytes->size() > N - 1) *all = false;
    }
};

bool is_utf8(std::uint16_t encoding) {
    return encoding == TEXT_ENCODING_UTF8;
}

}  // namespace

MediumHeader header_from_stored(const StoredMediumHeader& stored) {
    MediumHeader h;
    copy_header_numbers(h, stored);
    each_header_text(h, stored, Decode{is_utf8(stored.text_encoding)});
    return h;
}

MediumHeader header_from_stored(std::span<const std::uint8_t, kStoredHeaderSize> bytes) {
    StoredMediumHeader stored;
    std::memcpy(&stored, bytes.data(), sizeof stored);
    return header_from_stored(stored);
}

MediumInfo info_from_stored(const StoredMediumInfo& stored, std::uint16_t encoding) {
    MediumInfo info;
    copy_info_numbers(info, stored);
    each_info_text(info, stored, Decode{is_utf8(encoding)});
    return info;
}

bool header_fits(const MediumHeader& header, std::uint16_t encoding) {
    bool all = true;
    const StoredMediumHeader shape;
    each_header_text(header, shape, Fits{is_utf8(encoding), &all});
    return all;
}

bool info_fits(const MediumInfo& info, std::uint16_t encoding) {
    bool all = true;
    const StoredMediumInfo shape;
    each_info_text(info, shape, Fits{is_utf8(encoding), &all});
    return all;
}

StoredMediumHeader header_to_file(const MediumHeader& header, std::uint16_t encoding) {
    StoredMediumHeader s;
    copy_header_numbers(s, header);
    s.text_encoding = is_utf8(encoding) ? TEXT_ENCODING_UTF8 : TEXT_ENCODING_CP1252;
    each_header_text(header, s, Encode{is_utf8(encoding)});
    return s;
}

StoredMediumInfo info_to_file(const MediumInfo& info, std::uint16_t encoding) {
    StoredMediumInfo s;
    copy_info_numbers(s, info);
    each_info_text(info, s, Encode{is_utf8(encoding)});
    return s;
}

std::array<std::uint8_t, kStoredHeaderSize> header_to_stored(const MediumHeader& header) {
    const std::uint16_t encoding =
        header_fits(header, TEXT_ENCODING_CP1252) ? TEXT_ENCODING_CP1252 : TEXT_ENCODING_UTF8;
    const StoredMediumHeader s = header_to_file(header, encoding);
    std::array<std::uint8_t, kStoredHeaderSize> out{};
    std::memcpy(out.data(), &s, sizeof s);
    return out;
}

}  // namespace orbisto
