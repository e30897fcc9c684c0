// Bounded reading of a file whose contents may be anything. Readers ask for
// bytes at an offset and get at most what is there; a short result is how
// they learn of the end of the file (or of a read error) and is never an
// overread. Fuzz targets and tests feed readers from memory through the same
// interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace orbisto {

class FileSource {
  public:
    virtual ~FileSource() = default;
    // The length of the file in bytes when it was opened.
    virtual std::uint64_t size() const = 0;
    // Reads up to n bytes at offset into out; returns how many arrived
    // (fewer at the end of the file or on a read error).
    virtual std::size_t read_at(std::uint64_t offset, void* out, std::size_t n) = 0;

    // The bytes at offset, n of them or fewer at the end of the file.
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t n);
    // Exactly n bytes at offset into out (resized); false on a short read.
    bool read_exact(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out);
};

// A regular file opened for reading. open() refuses anything else (a FIFO
// would block the scan, a device might never end) and never follows a link.
class PosixFileSource final : public FileSource {
  public:
    static std::unique_ptr<PosixFileSource> open(const std::string& path);
    ~PosixFileSource() override;
    PosixFileSource(const PosixFileSource&) = delete;
    PosixFileSource& operator=(const PosixFileSource&) = delete;

    std::uint64_t size() const override { return size_; }
    std::size_t read_at(std::uint64_t offset, void* out, std::size_t n) override;

  private:
    PosixFileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    std::size_t read_file(std::uint64_t offset, void* out, std::size_t n);
    // Most readers ask for several small pieces of a file's first bytes
    // (a header, then the block it points to): the first such request reads
    // this many bytes once and the others are served from them.
    static constexpr std::size_t kHeadBytes = 4096;
    int fd_;
    std::uint64_t size_;
    std::vector<std::uint8_t> head_;
    bool head_read_ = false;
};

// Bytes in memory seen as a file (tests, fuzz targets, a cover picture
// inside a tag).
class MemorySource final : public FileSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> data) : data_(data) {}
    std::uint64_t size() const override { return data_.size(); }
    std::size_t read_at(std::uint64_t offset, void* out, std::size_t n) override;

  private:
    std::span<const std::uint8_t> data_;
};

}  // namespace orbisto
