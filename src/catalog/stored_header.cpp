#include "catalog/stored_header.h"

#include <cstring>
#include <string>

#include "platform/codepage.h"

namespace orbisto {

namespace {

// Re-stores a text field as UTF-8, always NUL-terminated (a field read from a
// file may fill its whole width). A UTF-8 field that is not valid UTF-8 is
// read as Windows-1252, like any text of unknown origin.
template <std::size_t N>
void field_to_utf8(char (&field)[N], bool stored_as_utf8) {
    std::string text(fixed_text(field));
    if (stored_as_utf8) {
        text = text_to_utf8(text);
    } else if (!is_ascii(text)) {
        text = cp1252_to_utf8(text);
    }
    // Cuts at a character boundary when the UTF-8 form is longer than the field.
    set_fixed_text(field, text);
}

}  // namespace

MediumHeader header_from_stored(std::span<const std::uint8_t, kStoredHeaderSize> bytes) {
    MediumHeader h;
    std::memcpy(&h, bytes.data(), sizeof h);
    const bool utf8 = h.text_encoding == TEXT_ENCODING_UTF8;
    field_to_utf8(h.volume_label, utf8);
    field_to_utf8(h.medium_name, utf8);
    return h;
}

std::array<std::uint8_t, kStoredHeaderSize> header_to_stored(const MediumHeader& header) {
    MediumHeader h = header;
    const auto label = utf8_to_cp1252(fixed_text(header.volume_label));
    const auto name = utf8_to_cp1252(fixed_text(header.medium_name));
    if (label && name) {
        h.text_encoding = TEXT_ENCODING_CP1252;
        // Windows-1252 is never longer than its UTF-8 form, so both fit.
        std::memset(h.volume_label, 0, sizeof h.volume_label);
        std::memcpy(h.volume_label, label->data(), label->size());
        std::memset(h.medium_name, 0, sizeof h.medium_name);
        std::memcpy(h.medium_name, name->data(), name->size());
    } else {
        h.text_encoding = TEXT_ENCODING_UTF8;
    }
    std::array<std::uint8_t, kStoredHeaderSize> out{};
    std::memcpy(out.data(), &h, sizeof h);
    return out;
}

}  // namespace orbisto
