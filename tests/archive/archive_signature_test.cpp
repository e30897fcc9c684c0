// Archive recognition: archives made here by the real packers, programs with
// archives appended, and written-out headers for the formats no Linux tool
// writes (ACE, UC2, ZOO, RAR, LHA, InstallShield cabinets and compressed files).
#include "archive/archive_signature.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using enum ArchiveType;
using namespace std::string_literals;
constexpr auto kFull = ClassifyMode::FullExpansion;
constexpr auto kDesc = ClassifyMode::Description;

// A DOS program header whose size words put the appended data at `offset`.
std::string mz_stub(std::size_t offset) {
    const std::size_t last = offset % 512, pages = (offset + 511) / 512;
    std::string s = {'M', 'Z', char(last & 0xFF), char(last >> 8), char(pages), char(pages >> 8)};
    s.resize(offset, '\0');
    return s;
}

// The type, with every word outside the table as Unknown.
ArchiveType kind(const ArchiveSignature& sig) {
    return sig.known() ? sig.type() : Unknown;
}
ArchiveType type_of(std::string_view bytes, ClassifyMode mode = kFull) {
    return kind(ClassifyArchiveBytes(bytes, mode));
}

TEST(ArchiveFiles, ArchivesMadeByThePackersAreRecognisedAlsoWhenAppendedToPrograms) {
    test::TempDir tmp;
    tmp.write("member.txt", std::string(3000, 'm'));
    const auto classify = [&](const std::string& bytes, ClassifyMode mode = kFull) {
        return kind(ClassifyArchive(tmp.write("f", bytes), bytes.size(), mode));
    };
    const std::string elf = std::string(1, '\x7F') + "ELF" + std::string(5000, '\x01');
    // Per tool: the type alone, behind a DOS program (full expansion) and behind an ELF
    // program, where a ZIP shows by its end record and a cabinet by "MSCF".
    struct Case {
        const char *tool, *command, *name;
        ArchiveType alone, program, elf;
    };
    // clang-format off
    const Case cases[] = {{"zip", "zip -q", "a.zip", ZIP, ZIP, ZIP},
                          {"arj", "arj a", "a.arj", ARJ, ARJ, Unknown},
                          {"gcab", "gcab -c", "a.cab", CAB, CabInProgram, CabInProgram},
                          {"7z", "7z a", "a.7z", Unknown, Unknown, Unknown}};
    // clang-format on
    std::string missing;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);  // the checks below are per tool
        const std::string cmd = "cd '" + tmp.path() + "' && " + c.command + " " + c.name +
                                " member.txt >/dev/null 2>&1";
        const auto archive =
            std::system(cmd.c_str()) == 0 ? read_file(tmp.file(c.name)) : std::nullopt;
        if (!archive) {
            missing += std::string(" ") + c.tool;
            continue;
        }
        EXPECT_EQ(classify(*archive), c.alone);
        // Self-extracting: a DOS program whose header ends where the archive starts.
        EXPECT_EQ(classify(mz_stub(1000) + *archive), c.program);
        EXPECT_EQ(classify(mz_stub(1000) + *archive, kDesc), c.alone);
        EXPECT_EQ(classify(elf + *archive), c.elf);
    }
    const std::string zip = tmp.write("real.zip", "PK\x03\x04"s + std::string(60, '\0'));
    ASSERT_EQ(::symlink(zip.c_str(), tmp.file("link.zip").c_str()), 0);
    ASSERT_EQ(::mkfifo(tmp.file("fifo.exe").c_str(), 0600), 0);
    for (const char* name : {"link.zip", "fifo.exe", "missing.exe", "."}) {
        EXPECT_EQ(kind(ClassifyArchive(tmp.file(name), 64, kFull)), Unknown) << name;
    }
    if (!missing.empty()) GTEST_SKIP() << "not installed:" << missing;
}

TEST(ArchiveSignatureBytes, HeadersHostileProgramsAndTheSearchWindowsOfBothModes) {
    const std::string pad(64, '\0'), lying = "MZ\xFF\xFF\xFF\xFF"s;
    const auto at = [](std::size_t offset, std::string_view mark) {  // behind a 600-byte program
        return mz_stub(600) + std::string(offset, 'x') + std::string(mark) + std::string(3000, 'y');
    };
    constexpr std::size_t kDescEnd = kDescriptionSearchOffset + kDescriptionSearchBytes - 600;
    // clang-format off
    const struct { std::string bytes; ArchiveType full, desc; } cases[] = {
        {"ZOO 2.10 Archive.\x1A"s + pad, ZOO, ZOO}, {"\xC0\xAB"s + pad, ARJ, ARJ},
        {"\x15\x08"s + pad, Unknown, Unknown},  // the inside-a-program mark is set, never read
        {"PK\x03"s, ZIP, ZIP},                  // a start is enough; the packer judges the rest
        {"", Unknown, Unknown}, {lying, Unknown, Unknown}, {mz_stub(1024), Unknown, Unknown},
        {"MZ\x00\x00\x01\x00Rar!"s, Unknown, Unknown},
        {"MZ\x06\x00\x01\x00Rar!"s, RAR, RAR},  // right behind the header
        {lying + "PK\x05\x06"s, ZIP, ZIP},      // the end record tells whatever the header says
        {at(1000, "MSCF"), CabInProgram, Unknown},  // cabinets only in full expansion
        {at(kFullSearchBytes - 8, "WEXTRACT"), CabInProgram, Unknown},
        {at(kFullSearchBytes - 7, "WEXTRACT"), Unknown, Unknown},
        {at(kDescEnd - 8, "WEXTRACT"), CabInProgram, CabInProgram},
        {at(kDescEnd - 7, "WEXTRACT"), CabInProgram, Unknown},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::string trace = testing::PrintToString(c.bytes.substr(0, 16));
        EXPECT_EQ(type_of(c.bytes, kFull), c.full) << trace << " of " << c.bytes.size();
        EXPECT_EQ(type_of(c.bytes, kDesc), c.desc) << trace << " of " << c.bytes.size();
    }
    // A stored member's ZIP record does not turn an LHA archive into a ZIP.
    EXPECT_TRUE(ClassifyArchiveBytes("\x1A\x00-lh5-"s + pad + "PK\x05\x06"s + pad, kFull).is_lha());
    EXPECT_TRUE(ClassifyArchiveBytes("ISc(\x01\x52"s + pad, kFull).is_newer_installshield_cab());
}

TEST(ArchiveNames, OnlyPossibleContainersAreClassifiedAndEachNeedsItsSwitch) {
    // Per name: which of the switches EXE, COMPRESS, GZ, EXTRACT alone make it classified.
    // clang-format off
    const struct { const char* name; bool by[4]; } cases[] = {
        {"setup.exe", {1, 0, 0, 0}}, {"disk.1", {0, 1, 1, 0}}, {"data1.Cab", {0, 1, 0, 1}},
        {"disk.6", {0, 0, 0, 0}}, {"a.exe.txt", {0, 0, 0, 0}},
    };
    // clang-format on
    for (const auto& c : cases) {
        for (int on = 0; on < 4; ++on) {
            Options o;
            o.use_exe = on == 0, o.use_compress = on == 1, o.use_gz = on == 2,
            o.use_extract = on == 3;
            EXPECT_EQ(IsClassifiedArchiveName(o, c.name), c.by[on]) << c.name << " switch " << on;
        }
    }
}

}  // namespace
}  // namespace orbisto
