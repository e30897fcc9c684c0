// Recognising archive types by the bytes at the start of a file (or of the
// data appended to a program), so that the right packer can be chosen.
//
// The classification itself works on a ByteSource: a size and bounded reads
// at offsets. The file wrapper reads a regular file that way; tests and the
// fuzzer classify bytes held in memory with the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace orbisto {

// The archive type: the first little-endian 16-bit word of the signature.
enum class ArchiveType : std::uint16_t {
    Unknown = 0,
    Program = 0x5A4D,           // "MZ": the appended data are looked at instead
    ZIP = 0x4B50,               // "PK"
    ARJ = 0xABC0,               // C0 AB; the 60 EA that ARJ writes is read as this
    ACE = 0xA1EB,               // EB A1
    RAR = 0x6152,               // "Ra"
    UC2 = 0x4355,               // "UC"
    ZOO = 0x4F5A,               // "ZO"
    I3COMP = 0x5D13,            // 13 5D: InstallShield 3 compressed file
    CAB = 0x534D,               // "MS": Windows cabinet
    InstallShieldCab = 0x5349,  // "IS"
    CabInProgram = 0x0815,      // cabinet or IExpress package inside a program (set, not read)
};

// Second word of an LHA archive: "-l" at offset 2.
inline constexpr std::uint16_t kLhaMark = 0x6C2D;
// Third word of an InstallShield cabinet of the newer kind (ISCAB/I6COMP).
inline constexpr std::uint16_t kNewerInstallShieldCab = 0x5201;

// The first 6 bytes of the file or of the appended data, as three words.
struct ArchiveSignature {
    std::uint16_t word[3] = {0, 0, 0};

    ArchiveType type() const { return static_cast<ArchiveType>(word[0]); }
    bool is(ArchiveType t) const { return type() == t; }
    bool is_lha() const { return word[1] == kLhaMark; }
    // An "IS" cabinet of the newer kind; other "IS" cabinets are the older.
    bool is_newer_installshield_cab() const {
        return is(ArchiveType::InstallShieldCab) && word[2] == kNewerInstallShieldCab;
    }
    // One of the archive types of the table (LHA by its second word).
    bool known() const;
};

// Full expansion looks harder for cabinets inside programs than the search
// for descriptions does.
enum class ClassifyMode { Description, FullExpansion };

// Bytes the full expansion searches of the appended data for "MSCF" and
// "WEXTRACT"; the description mode searches its window from a fixed offset.
inline constexpr std::size_t kFullSearchBytes = 128000;
inline constexpr std::uint64_t kDescriptionSearchOffset = 32700;
inline constexpr std::size_t kDescriptionSearchBytes = 40000;
// Bytes at the end of the file searched for a ZIP end record.
inline constexpr std::size_t kZipEndSearchBytes = 2048;

// What the classification needs of a file: its size and bounded reads.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Up to n bytes from offset; fewer, or none, where the data end first.
    virtual std::string read(std::uint64_t offset, std::size_t n) const = 0;
};

// Bytes in memory as a ByteSource.
class MemoryByteSource : public ByteSource {
  public:
    explicit MemoryByteSource(std::string_view data) : data_(data) {}
    std::uint64_t size() const override { return data_.size(); }
    std::string read(std::uint64_t offset, std::size_t n) const override;

  private:
    std::string_view data_;
};

// Classifies the data of `source`:
//  1. the first 6 bytes (missing bytes count as 0);
//  2. "MZ": the 6 bytes at the appended data, (word 3 - 1) * 512 + word 2
//     (word 2 = 0 counts as 512), when that lies inside the data, else unknown;
//  3. not a known type: a ZIP end record (50 4B 05 06) in the last 2048 bytes
//     makes it ZIP;
//  4. full expansion: a cabinet ("MS") appended to a program becomes
//     CabInProgram;
//  5. still unknown: "WEXTRACT" (and, in full expansion, "MSCF") in up to
//     128000 bytes from the appended data (full expansion) or 40000 bytes
//     from offset 32700 (description) makes it CabInProgram.
ArchiveSignature ClassifyArchiveSource(const ByteSource& source, ClassifyMode mode);

// The same over bytes in memory.
ArchiveSignature ClassifyArchiveBytes(std::string_view data, ClassifyMode mode);

// Classifies the regular file at `path` (symbolic links, devices and FIFOs
// are not opened). `size` is the size the directory listing gave; when the
// file has changed since, its present size counts, because the reads must
// match it. A file that cannot be read is unknown.
ArchiveSignature ClassifyArchive(const std::string& path, std::uint64_t size, ClassifyMode mode);

// Whether a file of this name may be a container and is classified at all:
// ".EXE" with EXE on, ".Z" and ".1" to ".5" with COMPRESS or GZ on, ".CAB"
// with COMPRESS or EXTRACT on (endings in any case).
bool IsClassifiedArchiveName(const Options& options, std::string_view name);

}  // namespace orbisto
