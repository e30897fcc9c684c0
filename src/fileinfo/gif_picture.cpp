#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "fileinfo/file_source.h"
#include "fileinfo/picture_decoders.h"

namespace orbisto {

namespace {

struct GifInput {
    FileSource* file;
    std::uint64_t offset;
};

int gif_read(GifFileType* gif, GifByteType* out, int n) {
    auto* in = static_cast<GifInput*>(gif->UserData);
    if (n <= 0) return 0;
    const std::size_t got = in->file->read_at(in->offset, out, static_cast<std::size_t>(n));
    in->offset += got;
    return static_cast<int>(got);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

GifHandle gif_open(GifInput& in, std::string& error) {
    int code = 0;
    GifHandle gif(DGifOpen(&in, gif_read, &code));
    if (!gif) {
        const char* text = GifErrorString(code);
        error = text ? text : "not a GIF file";
    }
    return gif;
}

// Bits per pixel as the colour table gives them: 1, 4 or 8.
int gif_bits(const ColorMapObject* map) {
    const int n = map ? map->ColorCount : 256;
    return n <= 2 ? 1 : n <= 16 ? 4 : 8;
}

std::string gif_error(const GifFileType* gif, const char* fallback) {
    const char* text = GifErrorString(gif->Error);
    return text ? text : fallback;
}

}  // namespace

bool read_gif_header(FileSource& file, PictureHeader& header, std::string& error) {
    GifInput in{&file, 0};
    const GifHandle gif = gif_open(in, error);
    if (!gif) return false;
    if (gif->SWidth <= 0 || gif->SHeight <= 0) {
        error = "empty picture";
        return false;
    }
    header.width = gif->SWidth;
    header.height = gif->SHeight;
    header.bits = gif_bits(gif->SColorMap);
    return true;
}

// The first image of the file on the logical screen, as 8 bits per pixel
// through its colour table; the rest of the screen has the background
// colour.
bool decode_gif(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                std::string& error) {
    GifInput in{&file, 0};
    const GifHandle gif = gif_open(in, error);
    if (!gif) return false;
    const std::int32_t sw = gif->SWidth, sh = gif->SHeight;
    if (sw <= 0 || sh <= 0 ||
        Picture::row_bytes(sw, 8) * static_cast<std::size_t>(sh) > max_pixel_bytes) {
        error = sw <= 0 || sh <= 0 ? "empty picture" : "too large";
        return false;
    }
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    do {
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) {
            error = gif_error(gif.get(), "damaged GIF file");
            return false;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) {
                error = gif_error(gif.get(), "damaged GIF file");
                return false;
            }
            while (block) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) {
                    error = gif_error(gif.get(), "damaged GIF file");
                    return false;
                }
            }
        }
    } while (type != IMAGE_DESC_RECORD_TYPE && type != TERMINATE_RECORD_TYPE);
    if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif.get()) == GIF_ERROR) {
        error = "no image in the GIF file";
        return false;
    }
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (desc.Width <= 0 || desc.Height <= 0 || desc.Width > 65535 || desc.Height > 65535) {
        error = "damaged GIF file";
        return false;
    }
    picture.allocate(sw, sh, 8);
    if (map) {
        for (int i = 0; i < map->ColorCount && i < 256; ++i) {
            const GifColorType& c = map->Colors[i];
            picture.palette[4 * static_cast<std::size_t>(i)] = c.Blue;
            picture.palette[4 * static_cast<std::size_t>(i) + 1] = c.Green;
            picture.palette[4 * static_cast<std::size_t>(i) + 2] = c.Red;
        }
    }
    const auto background = static_cast<std::uint8_t>(gif->SBackGroundColor);
    std::fill(picture.pixels.begin(), picture.pixels.end(), background);
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    // Interlaced pictures come in four passes of rows.
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int start = desc.Interlace ? kStart[pass] : 0;
        const int step = desc.Interlace ? kStep[pass] : 1;
        for (int y = start; y < desc.Height; y += step) {
            if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR) {
                error = gif_error(gif.get(), "damaged GIF file");
                return false;
            }
            const std::int64_t sy = static_cast<std::int64_t>(desc.Top) + y;
            if (sy < 0 || sy >= sh) continue;
            std::uint8_t* row = picture.row_from_top(static_cast<std::int32_t>(sy));
            for (int x = 0; x < desc.Width; ++x) {
                const std::int64_t sx = static_cast<std::int64_t>(desc.Left) + x;
                if (sx >= 0 && sx < sw) row[sx] = line[static_cast<std::size_t>(x)];
            }
        }
    }
    return true;
}

}  // namespace orbisto
