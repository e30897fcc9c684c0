#include "fileinfo/crc32.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <new>

#include "startup/frontend.h"

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

CrcStatus FileCrc32(Frontend& frontend, const std::string& path, std::uint32_t& crc,
                    std::vector<unsigned char>& buffer) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return CrcStatus::CannotOpen;
    // O_NONBLOCK and O_NOFOLLOW guard against the path being replaced by a
    // FIFO or a link between the check and the open; fstat checks again.
    Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC)};
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return CrcStatus::CannotOpen;
    }
    if (buffer.size() < kCrcReadStep) {
        try {
            buffer.resize(kCrcReadStep);
        } catch (const std::bad_alloc&) {
            return CrcStatus::NoMemory;
        }
    }

    uLong value = ::crc32(0L, Z_NULL, 0);
    for (;;) {
        const ssize_t n = ::read(f.fd, buffer.data(), kCrcReadStep);
        if (n < 0) {
            if (errno == EINTR) continue;
            return CrcStatus::ReadError;
        }
        if (n == 0) break;
        value = ::crc32(value, buffer.data(), static_cast<uInt>(n));
        frontend.pump();
        if (frontend.abort_requested()) return CrcStatus::Aborted;
    }
    crc = static_cast<std::uint32_t>(value);
    return CrcStatus::Ok;
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
