#include "fileinfo/picture.h"

#include <array>

#include "fileinfo/picture_decoders.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

#define ORBISTO_FORMAT(fmt) read_##fmt##_header, decode_##fmt

const std::array<PictureFormat, 17> kPictureFormats = {{
    {"Bitmap",
     "OS/2 1.1, 1.2, 2.0 / Windows 3.0 bitmap",
     {"BMP", "VGA", "BGA", "RLE", "DIB", "RL4", "RL8"},
     ORBISTO_FORMAT(bmp)},
    {"GIF", "CompuServe Graphics Interchange Format", {"GIF"}, ORBISTO_FORMAT(gif)},
    {"PCX", "ZSoft PC Paintbrush Image format", {"PCX", "PCC"}, ORBISTO_FORMAT(pcx)},
    {"TIFF",
     "Tagged Image File Format support (almost TIFF 6.0 Baseline)",
     {"TIF", "TIFF"},
     ORBISTO_FORMAT(tiff)},
    {"Targa", "Truevision Targa/Vista bitmap", {"TGA", "VST", "AFI"}, ORBISTO_FORMAT(targa)},
    {"ILBM", "Amiga IFF / ILBM Interleaved bitmap", {"IFF", "LBM"}, ORBISTO_FORMAT(ilbm)},
    {"YUV12C", "YUV12C M-Motion Video Frame Buffer", {"VID"}, ORBISTO_FORMAT(yuv12c)},
    {"Greymap", "Portable Greyscale-map (binary P5 type)", {"PGM"}, ORBISTO_FORMAT(greymap)},
    {"Pixmap", "Portable Pixel-map (binary P6 type)", {"PPM"}, ORBISTO_FORMAT(pixmap)},
    {"KIPS", "IBM KIPS", {"KPS"}, ORBISTO_FORMAT(kips)},
    {"IAX", "IBM Image Access eXecutive", {"IAX"}, ORBISTO_FORMAT(iax)},
    {"XBitmap", "X Windows Bitmap", {"XBM"}, ORBISTO_FORMAT(xbitmap)},
    {"Sprite", "Archimedes Sprite from RiscOS", {"SPR", "SPRITE"}, ORBISTO_FORMAT(sprite)},
    {"PSEG",
     "IBM Printer Page Segment",
     {"PSE", "PSEG", "PSEG38PP", "PSEG3820"},
     ORBISTO_FORMAT(pseg)},
    {"GemRas", "GEM Raster", {"IMG"}, ORBISTO_FORMAT(gemras)},
    {"Portrait", "Portrait", {"CVP"}, ORBISTO_FORMAT(portrait)},
    {"JPEG", "JPEG File Interchange Format", {"JPG", "JPEG", "JPE"}, ORBISTO_FORMAT(jpeg)},
}};

#undef ORBISTO_FORMAT

}  // namespace

void Picture::allocate(std::int32_t w, std::int32_t h, int b) {
    width = w;
    height = h;
    bits = b;
    palette.assign(b <= 8 ? std::size_t{4} << b : 0, 0);
    pixels.assign(stride() * static_cast<std::size_t>(h), 0);
}

const PictureFormat* picture_format_for(std::string_view extension) {
    const std::string upper = upper_ascii(extension);
    for (const PictureFormat& f : kPictureFormats) {
        for (const char* e : f.extensions) {
            if (upper == e) return &f;
        }
    }
    return nullptr;
}

std::span<const PictureFormat> picture_formats() {
    return kPictureFormats;
}

}  // namespace orbisto
