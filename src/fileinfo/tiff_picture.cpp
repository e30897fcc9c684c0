#include <tiffio.h>

#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "fileinfo/file_source.h"
#include "fileinfo/picture_decoders.h"

namespace orbisto {

namespace {

struct TiffInput {
    FileSource* file;
    std::uint64_t offset;
};

tmsize_t tiff_read(thandle_t h, void* out, tmsize_t n) {
    auto* in = static_cast<TiffInput*>(h);
    if (n <= 0) return 0;
    const std::size_t got = in->file->read_at(in->offset, out, static_cast<std::size_t>(n));
    in->offset += got;
    return static_cast<tmsize_t>(got);
}
tmsize_t tiff_write(thandle_t, void*, tmsize_t) {
    return 0;
}
toff_t tiff_seek(thandle_t h, toff_t off, int whence) {
    auto* in = static_cast<TiffInput*>(h);
    const std::uint64_t size = in->file->size();
    std::uint64_t to = off;
    if (whence == SEEK_CUR) to = in->offset + off;
    if (whence == SEEK_END) to = size + off;
    in->offset = to;
    return in->offset;
}
int tiff_close(thandle_t) {
    return 0;
}
toff_t tiff_size(thandle_t h) {
    return static_cast<TiffInput*>(h)->file->size();
}
int tiff_map(thandle_t, void**, toff_t*) {
    return 0;
}
void tiff_unmap(thandle_t, void*, toff_t) {}

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle tiff_open(TiffInput& in, std::string& error) {
    // libtiff's messages would go to standard error; the reader reports
    // its own.
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
    TiffHandle t(TIFFClientOpen("picture", "rm", &in, tiff_read, tiff_write, tiff_seek, tiff_close,
                                tiff_size, tiff_map, tiff_unmap));
    if (!t) error = "not a TIFF file";
    return t;
}

bool tiff_header(TIFF* t, PictureHeader& header, std::string& error) {
    std::uint32_t w = 0, h = 0;
    std::uint16_t bps = 1, spp = 1;
    if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h) ||
        w == 0 || h == 0 || w > 100000 || h > 100000) {
        error = "no picture size";
        return false;
    }
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &bps);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &spp);
    header.width = static_cast<std::int32_t>(w);
    header.height = static_cast<std::int32_t>(h);
    // Colour pictures are 24 bits (32 with a fourth sample); others keep
    // their sample depth, rounded to the depths pictures have.
    if (spp >= 4) {
        header.bits = 32;
    } else if (spp == 3) {
        header.bits = 24;
    } else {
        header.bits = bps <= 1 ? 1 : bps <= 4 ? 4 : 8;
    }
    return true;
}

}  // namespace

bool read_tiff_header(FileSource& file, PictureHeader& header, std::string& error) {
    TiffInput in{&file, 0};
    const TiffHandle t = tiff_open(in, error);
    return t && tiff_header(t.get(), header, error);
}

// The first directory of the file, through libtiff's RGBA interface (every
// photometric kind it knows), as 24 bits per pixel.
bool decode_tiff(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                 std::string& error) {
    TiffInput in{&file, 0};
    const TiffHandle t = tiff_open(in, error);
    PictureHeader header;
    if (!t || !tiff_header(t.get(), header, error)) return false;
    const auto w = static_cast<std::size_t>(header.width),
               h = static_cast<std::size_t>(header.height);
    if (w * h * 4 > max_pixel_bytes) {
        error = "too large";
        return false;
    }
    char message[1024] = {};
    if (!TIFFRGBAImageOK(t.get(), message)) {
        error = message[0] ? message : "unsupported TIFF picture";
        return false;
    }
    std::vector<std::uint32_t> raster(w * h);
    if (!TIFFReadRGBAImageOriented(t.get(), static_cast<std::uint32_t>(w),
                                   static_cast<std::uint32_t>(h), raster.data(),
                                   ORIENTATION_BOTLEFT, 1)) {
        error = "cannot read the picture data";
        return false;
    }
    picture.allocate(header.width, header.height, 24);
    for (std::size_t y = 0; y < h; ++y) {
        std::uint8_t* row = picture.pixels.data() + y * picture.stride();
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint32_t p = raster[y * w + x];
            row[3 * x] = static_cast<std::uint8_t>(TIFFGetB(p));
            row[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(p));
            row[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(p));
        }
    }
    return true;
}

}  // namespace orbisto
