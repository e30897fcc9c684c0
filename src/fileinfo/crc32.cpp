#include "fileinfo/crc32.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <new>

#include "settings/frontend.h"

namespace orbisto {
namespace {

// Closes the descriptor on every way out.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

CrcStatus FileCrc32(Frontend& frontend, const std::string& path, std::uint32_t& crc) {
    std::vector<unsigned char> buffer;
    return FileCrc32(frontend, path, crc, buffer);
}

namespace {

// The CRC of an open file, which must be a regular one.
// A short read that ends at expected_size ends the loop; otherwise reading
// goes on until the system reports the end.
CrcStatus crc_of_open_file(Frontend& frontend, int fd, std::uint64_t expected_size,
                           std::uint32_t& crc, std::vector<unsigned char>& buffer,
                           const std::function<void(std::uint64_t)>& progress = {}) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return CrcStatus::CannotOpen;
    if (buffer.size() < kCrcReadStep) {
        try {
            buffer.resize(kCrcReadStep);
        } catch (const std::bad_alloc&) {
            return CrcStatus::NoMemory;
        }
    }
    uLong value = ::crc32(0L, Z_NULL, 0);
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), kCrcReadStep);
        if (n < 0) {
            if (errno == EINTR) continue;
            return CrcStatus::ReadError;
        }
        if (n == 0) break;
        value = ::crc32(value, buffer.data(), static_cast<uInt>(n));
        total += static_cast<std::uint64_t>(n);
        if (progress) progress(total);
        frontend.pump();
        if (frontend.abort_requested()) return CrcStatus::Aborted;
        if (static_cast<size_t>(n) < kCrcReadStep && total == expected_size) break;
    }
    crc = static_cast<std::uint32_t>(value);
    return CrcStatus::Ok;
}

// O_NONBLOCK and O_NOFOLLOW guard against the entry being replaced by a FIFO
// or a link after it was checked; the fstat above checks again.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;

}  // namespace

CrcStatus FileCrc32(Frontend& frontend, const std::string& path, std::uint32_t& crc,
                    std::vector<unsigned char>& buffer) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return CrcStatus::CannotOpen;
    Fd f{::open(path.c_str(), kOpenFlags)};
    return crc_of_open_file(frontend, f.fd, UINT64_MAX, crc, buffer);
}

CrcStatus FileCrc32At(Frontend& frontend, int dir_fd, const std::string& name,
                      std::uint64_t listed_size, std::uint32_t& crc,
                      std::vector<unsigned char>& buffer,
                      const std::function<void(std::uint64_t)>& progress) {
    Fd f{::openat(dir_fd, name.c_str(), kOpenFlags)};
    return crc_of_open_file(frontend, f.fd, listed_size, crc, buffer, progress);
}

std::string crc_prefix(std::uint32_t crc) {
    char text[16];
    std::snprintf(text, sizeof text, "CRC:%08X", static_cast<unsigned>(crc));
    return text;
}

std::string apply_crc_prefix(std::string_view comment, std::uint32_t crc) {
    std::string out = crc_prefix(crc);
    if (comment.starts_with("CRC:")) {
        if (comment.size() > kCrcPrefixLength) out += comment.substr(kCrcPrefixLength);
    } else if (!comment.empty()) {
        out += ' ';
        out += comment;
    }
    return out;
}

std::string_view comment_without_crc(std::string_view comment, bool show_crc) {
    if (show_crc || !comment.starts_with("CRC:")) return comment;
    return comment.size() > kCrcPrefixLength ? comment.substr(kCrcPrefixLength)
                                             : std::string_view();
}

}  // namespace orbisto
