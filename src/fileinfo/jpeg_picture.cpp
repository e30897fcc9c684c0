#include <cstdio>

#include "fileinfo/jpeg_support.h"
#include "fileinfo/picture_decoders.h"

namespace orbisto {

namespace {

// Plain data only in the frames that libjpeg may jump back into.
struct JpegDecodeRequest {
    FileSource* file;
    Picture* picture;  // null: the header only
    std::size_t max_pixel_bytes;
    std::int32_t min_width, min_height;  // 0: full size
    PictureHeader header;
    char message[JMSG_LENGTH_MAX];
    bool too_large;
};

unsigned jpeg_scale_for(const jpeg_decompress_struct& d, std::int32_t min_w, std::int32_t min_h) {
    return jpeg_scale_denominator(d.image_width, d.image_height, min_w, min_h);
}

bool jpeg_run(JpegDecodeRequest& rq) {
    jpeg_decompress_struct d{};
    JpegErrorTrap trap;
    JpegFileSource source;
    d.err = trap.install();
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&d);
        std::snprintf(rq.message, sizeof rq.message, "%s", trap.message);
        return false;
    }
    jpeg_create_decompress(&d);
    source.attach(&d, *rq.file);
    jpeg_read_header(&d, TRUE);
    rq.header.width = static_cast<std::int32_t>(d.image_width);
    rq.header.height = static_cast<std::int32_t>(d.image_height);
    rq.header.bits = d.num_components == 1 ? 8 : 24;
    if (!rq.picture) {
        jpeg_destroy_decompress(&d);
        return true;
    }
    d.out_color_space = JCS_EXT_BGR;
    d.scale_num = 1;
    d.scale_denom = jpeg_scale_for(d, rq.min_width, rq.min_height);
    jpeg_calc_output_dimensions(&d);
    const std::size_t area =
        Picture::row_bytes(static_cast<std::int32_t>(d.output_width), 24) * d.output_height;
    if (area > rq.max_pixel_bytes) {
        jpeg_destroy_decompress(&d);
        rq.too_large = true;
        return false;
    }
    rq.picture->allocate(static_cast<std::int32_t>(d.output_width),
                         static_cast<std::int32_t>(d.output_height), 24);
    jpeg_start_decompress(&d);
    while (d.output_scanline < d.output_height) {
        JSAMPROW line = rq.picture->row_from_top(static_cast<std::int32_t>(d.output_scanline));
        jpeg_read_scanlines(&d, &line, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return true;
}

bool jpeg_decode_into(FileSource& file, Picture* picture, std::size_t max_pixel_bytes,
                      std::int32_t min_w, std::int32_t min_h, PictureHeader* header,
                      std::string& error) {
    JpegDecodeRequest rq{&file, picture, max_pixel_bytes, min_w, min_h, {}, {}, false};
    bool ok = false;
    try {
        ok = jpeg_run(rq);
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        return false;
    }
    if (!ok) {
        error = rq.too_large ? "too large" : rq.message;
        return false;
    }
    if (header) *header = rq.header;
    return true;
}

}  // namespace

bool read_jpeg_header(FileSource& file, PictureHeader& header, std::string& error) {
    return jpeg_decode_into(file, nullptr, 0, 0, 0, &header, error);
}

bool decode_jpeg(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                 std::string& error) {
    return jpeg_decode_into(file, &picture, max_pixel_bytes, 0, 0, nullptr, error);
}

bool decode_jpeg_at_least(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                          std::int32_t min_width, std::int32_t min_height, std::string& error) {
    return jpeg_decode_into(file, &picture, max_pixel_bytes, min_width, min_height, nullptr, error);
}

unsigned jpeg_scale_denominator(std::int64_t width, std::int64_t height, std::int32_t min_width,
                                std::int32_t min_height) {
    if (min_width <= 0 || min_height <= 0) return 1;
    for (const std::int64_t denom : {8, 4, 2}) {
        if ((width + denom - 1) / denom >= min_width && (height + denom - 1) / denom >= min_height)
            return static_cast<unsigned>(denom);
    }
    return 1;
}

}  // namespace orbisto
