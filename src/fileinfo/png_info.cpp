#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/memory_gate.h"
#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_thumbnail.h"
#include "fileinfo/thumbnail.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

struct PngInput {
    FileSource* file;
    std::uint64_t offset;
};

void png_read_source(png_structp png, png_bytep out, png_size_t n) {
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    const std::size_t got = in->file->read_at(in->offset, out, n);
    in->offset += got;
    if (got != n) png_error(png, "Premature end of PNG file");
}

void png_quiet_warning(png_structp, png_const_charp) {}

struct PngDecode {
    FileSource* file;
    Picture* picture;
    std::size_t max_pixel_bytes;
    std::vector<png_bytep>* rows;
    char message[128];
};

// libpng's errors: the message kept (not printed) and the jump back.
void png_keep_error(png_structp png, png_const_charp text) {
    auto* job = static_cast<PngDecode*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", text ? text : "damaged PNG file");
    png_longjmp(png, 1);
}

// libpng jumps back here on an error: only plain data lives in this frame.
bool png_run(PngDecode& job) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, png_keep_error, png_quiet_warning);
    if (!png) {
        std::snprintf(job.message, sizeof job.message, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    PngInput in{job.file, 0};
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &in, png_read_source);
    png_set_user_limits(png, 100000, 100000);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    // Everything becomes 8-bit blue, green, red.
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (depth == 16) png_set_strip_16(png);
    if (type & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(w) * 3 ||
        Picture::row_bytes(static_cast<std::int32_t>(w), 24) * h > job.max_pixel_bytes) {
        std::snprintf(job.message, sizeof job.message, "too large");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    job.picture->allocate(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), 24);
    job.rows->resize(h);
    for (png_uint_32 y = 0; y < h; ++y) {
        (*job.rows)[y] = job.picture->row_from_top(static_cast<std::int32_t>(y));
    }
    png_read_image(png, job.rows->data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

// The picture of a PNG file as 24 bits, at full size.
bool decode_png_picture(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                        std::string& error) {
    std::vector<png_bytep> rows;
    PngDecode job{&file, &picture, max_pixel_bytes, &rows, {}};
    try {
        if (png_run(job)) return true;
        error = job.message[0] ? job.message : "damaged PNG file";
    } catch (const std::bad_alloc&) {
        error = "out of memory";
    }
    return false;
}

int ReadPngInfo(FileInfoJob& job) {
    std::vector<std::uint8_t> ihdr;
    if (!job.file.read_exact(8, 20, ihdr)) return 0;
    if (ihdr[4] != 'I' || ihdr[5] != 'H' || ihdr[6] != 'D' || ihdr[7] != 'R') return 0;
    // The sizes as 24-bit numbers: the top byte of each field is ignored.
    FileInfoResult& r = job.result;
    r.width = ihdr[9] << 16 | ihdr[10] << 8 | ihdr[11];
    r.height = ihdr[13] << 16 | ihdr[14] << 8 | ihdr[15];
    r.depth = ihdr[16];
    const Options& o = job.options;
    if (o.thumbnails && large_enough_for_thumbnail(r.width, r.height, o)) {
        // Beyond MaxMem no thumbnail, silently; beyond what may be
        // allocated at all, the allocation fails.
        const std::size_t need =
            Picture::row_bytes(r.width, 24) * static_cast<std::size_t>(r.height);
        if (need > picture_budget(o)) {
            if (o.max_picture_bytes <= 0) job.status(picture_memory_text(need + 32768, job.path));
            return 1;
        }
        const MemoryGate::Hold hold(job.session.picture_gate, need);
        Picture picture;
        std::string error;
        if (decode_png_picture(job.file, picture, picture_budget(o), error)) {
            store_picture_thumbnail(job, picture);
        } else {
            job.status("kann Bilddaten " + std::string(job.path) + " nicht lesen: " + error + " 0");
        }
    }
    return 1;
}

}  // namespace orbisto
