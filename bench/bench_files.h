// Whole-file reads and writes of the benchmark programs' generated trees.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace orbisto::bench {

// The bytes of a file; empty when it cannot be read.
inline std::vector<std::uint8_t> read_all(const std::string& path) {
    std::vector<std::uint8_t> out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::uint8_t buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
        std::fclose(f);
    }
    return out;
}

// Writes a file or ends the benchmark with the reason.
inline void write_all(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

// A new folder below $TMPDIR (or /tmp) named after the benchmark, or the end
// of the benchmark with the reason.
inline std::string fresh_folder(const std::string& name) {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/" + name + "-XXXXXX";
    if (!::mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return tmpl;
}

}  // namespace orbisto::bench
