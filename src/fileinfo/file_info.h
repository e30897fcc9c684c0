// What the file-information layer finds in one file during the walk: a new
// comment text, the playing time of an MP3 file and a thumbnail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbisto {

struct CatalogContext;

// What the file-information layer found for one file.
struct FileInfoResult {
    std::string info_text;                // the new comment text
    std::uint32_t mp3_bitrate_kbps = 0;   // > 0 for an MP3 file
    std::uint32_t mp3_length_s = 0;       // its playing time
    std::vector<std::uint8_t> thumbnail;  // a picture for the ImagePool; empty = none
    void clear() {
        info_text.clear();
        mp3_bitrate_kbps = 0;
        mp3_length_s = 0;
        thumbnail.clear();
    }
};
// Extracts information from the file at `path` of `size_bytes` bytes into
// `result` (cleared by the caller). Returns non-zero when info_text holds a
// new text.
int CollectFileInfo(CatalogContext& ctx, const std::string& path, std::uint64_t size_bytes,
                    FileInfoResult& result);

}  // namespace orbisto
