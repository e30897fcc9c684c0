// What the benchmark programs share besides the clock: file names as a home
// directory or a system disk has them, and the peak resident memory.
#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <cstdio>

namespace orbisto::bench {

// Camera pictures, library versions, source files, documents: the i-th name.
inline void file_name(char* out, std::size_t n, std::uint32_t i) {
    static const char* const kinds[] = {"IMG_%08u.jpg",           "libgtk-3.so.0.%u.30",
                                        "module_%u_handler.cpp",  "Rechnung %u - Kopie.pdf",
                                        "track%02u - Artist.mp3", "cache-%08x.tmp",
                                        "README-%u.md",           "photo_2019-06-%05u.png"};
    std::snprintf(out, n, kinds[i % 8], i / 8);
}

// The peak resident memory of this process so far (getrusage ru_maxrss).
inline double peak_rss_mb() {
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;  // KiB on Linux
}

}  // namespace orbisto::bench
