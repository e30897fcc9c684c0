// Declared in extractors.h: the full name of a TrueType font.
#include <algorithm>
#include <cstring>
#include <optional>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/utf16_text.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::uint16_t kTtfFullNameId = 4;
// The most bytes of a name that are read (a name is far shorter).
constexpr std::size_t kTtfNameBytes = 4094;

// Names of the Unicode platform, of the ISO platform's Unicode encoding and
// of the Windows platform are UTF-16 (big-endian); the others are 8-bit.
bool ttf_is_utf16(std::uint16_t platform, std::uint16_t encoding) {
    return platform == 0 || platform == 3 || (platform == 2 && encoding == 1);
}

}  // namespace

int ExtractTtfName(FileInfoJob& job) {
    FileSource& file = job.file;
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, 12, head)) return 0;
    ByteReader h(head);
    h.seek(4);
    const std::uint16_t table_count = h.u16be();

    // The table directory up to the "name" table; the records that are there.
    const std::vector<std::uint8_t> tables = file.read(12, std::size_t{table_count} * 16);
    ByteReader t(tables);
    std::optional<std::uint32_t> name_table;
    for (std::uint16_t i = 0; i < table_count && t.has(16); ++i) {
        const auto tag = t.bytes(4);
        t.skip(4);
        const std::uint32_t offset = t.u32be();
        t.skip(4);
        if (std::memcmp(tag.data(), "name", 4) == 0) {
            name_table = offset;
            break;
        }
    }
    if (!name_table) return 0;

    std::vector<std::uint8_t> name_head;
    if (!file.read_exact(*name_table, 6, name_head)) return 0;
    ByteReader n(name_head);
    n.skip(2);
    const std::uint16_t count = n.u16be();
    const std::uint16_t strings = n.u16be();
    if (count == 0) return 0;

    // The first full-name record (the low byte of its id is 4), or the last
    // record when none is; a file that ends before either is damaged.
    const std::size_t wanted = std::size_t{count} * 12;
    const std::vector<std::uint8_t> records = file.read(std::uint64_t{*name_table} + 6, wanted);
    ByteReader list(records);
    std::span<const std::uint8_t> chosen;
    bool full_name = false;
    while (!full_name && list.has(12)) {
        chosen = list.bytes(12);
        ByteReader id(chosen);
        id.seek(6);
        full_name = (id.u16be() & 0xFF) == kTtfFullNameId;
    }
    if (chosen.empty() || (!full_name && records.size() < wanted)) return 0;
    ByteReader c(chosen);
    const std::uint16_t platform = c.u16be();
    const std::uint16_t encoding = c.u16be();
    c.skip(4);
    const std::uint16_t length = c.u16be();
    const std::uint16_t offset = c.u16be();

    const std::uint64_t at = std::uint64_t{*name_table} + strings + offset;
    std::vector<std::uint8_t> text;
    if (!file.read_exact(at, std::min<std::size_t>(length, kTtfNameBytes), text)) return 0;
    if (ttf_is_utf16(platform, encoding)) {
        job.result.scratch_text = utf16_to_utf8(text, true);
    } else if (!text.empty()) {  // a name of length 0 stays empty
        const auto* p = reinterpret_cast<const char*>(text.data());
        job.result.scratch_text.assign(p, strnlen(p, text.size()));
    }
    return 1;
}

}  // namespace orbisto
