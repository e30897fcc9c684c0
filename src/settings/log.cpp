#include "settings/log.h"

#include <fcntl.h>
#include <unistd.h>

namespace orbisto {

void Log::remove_file() const {
    if (!path_.empty()) ::unlink(path_.c_str());
}

void Log::line(std::string_view text) const {
    if (enabled_) always(text);
}

void Log::always(std::string_view text) const {
    if (path_.empty()) return;
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;  // a log that cannot be written must not stop the program
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

}  // namespace orbisto
