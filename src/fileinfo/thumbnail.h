// Thumbnails: the box a picture is scaled into, the minimum-size rule, the
// two scalers, and the JPEG form in which a thumbnail is stored in the
// catalogue's image pool and decoded again for display.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fileinfo/picture.h"

namespace orbisto {

struct Options;

struct ThumbnailSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The size of the thumbnail of a w × h picture in a box of box_w × box_h:
// the picture shrunk by the larger of w / box_w and h / box_h, never
// enlarged, its width rounded up to a multiple of 4.
ThumbnailSize thumbnail_box(std::int32_t w, std::int32_t h, int box_w, int box_h);

// Whether a w × h picture is large enough for a thumbnail (MinBreite,
// MinHoehe, ThumbUnd).
bool large_enough_for_thumbnail(std::int32_t w, std::int32_t h, const Options& options);

// The pixel budget of a decode: MaxMem, or the ceiling when MaxMem is 0.
std::size_t picture_budget(const Options& options);

// The picture as 24 bits per pixel: palette pictures expanded, the fourth
// byte of 32-bit pixels dropped. False when the copy cannot be made.
bool to_24_bits(const Picture& in, Picture& out);

// Scales a 24-bit picture to size: nearest neighbour, or area averaging
// (every source pixel weighted by the part of it a destination pixel covers).
void scale_nearest(const Picture& in, Picture& out, ThumbnailSize size);
void scale_area(const Picture& in, Picture& out, ThumbnailSize size);

// The thumbnail of a decoded picture as the options ask for it (box, fast or
// averaging scaler); false with a reason when the box setting is unusable.
bool make_thumbnail_picture(const Picture& decoded, const Options& options, Picture& thumbnail,
                            std::string& error);

// A 24-bit picture as a JPEG stream of the given quality (0..100); empty on
// failure.
std::vector<std::uint8_t> encode_thumbnail(const Picture& picture, int quality);

// A stored thumbnail (a JPEG stream, possibly followed by other bytes) as a
// 24-bit picture; false with a reason when it cannot be decoded.
bool DecodeThumbnail(std::span<const std::uint8_t> stored, Picture& picture, std::string& error);

// The length of the JPEG stream a stored thumbnail starts with (through its
// end marker; the image pool's bytes after it are not counted); 0 with a
// reason when it does not decode.
std::size_t thumbnail_stream_length(std::span<const std::uint8_t> stored, std::string& error);

}  // namespace orbisto
