// Declared in extractors.h: the description of a 16-bit Windows font file.
#include <cstring>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::size_t kFonNameBytes = 4096;

}  // namespace

// The name is read where the entry table ends: in a font file the
// non-resident names follow it, and their first entry (after its length
// byte) is the font's description ("FONTRES 100,96,96 : System").
int ExtractFonName(FileInfoJob& job) {
    std::vector<std::uint8_t> dos, head;
    if (!job.file.read_exact(0, 64, dos)) return 0;
    ByteReader d(dos);
    d.seek(60);
    const std::uint32_t new_header = d.u32le();
    if (!job.file.read_exact(new_header, 8, head)) return 0;
    ByteReader h(head);
    if (h.u8() != 'N' || h.u8() != 'E') return 0;
    h.skip(2);
    const std::uint16_t entry_table = h.u16le();
    const std::uint16_t entry_length = h.u16le();
    const std::uint64_t at = std::uint64_t{new_header} + entry_table + entry_length + 1;
    const std::vector<std::uint8_t> names = job.file.read(at, kFonNameBytes - 1);
    // Offsets that point past the end are a damaged file, not an empty name.
    if (names.empty()) return 0;
    const auto* p = reinterpret_cast<const char*>(names.data());
    job.result.scratch_text.assign(p, strnlen(p, names.size()));
    return 1;
}

}  // namespace orbisto
