#include "fileinfo/thumbnail.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "fileinfo/jpeg_support.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

constexpr int kLargestBox = 10000;

std::int32_t round_up_4(std::int32_t v) {
    return (v + 3) / 4 * 4;
}

// The libjpeg part of the encoder: only plain data lives in this frame, so
// the jump back from an error skips no destructor.
bool thumb_jpeg_encode(const Picture& p, int quality, unsigned char** mem, unsigned long* size) {
    jpeg_compress_struct c{};
    JpegErrorTrap trap;
    c.err = trap.install();
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&c);
        return false;
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, mem, size);
    c.image_width = static_cast<JDIMENSION>(p.width);
    c.image_height = static_cast<JDIMENSION>(p.height);
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, std::clamp(quality, 0, 100), TRUE);
    jpeg_start_compress(&c, TRUE);
    const std::size_t stride = p.stride();
    while (c.next_scanline < c.image_height) {
        const std::size_t row = static_cast<std::size_t>(p.height) - 1 - c.next_scanline;
        auto* line = const_cast<JSAMPLE*>(p.pixels.data() + row * stride);
        jpeg_write_scanlines(&c, &line, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return true;
}

bool thumb_jpeg_decode(std::span<const std::uint8_t> stored, Picture& p, char* message,
                       std::size_t* stream_bytes) {
    jpeg_decompress_struct d{};
    JpegErrorTrap trap;
    d.err = trap.install();
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&d);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", trap.message);
        return false;
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, stored.data(), static_cast<unsigned long>(stored.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&d);
    const std::size_t area =
        Picture::row_bytes(static_cast<std::int32_t>(d.output_width), 24) * d.output_height;
    if (d.output_width == 0 || d.output_height == 0 || area > kPictureMemoryCeiling) {
        jpeg_destroy_decompress(&d);
        std::snprintf(message, JMSG_LENGTH_MAX, "too large");
        return false;
    }
    p.allocate(static_cast<std::int32_t>(d.output_width),
               static_cast<std::int32_t>(d.output_height), 24);
    jpeg_start_decompress(&d);
    while (d.output_scanline < d.output_height) {
        JSAMPROW line = p.row_from_top(static_cast<std::int32_t>(d.output_scanline));
        jpeg_read_scanlines(&d, &line, 1);
    }
    jpeg_finish_decompress(&d);
    // The decoder stops after the end marker: what it left is not the stream's.
    if (stream_bytes) *stream_bytes = stored.size() - d.src->bytes_in_buffer;
    jpeg_destroy_decompress(&d);
    return true;
}

bool thumb_decode(std::span<const std::uint8_t> stored, Picture& picture, std::string& error,
                  std::size_t* stream_bytes) {
    if (stored.size() < 4) {
        error = "Not a JPEG file";
        return false;
    }
    char message[JMSG_LENGTH_MAX] = {};
    try {
        if (thumb_jpeg_decode(stored, picture, message, stream_bytes)) return true;
    } catch (const std::bad_alloc&) {
        std::snprintf(message, sizeof message, "out of memory");
    }
    error = message;
    return false;
}

}  // namespace

ThumbnailSize thumbnail_box(std::int32_t w, std::int32_t h, int box_w, int box_h) {
    if (w <= 0 || h <= 0 || box_w <= 0 || box_h <= 0) return {};
    const double fx = static_cast<double>(w) / box_w;
    const double fy = static_cast<double>(h) / box_h;
    if (fx < 1 && fy < 1) return {round_up_4(w), h};
    const double f = std::max(fx, fy);
    return {round_up_4(static_cast<std::int32_t>(w / f)), static_cast<std::int32_t>(h / f)};
}

bool large_enough_for_thumbnail(std::int32_t w, std::int32_t h, const Options& o) {
    const bool narrow = w < o.min_image_width;
    const bool low = h < o.min_image_height;
    return o.thumbnail_switch ? !(narrow || low) : !(narrow && low);
}

std::size_t picture_budget(const Options& o) {
    return o.max_picture_bytes > 0 ? static_cast<std::size_t>(o.max_picture_bytes)
                                   : kPictureMemoryCeiling;
}

bool to_24_bits(const Picture& in, Picture& out) {
    try {
        if (in.bits == 24) {
            out = in;
            return true;
        }
        out.allocate(in.width, in.height, 24);
        const std::size_t in_stride = in.stride();
        for (std::int32_t y = 0; y < in.height; ++y) {
            const std::uint8_t* src = in.pixels.data() + static_cast<std::size_t>(y) * in_stride;
            std::uint8_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.stride();
            for (std::int32_t x = 0; x < in.width; ++x, dst += 3) {
                if (in.bits == 32) {
                    std::copy_n(src + 4 * static_cast<std::size_t>(x), 3, dst);
                    continue;
                }
                unsigned index = 0;
                const auto ux = static_cast<unsigned>(x);
                if (in.bits == 8) {
                    index = src[ux];
                } else if (in.bits == 4) {
                    index = (src[ux / 2] >> (ux % 2 ? 0 : 4)) & 0x0F;
                } else {
                    index = (src[ux / 8] >> (7 - ux % 8)) & 1;
                }
                const std::size_t at = 4 * static_cast<std::size_t>(index);
                if (at + 2 < in.palette.size()) std::copy_n(in.palette.data() + at, 3, dst);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void scale_nearest(const Picture& in, Picture& out, ThumbnailSize size) {
    out.allocate(size.width, size.height, 24);
    const std::size_t in_stride = in.stride();
    for (std::int32_t y = 0; y < size.height; ++y) {
        const std::int64_t sy = static_cast<std::int64_t>(y) * in.height / size.height;
        const std::uint8_t* src = in.pixels.data() + static_cast<std::size_t>(sy) * in_stride;
        std::uint8_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.stride();
        for (std::int32_t x = 0; x < size.width; ++x) {
            const std::int64_t sx = static_cast<std::int64_t>(x) * in.width / size.width;
            std::copy_n(src + 3 * static_cast<std::size_t>(sx), 3,
                        dst + 3 * static_cast<std::size_t>(x));
        }
    }
}

void scale_area(const Picture& in, Picture& out, ThumbnailSize size) {
    out.allocate(size.width, size.height, 24);
    const double fx = static_cast<double>(in.width) / size.width;
    const double fy = static_cast<double>(in.height) / size.height;
    const double area = fx * fy;
    const std::size_t in_stride = in.stride();
    // The covered span [from, to) of source pixels: the first and the last
    // are weighted by the part of them that lies inside.
    struct Span {
        std::int32_t first, last;
        double first_weight, last_weight;
    };
    const auto span_of = [](double from, double to, std::int32_t limit) {
        Span s{};
        s.first = std::min(static_cast<std::int32_t>(from), limit - 1);
        s.last = std::min(static_cast<std::int32_t>(std::ceil(to)) - 1, limit - 1);
        if (s.last < s.first) s.last = s.first;
        s.first_weight = std::min(to, s.first + 1.0) - from;
        s.last_weight = to - s.last;
        if (s.last_weight > 1) s.last_weight = 1;
        return s;
    };
    for (std::int32_t y = 0; y < size.height; ++y) {
        const Span sy = span_of(y * fy, (y + 1) * fy, in.height);
        std::uint8_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.stride();
        for (std::int32_t x = 0; x < size.width; ++x) {
            const Span sx = span_of(x * fx, (x + 1) * fx, in.width);
            double sum[3] = {0, 0, 0};
            for (std::int32_t r = sy.first; r <= sy.last; ++r) {
                const double wy = r == sy.first  ? sy.first_weight
                                  : r == sy.last ? sy.last_weight
                                                 : 1.0;
                const std::uint8_t* row =
                    in.pixels.data() + static_cast<std::size_t>(r) * in_stride;
                for (std::int32_t c = sx.first; c <= sx.last; ++c) {
                    const double wx = c == sx.first  ? sx.first_weight
                                      : c == sx.last ? sx.last_weight
                                                     : 1.0;
                    const double w = wx * wy / area;
                    const std::uint8_t* px = row + 3 * static_cast<std::size_t>(c);
                    sum[0] += px[0] * w;
                    sum[1] += px[1] * w;
                    sum[2] += px[2] * w;
                }
            }
            for (int k = 0; k < 3; ++k) {
                dst[3 * static_cast<std::size_t>(x) + k] =
                    static_cast<std::uint8_t>(std::clamp(sum[k] + 0.5, 0.0, 255.0));
            }
        }
    }
}

bool make_thumbnail_picture(const Picture& decoded, const Options& o, Picture& thumbnail,
                            std::string& error) {
    if (o.thumbnail_width < 1 || o.thumbnail_width > kLargestBox || o.thumbnail_height < 1 ||
        o.thumbnail_height > kLargestBox) {  // the same rule as thumbnail_box_usable
        error = "box";
        return false;
    }
    const ThumbnailSize size =
        thumbnail_box(decoded.width, decoded.height, o.thumbnail_width, o.thumbnail_height);
    if (size.width <= 0 || size.height <= 0) {
        error = "size";
        return false;
    }
    try {
        Picture full;
        const Picture* source = &decoded;
        if (decoded.bits != 24) {
            if (!to_24_bits(decoded, full)) {
                error = "memory";
                return false;
            }
            source = &full;
        }
        const bool fits =
            decoded.width <= o.thumbnail_width && decoded.height <= o.thumbnail_height;
        if (o.fast_thumbnails || fits) {
            scale_nearest(*source, thumbnail, size);
        } else {
            scale_area(*source, thumbnail, size);
        }
        return true;
    } catch (const std::bad_alloc&) {
        error = "memory";
        return false;
    }
}

std::vector<std::uint8_t> encode_thumbnail(const Picture& picture, int quality) {
    if (picture.bits != 24 || picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() < picture.stride() * static_cast<std::size_t>(picture.height)) {
        return {};
    }
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> out;
    if (thumb_jpeg_encode(picture, quality, &mem, &size)) out.assign(mem, mem + size);
    std::free(mem);
    return out;
}

bool DecodeThumbnail(std::span<const std::uint8_t> stored, Picture& picture, std::string& error) {
    return thumb_decode(stored, picture, error, nullptr);
}

std::size_t thumbnail_stream_length(std::span<const std::uint8_t> stored, std::string& error) {
    Picture picture;
    std::size_t length = 0;
    return thumb_decode(stored, picture, error, &length) ? length : 0;
}

}  // namespace orbisto
