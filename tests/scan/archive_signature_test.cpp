// Archive recognition: archives made here by the real packers, programs with
// archives appended, and written-out headers for the formats no Linux tool
// writes (ACE, UC2, ZOO, RAR, InstallShield cabinets and compressed files).
#include "scan/archive_signature.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

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
    std::string s = "MZ";
    s += static_cast<char>(offset % 512), s += static_cast<char>((offset % 512) >> 8);
    const std::size_t pages = (offset + 511) / 512;
    s += static_cast<char>(pages & 0xFF), s += static_cast<char>(pages >> 8);
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

class ArchiveFiles : public ::testing::Test {
  protected:
    test::TempDir tmp;
    // Packs a small text with `command` (run in the directory, %s = archive);
    // empty when the tool is missing.
    std::string pack(const std::string& tool, const std::string& command, const std::string& name) {
        if (std::system(("command -v " + tool + " >/dev/null").c_str()) != 0) return {};
        tmp.write("member.txt", std::string(3000, 'm'));
        const std::string cmd =
            "cd '" + tmp.path() + "' && " + command + " " + name + " member.txt >/dev/null 2>&1";
        return std::system(cmd.c_str()) == 0 ? *read_file(tmp.file(name)) : std::string();
    }
    ArchiveSignature classify(const std::string& name, const std::string& bytes) {
        return ClassifyArchive(tmp.write(name, bytes), bytes.size(), kFull);
    }
};

TEST_F(ArchiveFiles, ArchivesMadeByThePackersAreRecognisedAlsoWhenAppendedToPrograms) {
    struct Case {
        const char* tool;
        const char* command;
        const char* name;
        ArchiveType type;
    };
    for (const Case& c :
         {Case{"zip", "zip -q", "a.zip", ZIP}, Case{"arj", "arj a", "a.arj", ARJ},
          Case{"gcab", "gcab -c", "a.cab", CAB}, Case{"7z", "7z a", "a.7z", Unknown}}) {
        SCOPED_TRACE(c.tool);
        const std::string archive = pack(c.tool, c.command, c.name);
        if (archive.empty()) {
            std::cout << "[ SKIPPED  ] " << c.tool << " is not installed\n";
            continue;
        }
        EXPECT_EQ(kind(classify(c.name, archive)), c.type);
        // Self-extracting: a DOS program whose header ends where the archive starts.
        const auto type = kind(classify("sfx.exe", mz_stub(1000) + archive));
        EXPECT_EQ(type, c.type == CAB ? CabInProgram : c.type);
        EXPECT_EQ(kind(ClassifyArchive(tmp.file("sfx.exe"), 0, kDesc)), c.type);
        // Behind an ELF program only the ZIP end record tells.
        const std::string elf =
            "\x7F"
            "ELF" +
            std::string(5000, '\x01');
        // (a cabinet within the first 128000 bytes counts as one inside a program).
        const auto behind_elf = c.type == CAB ? CabInProgram : c.type == ZIP ? ZIP : Unknown;
        EXPECT_EQ(kind(classify("sfx", elf + archive)), behind_elf);
    }
}

TEST(ArchiveSignatureBytes, HeadersOfTheOtherFormatsGiveTheirTypes) {
    const std::string pad(64, '\0');
    EXPECT_EQ(type_of("\xEB\xA1\x30\x00\x00\x00"s + pad), ACE);
    EXPECT_EQ(type_of("Rar!\x1A\x07"s + pad), RAR);
    EXPECT_EQ(type_of("UC2\x1A" + pad), UC2);
    EXPECT_EQ(type_of("ZOO 2.10 Archive.\x1A" + pad), ZOO);
    EXPECT_EQ(type_of("\x13\x5D\x65\x8C" + pad), I3COMP);
    EXPECT_EQ(type_of("\xC0\xAB" + pad), ARJ);
    const auto lha = ClassifyArchiveBytes("\x1A\x00-lh5-"s + pad + "PK\x05\x06"s + pad, kFull);
    EXPECT_TRUE(lha.is_lha());  // the ZIP record of a stored member does not make it ZIP
    EXPECT_NE(lha.type(), ZIP);
    const auto older = ClassifyArchiveBytes("ISc(\x00\x50"s + pad, kFull);
    const auto newer = ClassifyArchiveBytes("ISc(\x01\x52" + pad, kFull);
    EXPECT_TRUE(older.is(InstallShieldCab) && !older.is_newer_installshield_cab());
    EXPECT_TRUE(newer.is_newer_installshield_cab());
    EXPECT_EQ(type_of("\x15\x08" + pad), Unknown);  // the inside-a-program mark is never read
}

TEST(ArchiveSignatureBytes, CabinetAndIExpressMarksAreSearchedInTheirWindows) {
    const std::string program = mz_stub(600);
    const auto at = [&](std::size_t offset, std::string_view mark) {
        std::string s = program + std::string(offset, 'x') + std::string(mark);
        return s + std::string(3000, 'y');
    };
    EXPECT_EQ(type_of(at(1000, "MSCF"), kFull), CabInProgram);
    EXPECT_EQ(type_of(at(1000, "MSCF"), kDesc), Unknown);  // cabinets only in full expansion
    EXPECT_EQ(type_of(at(kFullSearchBytes - 8, "WEXTRACT"), kFull), CabInProgram);
    EXPECT_EQ(type_of(at(kFullSearchBytes - 7, "WEXTRACT"), kFull), Unknown);  // cut by the window
    // Description mode looks at 40000 bytes from 32700 of the file.
    EXPECT_EQ(type_of(at(32700 - 600, "WEXTRACT"), kDesc), CabInProgram);
    EXPECT_EQ(type_of(at(32700 - 601, "WEXTRACT"), kDesc), Unknown);
    EXPECT_EQ(type_of(at(72700 - 608, "WEXTRACT"), kDesc), CabInProgram);
    EXPECT_EQ(type_of(at(72700 - 607, "WEXTRACT"), kDesc), Unknown);
    // A plain cabinet file stays a cabinet in both modes.
    EXPECT_EQ(type_of("MSCF" + std::string(100, '\0'), kFull), CAB);
}

TEST_F(ArchiveFiles, LyingTruncatedAndSpecialFilesAreUnknownAndNeverOverread) {
    for (const std::string& bytes :
         {std::string(), std::string("MZ\x10\x00\x00", 5), mz_stub(1024).substr(0, 1024),
          std::string("MZ\xFF\xFF\xFF\xFF", 6), std::string("MZ\x00\x00\x00\x00", 6) + "Rar!",
          std::string("MZ\x00\x00\x01\x00", 6), "MZ\x06\x00\x01\x00"s}) {
        SCOPED_TRACE(bytes.size());
        EXPECT_EQ(kind(classify("f.exe", bytes)), Unknown);
        EXPECT_EQ(type_of(bytes, kDesc), Unknown);
    }
    EXPECT_EQ(classify("f.z", "PK\x03"s).type(),
              ZIP);  // a start is enough; the packer judges the rest
    EXPECT_EQ(classify("f.exe", "MZ\x06\x00\x01\x00Rar!"s).type(), RAR);  // right behind the header
    // The end record still tells behind a header that points past the end.
    EXPECT_EQ(classify("f.exe", std::string("MZ\xFF\xFF\xFF\xFF", 6) + "PK\x05\x06").type(), ZIP);

    const std::string zip = tmp.write("real.zip", "PK\x03\x04" + std::string(60, '\0'));
    ASSERT_EQ(::symlink(zip.c_str(), tmp.file("link.zip").c_str()), 0);
    ASSERT_EQ(::mkfifo(tmp.file("fifo.exe").c_str(), 0600), 0);
    for (const char* name : {"link.zip", "fifo.exe", "missing.exe", "."}) {
        EXPECT_EQ(kind(ClassifyArchive(tmp.file(name), 64, kFull)), Unknown) << name;
    }
    EXPECT_EQ(ClassifyArchive(zip, 64, kFull).type(), ZIP);
}

TEST(ArchiveNames, OnlyPossibleContainersAreClassifiedAndEachNeedsItsSwitch) {
    Options on;
    Options off;
    off.EXE = off.COMPRESS = off.GZ = off.EXTRACT = 0;
    for (const char* name : {"SETUP.EXE", "setup.exe", "DATA.Z", "disk.1", "DISK.5", "data1.cab"}) {
        EXPECT_TRUE(IsClassifiedArchiveName(on, name)) << name;
        EXPECT_FALSE(IsClassifiedArchiveName(off, name)) << name;
    }
    for (const char* name : {"a.zip", "disk.6", "exe", "a.exe.txt", "CAB", ""}) {
        EXPECT_FALSE(IsClassifiedArchiveName(on, name)) << name;
    }
    Options gz_only = off;
    gz_only.GZ = 1;
    EXPECT_TRUE(IsClassifiedArchiveName(gz_only, "x.z"));
    EXPECT_FALSE(IsClassifiedArchiveName(gz_only, "x.cab"));
    Options extract_only = off;
    extract_only.EXTRACT = 1;
    EXPECT_TRUE(IsClassifiedArchiveName(extract_only, "x.CAB"));
    EXPECT_FALSE(IsClassifiedArchiveName(extract_only, "x.Z"));
}

}  // namespace
}  // namespace orbisto
