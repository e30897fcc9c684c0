#include "fileinfo/pe_reader.h"

#include <algorithm>
#include <cstring>

#include "fileinfo/file_source.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::uint16_t kResourceTypeVersion = 16;
constexpr std::uint16_t kVersionResourceId = 1;
constexpr std::uint16_t kNeIntegerId = 0x8000;
constexpr std::uint32_t kPeSubdirectory = 0x80000000u;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
// The optional header up to and including the subsystem versions and the
// subsystem itself.
constexpr std::size_t kPeOptionalMinimum = 70;
// Larger shifts would place resources beyond any 32-bit file.
constexpr std::uint16_t kNeMaxAlignShift = 16;

bool pe_read_header(FileSource& file, ExeHeader& exe) {
    std::vector<std::uint8_t> coff;
    if (!file.read_exact(std::uint64_t{exe.new_header} + 4, 20, coff)) return false;
    ByteReader c(coff);
    c.skip(2);
    const std::uint16_t section_count = c.u16le();
    c.skip(12);
    const std::uint16_t optional_size = c.u16le();
    exe.pe_characteristics = c.u16le();
    if (optional_size < kPeOptionalMinimum) return false;

    const std::uint64_t optional_at = std::uint64_t{exe.new_header} + 24;
    std::vector<std::uint8_t> optional;
    if (!file.read_exact(optional_at, optional_size, optional)) return false;
    ByteReader o(optional);
    const std::uint16_t magic = o.u16le();
    if (magic != kPe32Magic && magic != kPe32PlusMagic) return false;
    o.seek(48);
    exe.pe_subsystem_major = o.u16le();
    exe.pe_subsystem_minor = o.u16le();
    o.seek(68);
    exe.pe_subsystem = o.u16le();
    // The data directories follow their count; the resource table is the third.
    const std::size_t count_at = magic == kPe32Magic ? 92 : 108;
    if (o.seek(count_at)) {
        const std::uint32_t dirs = o.u32le();
        if (dirs > 2 && o.skip(2 * 8)) {
            exe.pe_resource_rva = o.u32le();
            if (!o.ok()) exe.pe_resource_rva = 0;
        }
    }

    const std::uint64_t table_at = optional_at + optional_size;
    const std::uint64_t table_size = std::uint64_t{section_count} * 40;
    if (table_at > file.size() || table_size > file.size() - table_at) return false;
    std::vector<std::uint8_t> table;
    if (!file.read_exact(table_at, table_size, table)) return false;
    ByteReader t(table);
    exe.pe_sections.resize(section_count);
    for (PeSection& s : exe.pe_sections) {
        t.skip(12);
        s.virtual_address = t.u32le();
        s.raw_size = t.u32le();
        s.raw_offset = t.u32le();
        t.skip(16);
    }
    return t.ok();
}

bool ne_read_header(FileSource& file, ExeHeader& exe) {
    std::vector<std::uint8_t> ne;
    if (!file.read_exact(exe.new_header, 64, ne)) return false;
    ByteReader r(ne);
    r.seek(0x24);
    exe.ne_resource_table = r.u16le();
    exe.ne_resident_names = r.u16le();
    r.seek(0x36);
    exe.ne_target_os = r.u8();
    r.seek(0x3E);
    exe.ne_expected_version = r.u16le();
    return r.ok();
}

// A bounded view of a PE resource section: directory offsets are relative
// to its start and must stay inside it.
struct PeResourceTree {
    FileSource& file;
    std::uint64_t base;   // file offset of the root directory
    std::uint64_t limit;  // bytes of the section from there on

    // The target of the entry with the given id in the directory at `at`
    // (relative); the wanted ids are tried in order, then the first id
    // entry when `any` is set.
    std::optional<std::uint32_t> find(std::uint32_t at, std::initializer_list<std::uint16_t> ids,
                                      bool any) {
        std::vector<std::uint8_t> head;
        if (at > limit || limit - at < 16 || !file.read_exact(base + at, 16, head)) return {};
        ByteReader h(head);
        h.seek(12);
        const std::uint32_t named = h.u16le();
        const std::uint32_t numbered = h.u16le();
        const std::uint64_t bytes = std::uint64_t{named + numbered} * 8;
        if (limit - at - 16 < bytes) return {};
        std::vector<std::uint8_t> entries;
        if (!file.read_exact(base + at + 16, bytes, entries)) return {};
        for (const std::uint16_t id : ids) {
            ByteReader e(entries);
            e.skip(std::size_t{named} * 8);  // entries named by text come first
            for (std::uint32_t i = 0; i < numbered; ++i) {
                const std::uint32_t name = e.u32le();
                const std::uint32_t target = e.u32le();
                if (name == id) return target;
            }
        }
        if (any && numbered > 0) {
            ByteReader e(entries);
            e.skip(std::size_t{named} * 8 + 4);
            return e.u32le();
        }
        return {};
    }
};

std::optional<ResourceSpan> pe_version_resource(FileSource& file, const ExeHeader& exe) {
    if (exe.pe_resource_rva == 0) return {};
    const std::optional<std::uint64_t> base = pe_rva_to_offset(exe, exe.pe_resource_rva);
    if (!base) return {};
    // The section's bytes in the file from the root directory on.
    std::uint64_t limit = 0;
    for (const PeSection& s : exe.pe_sections) {
        const std::uint64_t start = s.raw_offset, end = start + s.raw_size;
        if (*base >= start && *base < end) limit = end - *base;
    }
    if (*base >= file.size()) return {};
    limit = std::min(limit, file.size() - *base);
    PeResourceTree tree{file, *base, limit};

    // Type, then name, then language: three fixed levels, each of which must
    // lead where it should (two directories, then data), so a damaged tree
    // cannot send the walk round in circles.
    const auto type = tree.find(0, {kResourceTypeVersion}, false);
    if (!type || !(*type & kPeSubdirectory)) return {};
    const auto name = tree.find(*type & ~kPeSubdirectory, {kVersionResourceId}, false);
    if (!name || !(*name & kPeSubdirectory)) return {};
    // Neutral first, then US English, else the first language.
    const auto language = tree.find(*name & ~kPeSubdirectory, {0, 0x409}, true);
    if (!language || (*language & kPeSubdirectory)) return {};

    std::vector<std::uint8_t> leaf;
    if (*language > limit || limit - *language < 16 ||
        !file.read_exact(*base + *language, 16, leaf)) {
        return {};
    }
    ByteReader d(leaf);
    const std::uint32_t data_rva = d.u32le();
    const std::uint32_t size = d.u32le();
    const std::optional<std::uint64_t> at = pe_rva_to_offset(exe, data_rva);
    if (!at) return {};
    return ResourceSpan{*at, size};
}

std::optional<ResourceSpan> ne_version_resource(FileSource& file, const ExeHeader& exe) {
    if (exe.ne_resource_table == 0) return {};
    // The resource table runs up to the resident-name table that follows it.
    const std::uint64_t at = std::uint64_t{exe.new_header} + exe.ne_resource_table;
    std::size_t length = 0xFFFF;
    if (exe.ne_resident_names > exe.ne_resource_table) {
        length = exe.ne_resident_names - exe.ne_resource_table;
    }
    const std::vector<std::uint8_t> table = file.read(at, length);
    ByteReader r(table);
    const std::uint16_t shift = r.u16le();
    if (!r.ok() || shift > kNeMaxAlignShift) return {};
    const std::uint16_t wanted_type = kNeIntegerId | kResourceTypeVersion;
    const std::uint16_t wanted_id = kNeIntegerId | kVersionResourceId;
    // Each type block moves the reader on by at least 8 bytes, so the walk
    // ends within the table.
    for (;;) {
        const std::uint16_t type = r.u16le();
        if (!r.ok() || type == 0) return {};
        const std::uint16_t count = r.u16le();
        r.skip(4);
        if (type != wanted_type) {
            if (!r.skip(std::size_t{count} * 12)) return {};
            continue;
        }
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::uint16_t offset = r.u16le();
            const std::uint16_t units = r.u16le();
            r.skip(2);
            const std::uint16_t id = r.u16le();
            r.skip(4);
            if (!r.ok()) return {};
            if (id == wanted_id) {
                const std::uint64_t size = std::uint64_t{units} << shift;
                return ResourceSpan{
                    std::uint64_t{offset} << shift,
                    static_cast<std::uint32_t>(std::min<std::uint64_t>(size, 0xFFFFFFFFu))};
            }
        }
        return {};
    }
}

}  // namespace

ExeHeader read_exe_header(FileSource& file) {
    ExeHeader exe;
    const std::vector<std::uint8_t> dos = file.read(0, 64);
    if (dos.size() < 2 || dos[0] != 'M' || dos[1] != 'Z') return exe;
    exe.kind = ExeKind::Dos;
    if (dos.size() < 64) return exe;
    ByteReader r(dos);
    r.seek(60);
    exe.new_header = r.u32le();
    // A new header inside the DOS header (e_lfanew 0 and the like) is none.
    if (exe.new_header < 2) return exe;
    const std::vector<std::uint8_t> magic = file.read(exe.new_header, 4);
    if (magic.size() == 4 && std::memcmp(magic.data(), "PE\0\0", 4) == 0) {
        exe.kind = pe_read_header(file, exe) ? ExeKind::Pe : ExeKind::None;
    } else if (magic.size() >= 2 && magic[0] == 'N' && magic[1] == 'E') {
        exe.kind = ne_read_header(file, exe) ? ExeKind::Ne : ExeKind::None;
    }
    return exe;
}

std::optional<std::uint64_t> pe_rva_to_offset(const ExeHeader& exe, std::uint32_t rva) {
    for (const PeSection& s : exe.pe_sections) {
        if (rva >= s.virtual_address && rva - s.virtual_address < s.raw_size) {
            return std::uint64_t{s.raw_offset} + (rva - s.virtual_address);
        }
    }
    return {};
}

std::optional<ResourceSpan> find_version_resource(FileSource& file, const ExeHeader& exe) {
    switch (exe.kind) {
        case ExeKind::Pe:
            return pe_version_resource(file, exe);
        case ExeKind::Ne:
            return ne_version_resource(file, exe);
        default:
            return {};
    }
}

}  // namespace orbisto
