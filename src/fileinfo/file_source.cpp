#include "fileinfo/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orbisto {

std::vector<std::uint8_t> FileSource::read(std::uint64_t offset, std::size_t n) {
    const std::uint64_t len = size();
    if (offset >= len) return {};
    if (n > len - offset) n = static_cast<std::size_t>(len - offset);
    std::vector<std::uint8_t> out(n);
    out.resize(read_at(offset, out.data(), n));
    return out;
}

bool FileSource::read_exact(std::uint64_t offset, std::size_t n, std::vector<std::uint8_t>& out) {
    const std::uint64_t len = size();
    if (offset > len || n > len - offset) {
        out.clear();
        return false;
    }
    out.resize(n);
    const std::size_t got = read_at(offset, out.data(), n);
    out.resize(got);
    return got == n;
}

std::unique_ptr<PosixFileSource> PosixFileSource::open(const std::string& path) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused
    // right after by the type test.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<PosixFileSource>(
        new PosixFileSource(fd, static_cast<std::uint64_t>(st.st_size)));
}

PosixFileSource::~PosixFileSource() {
    ::close(fd_);
}

std::size_t PosixFileSource::read_at(std::uint64_t offset, void* out, std::size_t n) {
    if (n == 0 || offset >= kHeadBytes || n > kHeadBytes - offset) return read_file(offset, out, n);
    if (!head_read_) {
        head_.resize(kHeadBytes);
        head_.resize(read_file(0, head_.data(), kHeadBytes));
        head_read_ = true;
    }
    // A head shorter than asked for ends where the file (or its reading) did.
    if (offset >= head_.size()) return 0;
    const std::size_t got = std::min<std::size_t>(n, head_.size() - offset);
    std::memcpy(out, head_.data() + offset, got);
    return got;
}

std::size_t PosixFileSource::read_file(std::uint64_t offset, void* out, std::size_t n) {
    auto* p = static_cast<unsigned char*>(out);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t MemorySource::read_at(std::uint64_t offset, void* out, std::size_t n) {
    if (offset >= data_.size()) return 0;
    const std::size_t avail = data_.size() - static_cast<std::size_t>(offset);
    if (n > avail) n = avail;
    if (n) std::memcpy(out, data_.data() + offset, n);
    return n;
}

}  // namespace orbisto
