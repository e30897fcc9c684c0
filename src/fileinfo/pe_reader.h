// A bounded reader of DOS, 16-bit (NE) and 32/64-bit (PE) Windows program
// headers: what kind of program a file is, what it asks of Windows, and where
// its version resource lies. Every offset and count from the file is checked
// against the file's size before it is used.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace orbisto {

class FileSource;

enum class ExeKind {
    None,  // not a program, or a damaged new header
    Dos,   // "MZ" without a 16- or 32-bit Windows header
    Ne,    // 16-bit Windows or OS/2
    Pe,    // 32- or 64-bit Windows
};

constexpr std::uint8_t kNeTargetWindows = 2;
constexpr std::uint16_t kPeFileDll = 0x2000;
constexpr std::uint16_t kPeSubsystemGui = 2;

struct PeSection {
    std::uint32_t virtual_address = 0;
    std::uint32_t raw_size = 0;
    std::uint32_t raw_offset = 0;
};

struct ExeHeader {
    ExeKind kind = ExeKind::None;
    std::uint32_t new_header = 0;  // file offset of the NE or PE header

    // NE
    std::uint8_t ne_target_os = 0;
    std::uint16_t ne_expected_version = 0;  // major in the high byte, minor in the low byte
    std::uint16_t ne_resource_table = 0;    // offsets from the NE header
    std::uint16_t ne_resident_names = 0;

    // PE
    std::uint16_t pe_characteristics = 0;
    std::uint16_t pe_subsystem = 0;
    std::uint16_t pe_subsystem_major = 0;
    std::uint16_t pe_subsystem_minor = 0;
    std::uint32_t pe_resource_rva = 0;  // 0: no resources
    std::vector<PeSection> pe_sections;
};

// Where a resource's bytes lie in the file.
struct ResourceSpan {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
};

ExeHeader read_exe_header(FileSource& file);

// The version resource (type 16, id 1) of an NE or PE program; none when it
// has none or the resource tables are damaged.
std::optional<ResourceSpan> find_version_resource(FileSource& file, const ExeHeader& exe);

// The file offset of a PE relative virtual address, when a section holds it
// in the file.
std::optional<std::uint64_t> pe_rva_to_offset(const ExeHeader& exe, std::uint32_t rva);

}  // namespace orbisto
