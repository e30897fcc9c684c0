// The picture readers that decode through libraries (JPEG, GIF, TIFF, PNG)
// and the PhotoCD reader on arbitrary bytes with thumbnails on, so that
// decoding, scaling and encoding all run: the first byte picks the format
// and the thumbnail settings, the rest is the file. A stored thumbnail must
// decode again to a picture that fits the box.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/thumbnail.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    if (size < 1) return 0;
    static FileInfoSession* session = [] {
        auto* s = new FileInfoSession;
        s->set_media(nullptr);
        return s;
    }();
    static const char* const kNames[] = {"a.jpg", "a.gif", "a.tif", "a.png", "a.pcd"};
    const unsigned pick = data[0];
    const char* name = kNames[(pick & 7) % 5];
    Options options;
    options.file_information = true;
    options.thumbnails = true;
    options.min_image_width = 1;
    options.min_image_height = 1;
    options.fast_thumbnails = (pick & 8) == 0;
    // A small box keeps the work per input low; a memory limit bounds the
    // decode buffers as a user's MaxMem does.
    options.thumbnail_width = (pick & 16) ? 64 : 200;
    options.thumbnail_height = (pick & 16) ? 48 : 200;
    options.max_picture_bytes = (pick & 32) ? 1 << 20 : 16 << 20;

    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    FileInfoResult result;
    MemorySource src(bytes);
    if (CollectFileInfo(options, *session, src, name, bytes.size(), result) == 0) {
        if (!result.thumbnail.empty()) __builtin_trap();
        return 0;
    }
    if (result.thumbnail.empty()) return 0;
    Picture picture;
    std::string error;
    if (!DecodeThumbnail(result.thumbnail, picture, error)) __builtin_trap();
    if (picture.width <= 0 || picture.height <= 0 || picture.width > options.thumbnail_width + 3 ||
        picture.height > options.thumbnail_height) {
        __builtin_trap();
    }
    if (thumbnail_stream_length(result.thumbnail, error) != result.thumbnail.size())
        __builtin_trap();
    return 0;
}
