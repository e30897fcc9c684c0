// The picture decoders of our own on arbitrary bytes: the first byte picks
// a format of the general reader's table (those decoded by libraries are
// skipped), the rest is the file. Header and decode must never overread,
// and a decoded picture must have the rows its size asks for.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fileinfo/file_source.h"
#include "fileinfo/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    if (size < 1) return 0;
    std::vector<const PictureFormat*> own;
    for (const PictureFormat& f : picture_formats()) {
        const std::string_view name = f.name;
        if (name != "GIF" && name != "TIFF" && name != "JPEG") own.push_back(&f);
    }
    const PictureFormat& f = *own[data[0] % own.size()];
    MemorySource src(std::span<const std::uint8_t>(data + 1, size - 1));
    PictureHeader header;
    std::string error;
    if (!f.read_header(src, header, error)) return 0;
    Picture picture;
    if (!f.decode(src, picture, std::size_t{16} << 20, error)) return 0;
    if (picture.width != header.width || picture.height != header.height ||
        picture.bits != header.bits ||
        picture.pixels.size() != picture.stride() * static_cast<std::size_t>(picture.height)) {
        __builtin_trap();
    }
    return 0;
}
