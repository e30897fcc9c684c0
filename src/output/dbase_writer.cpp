#include "output/dbase_writer.h"

#include <array>
#include <cstring>
#include <string_view>

namespace orbisto {

namespace {

struct DbaseField {
    const char* german;
    const char* english;
    std::size_t length;
};

constexpr std::array<DbaseField, 7> kFields = {{
    {"CD", "CD", 40},
    {"Dateiname", "filename", 112},
    {"ext", "ext", 16},
    {"Laenge", "length", 16},
    {"Datum", "date", 24},
    {"Pfad", "path", 112},
    {"info", "info", 192},
}};
constexpr std::size_t kDataSize = kDbaseRecordSize - 1;
constexpr std::size_t kInfoChars = 192;

void put_u16(std::string& s, std::size_t at, std::uint16_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

std::string le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

}  // namespace

void DbaseWriter::begin() {
    std::string h(kDbaseHeaderSize, '\0');
    h[0] = 0x03;  // dBase III without memo
    h[1] = 0x60;  // last update: 1996-01-01
    h[2] = 0x01;
    h[3] = 0x01;
    put_u16(h, 8, kDbaseHeaderSize);
    put_u16(h, 10, kDbaseRecordSize);
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const std::size_t at = 32 + 32 * i;
        const char* name = style_.english ? kFields[i].english : kFields[i].german;
        std::memcpy(&h[at], name, std::strlen(name));
        h[at + 11] = 'C';
        h[at + 16] = static_cast<char>(kFields[i].length);
    }
    h[kDbaseHeaderSize - 1] = 0x0D;
    out_.bytes(h);
}

void DbaseWriter::record(const TableRecord& r) {
    const std::array<std::string_view, 7> values = {r.medium_name,
                                                    r.name,
                                                    r.extension,
                                                    r.size,
                                                    r.date,
                                                    r.path,
                                                    first_chars(r.comment, kInfoChars)};
    buffer_.assign(kDbaseRecordSize, ' ');  // deletion flag and blank fill
    std::size_t at = 1;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        put_windows1252_field(&buffer_[at], kFields[i].length, values[i]);
        at += kFields[i].length;
    }
    out_.bytes(buffer_);
    if (out_.ok()) ++records_;
}

void DbaseWriter::finish() {
    out_.bytes("\x1A");
    out_.patch(4, le32(records_));
}

}  // namespace orbisto
