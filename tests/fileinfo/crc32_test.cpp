#include "fileinfo/crc32.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

// A bit-at-a-time CRC-32, independent of the table-driven one under test.
std::uint32_t slow_crc(const std::string& data) {
    std::uint32_t r = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        r ^= c;
        for (int k = 0; k < 8; ++k) r = (r >> 1) ^ (0xEDB88320u & (0u - (r & 1u)));
    }
    return r ^ 0xFFFFFFFFu;
}

class Crc32Test : public ::testing::Test {
  protected:
    CrcStatus crc_of(const std::string& path) {
        value = 0xDEADBEEF;
        return FileCrc32(fe, path, value);
    }
    test::ScriptedFrontend fe;
    test::TempDir dir;
    std::uint32_t value = 0;
};

TEST_F(Crc32Test, KnownValuesAndTheEmptyFile) {
    ASSERT_EQ(crc_of(dir.write("check", "123456789")), CrcStatus::Ok);
    EXPECT_EQ(value, 0xCBF43926u);
    ASSERT_EQ(crc_of(dir.write("a", "a")), CrcStatus::Ok);
    EXPECT_EQ(value, 0xE8B7BE43u);
    ASSERT_EQ(crc_of(dir.write("empty", "")), CrcStatus::Ok);
    EXPECT_EQ(value, 0u);
}

TEST_F(Crc32Test, FilesLongerThanOneReadStepAreReadWholeWithOnePumpPerStep) {
    std::string data(2 * kCrcReadStep + 123, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 7919) >> 5);
    ASSERT_EQ(crc_of(dir.write("big", data)), CrcStatus::Ok);
    EXPECT_EQ(value, slow_crc(data));
    EXPECT_EQ(fe.pumps, 3);

    // Exactly one step: the read at the end of the file adds no pump.
    fe.pumps = 0;
    data.resize(kCrcReadStep);
    ASSERT_EQ(crc_of(dir.write("step", data)), CrcStatus::Ok);
    EXPECT_EQ(value, slow_crc(data));
    EXPECT_EQ(fe.pumps, 1);
}

TEST_F(Crc32Test, AbortAfterAStepGivesNoValue) {
    const std::string data(3 * kCrcReadStep, 'x');
    const std::string path = dir.write("big", data);
    fe.on_pump = [this](int count) {
        if (count == 2) fe.request_abort();
    };
    EXPECT_EQ(crc_of(path), CrcStatus::Aborted);
    EXPECT_EQ(value, 0xDEADBEEFu);  // untouched
    EXPECT_EQ(fe.pumps, 2);         // stopped at once, the third step never read

    fe.clear_abort();
    fe.on_pump = nullptr;
    EXPECT_EQ(crc_of(path), CrcStatus::Ok);
}

TEST_F(Crc32Test, OnlyRegularFilesAreOpened) {
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(crc_of(fifo), CrcStatus::CannotOpen);  // and does not wait for a writer

    const std::string target = dir.write("target", "123456789");
    std::filesystem::create_symlink(target, dir.file("link"));
    EXPECT_EQ(crc_of(dir.file("link")), CrcStatus::CannotOpen);
    EXPECT_EQ(crc_of(dir.path()), CrcStatus::CannotOpen);
    EXPECT_EQ(crc_of(dir.file("missing")), CrcStatus::CannotOpen);
    EXPECT_EQ(crc_of("/dev/zero"), CrcStatus::CannotOpen);
    EXPECT_EQ(crc_of(""), CrcStatus::CannotOpen);
    EXPECT_EQ(value, 0xDEADBEEFu);
    EXPECT_EQ(fe.pumps, 0);

    if (::geteuid() != 0) {
        ::chmod(target.c_str(), 0);
        EXPECT_EQ(crc_of(target), CrcStatus::CannotOpen);
    }
}

// The walk's variant opens by name inside an open directory and trusts the
// listed size only to save the last read: a file that changed size since it
// was listed is still read whole, and links, FIFOs and folders are refused.
TEST_F(Crc32Test, OpenedInsideADirectoryWithAListedSizeThatMayBeStale) {
    const std::string big(kCrcReadStep + 5, 'x');
    dir.write("big", big);
    dir.write("check", "123456789");
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir.file("check"), dir.file("link"));
    ::mkdir(dir.file("sub").c_str(), 0700);
    const int dfd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dfd, 0);
    std::vector<unsigned char> buffer;
    for (std::uint64_t listed :
         {std::uint64_t{0}, std::uint64_t{4}, std::uint64_t{9}, std::uint64_t{1} << 40}) {
        value = 0;
        ASSERT_EQ(FileCrc32At(fe, dfd, "check", listed, value, buffer), CrcStatus::Ok) << listed;
        EXPECT_EQ(value, 0xCBF43926u) << listed;
        ASSERT_EQ(FileCrc32At(fe, dfd, "big", listed, value, buffer), CrcStatus::Ok) << listed;
        EXPECT_EQ(value, slow_crc(big)) << listed;
    }
    for (const char* name : {"pipe", "link", "sub", "missing"}) {
        EXPECT_EQ(FileCrc32At(fe, dfd, name, 9, value, buffer), CrcStatus::CannotOpen) << name;
    }
    ::close(dfd);
}

TEST(CrcPrefix, FormatPlacementAndHiding) {
    EXPECT_EQ(crc_prefix(0xE8B7BE43u), "CRC:E8B7BE43");
    EXPECT_EQ(crc_prefix(0x1Au), "CRC:0000001A");
    EXPECT_EQ(crc_prefix(0x1Au).size(), kCrcPrefixLength);

    EXPECT_EQ(apply_crc_prefix("", 0xABCDEF01u), "CRC:ABCDEF01");
    EXPECT_EQ(apply_crc_prefix("Holiday", 0xABCDEF01u), "CRC:ABCDEF01 Holiday");
    EXPECT_EQ(apply_crc_prefix("CRC:00000000 Holiday", 0xABCDEF01u), "CRC:ABCDEF01 Holiday");
    EXPECT_EQ(apply_crc_prefix("CRC:00000000", 0xABCDEF01u), "CRC:ABCDEF01");
    EXPECT_EQ(apply_crc_prefix("CRC:1", 0xABCDEF01u), "CRC:ABCDEF01");

    EXPECT_EQ(comment_without_crc("CRC:ABCDEF01 Holiday", false), " Holiday");
    EXPECT_EQ(comment_without_crc("CRC:ABCDEF01 Holiday", true), "CRC:ABCDEF01 Holiday");
    EXPECT_EQ(comment_without_crc("CRC:ABCDEF01", false), "");
    EXPECT_EQ(comment_without_crc("CRC:12", false), "");
    EXPECT_EQ(comment_without_crc("Holiday", false), "Holiday");
}

}  // namespace
}  // namespace orbisto
