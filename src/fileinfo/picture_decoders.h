// The decoders behind the general image reader's formats (picture.h), one
// file per format: the header reader and the full decode of each.
#pragma once

#include <cstddef>
#include <string>

#include "fileinfo/picture.h"

namespace orbisto {

#define ORBISTO_PICTURE_DECODER(fmt)                                                       \
    bool read_##fmt##_header(FileSource& file, PictureHeader& header, std::string& error); \
    bool decode_##fmt(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,     \
                      std::string& error);

ORBISTO_PICTURE_DECODER(bmp)       // bmp_picture.cpp: Windows and OS/2 bitmaps, RLE4/RLE8
ORBISTO_PICTURE_DECODER(gif)       // gif_picture.cpp (giflib)
ORBISTO_PICTURE_DECODER(pcx)       // pcx_picture.cpp
ORBISTO_PICTURE_DECODER(tiff)      // tiff_picture.cpp (libtiff)
ORBISTO_PICTURE_DECODER(targa)     // targa_picture.cpp
ORBISTO_PICTURE_DECODER(ilbm)      // ilbm_picture.cpp
ORBISTO_PICTURE_DECODER(yuv12c)    // yuv12c_picture.cpp
ORBISTO_PICTURE_DECODER(greymap)   // pnm_picture.cpp (binary P5)
ORBISTO_PICTURE_DECODER(pixmap)    // pnm_picture.cpp (binary P6)
ORBISTO_PICTURE_DECODER(kips)      // kips_picture.cpp
ORBISTO_PICTURE_DECODER(iax)       // iax_picture.cpp
ORBISTO_PICTURE_DECODER(xbitmap)   // xbm_picture.cpp
ORBISTO_PICTURE_DECODER(sprite)    // sprite_picture.cpp
ORBISTO_PICTURE_DECODER(pseg)      // pseg_picture.cpp
ORBISTO_PICTURE_DECODER(gemras)    // gemras_picture.cpp
ORBISTO_PICTURE_DECODER(portrait)  // portrait_picture.cpp
ORBISTO_PICTURE_DECODER(jpeg)      // jpeg_picture.cpp (libjpeg)

#undef ORBISTO_PICTURE_DECODER

// A JPEG decoded with libjpeg's scaled DCT at the smallest of 1/1, 1/2, 1/4
// and 1/8 that still gives at least min_width × min_height pixels: a
// thumbnail of a large photo is made from an eighth of the data.
bool decode_jpeg_at_least(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                          std::int32_t min_width, std::int32_t min_height, std::string& error);
// The denominator decode_jpeg_at_least decodes a width × height JPEG at: the
// largest of 8, 4 and 2 whose picture still covers the wanted size, else 1.
unsigned jpeg_scale_denominator(std::int64_t width, std::int64_t height, std::int32_t min_width,
                                std::int32_t min_height);

// A PNG file as 24 bits per pixel at full size (libpng); false with libpng's
// reason when it is damaged, or "too large" beyond max_pixel_bytes.
bool decode_png_picture(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                        std::string& error);

}  // namespace orbisto
