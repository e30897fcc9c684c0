// Runs one file-information reader, or the whole dispatch, on bytes in
// memory or on a file, with options a test sets (file information on).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "settings/settings.h"

namespace orbisto::test {

struct ReaderRun {
    Options options;
    FileInfoSession session;
    FileInfoResult result;
    Environment* env = nullptr;  // where status texts go; none when null

    ReaderRun() { options.file_information = true; }

    // The reader on bytes in memory; path gives the name (and extension).
    template <class Reader>
    int run(Reader reader, std::span<const std::uint8_t> bytes, const std::string& path = "file") {
        result.clear();
        MemorySource src(bytes);
        FileInfoJob job{options, session, src, path, bytes.size(), result, nullptr, env};
        return reader(job);
    }
    // The reader on a file on disk.
    template <class Reader>
    int run_file(Reader reader, const std::string& path) {
        result.clear();
        auto src = PosixFileSource::open(path);
        if (!src) return -1;
        FileInfoJob job{options, session, *src, path, src->size(), result, nullptr, env};
        return reader(job);
    }
    // The whole dispatch on a file on disk, as the scan runs it.
    int collect(const std::string& path) {
        result.clear();
        auto src = PosixFileSource::open(path);
        if (!src) return -1;
        return CollectFileInfo(options, session, *src, path, src->size(), result);
    }
    // The whole dispatch on bytes named path.
    int collect(std::span<const std::uint8_t> bytes, const std::string& path) {
        result.clear();
        MemorySource src(bytes);
        return CollectFileInfo(options, session, src, path, bytes.size(), result);
    }
};

inline std::vector<std::uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A committed fixture of the file-information readers.
inline std::string fixture(const std::string& name) {
    return std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/fileinfo/" + name;
}

// The playing time ffprobe reported for a fixture when it was made, from one
// of the fixtures' "name seconds" lists; -1 (and a failure) when not listed.
inline double ffprobe_seconds(const std::string& list, const std::string& file) {
    std::ifstream in(fixture(list));
    std::string name;
    double seconds = 0;
    while (in >> name >> seconds) {
        if (name == file) return seconds;
    }
    ADD_FAILURE() << file << " is not in " << list;
    return -1;
}

}  // namespace orbisto::test
