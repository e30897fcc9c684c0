#include <algorithm>
#include <cstdio>
#include <new>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/memory_gate.h"
#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_thumbnail.h"
#include "fileinfo/thumbnail.h"
#include "platform/codepage.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

// At most this much text is taken from the comments of a JPEG file.
constexpr std::size_t kJpegCommentLimit = 4000;

// The text of the COM and APP12 segments of a JPEG file, read by walking its
// markers from the start up to the start of the scan. A damaged walk ends
// with what was collected and its reason in `problem`.
std::string jpeg_comments(FileSource& file, std::string& problem) {
    std::string text;
    std::uint8_t head[4];
    if (file.read_at(0, head, 2) < 2 || head[0] != 0xFF || head[1] != 0xD8) {
        problem = "Not a JPEG file";
        return text;
    }
    std::uint64_t at = 2;
    const std::uint64_t size = file.size();
    while (text.size() < kJpegCommentLimit) {
        std::uint8_t b = 0;
        // A marker is one or more 0xFF bytes and a code; anything else
        // before it is garbage that is skipped.
        bool garbage = false;
        while (file.read_at(at, &b, 1) == 1 && b != 0xFF) {
            garbage = true;
            ++at;
        }
        if (garbage) problem = "Warning: garbage data found in JPEG file";
        while (file.read_at(at, &b, 1) == 1 && b == 0xFF) ++at;
        if (at >= size) {
            problem = "Premature EOF in JPEG file";
            break;
        }
        ++at;                                                 // the code b
        if (b == 0xDA || b == 0xD9) break;                    // start of scan, end of image
        if (b == 0x01 || (b >= 0xD0 && b <= 0xD7)) continue;  // markers without length
        if (file.read_at(at, head, 2) < 2) {
            problem = "Premature EOF in JPEG file";
            break;
        }
        const unsigned length = static_cast<unsigned>(head[0]) << 8 | head[1];
        if (length < 2) {
            problem = "Erroneous JPEG marker length";
            break;
        }
        if (b == 0xFE || b == 0xEC) {
            const std::size_t want =
                std::min<std::size_t>(length - 2, kJpegCommentLimit - text.size());
            const std::vector<std::uint8_t> body = file.read(at + 2, want);
            for (std::uint8_t c : body) {
                if (c == 0) c = ' ';
                if (c >= 0x20 ? c != 0x7F : (c == '\r' || c == '\n')) text += static_cast<char>(c);
            }
        }
        at += length;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

bool contains_jpg(std::string_view path) {
    return upper_ascii(path).find(".JPG") != std::string::npos;
}

// The general reader's thumbnail: the JPEG comments first (for files
// whose path says .JPG), then the rules, the decode and the scaling.
void make_general_thumbnail(FileInfoJob& job, const PictureFormat& format,
                            const PictureHeader& header) {
    const Options& o = job.options;
    if (contains_jpg(job.path)) {
        std::string problem;
        const std::string text = jpeg_comments(job.file, problem);
        if (!problem.empty()) job.status(problem);
        if (!text.empty()) job.result.scratch_text += ":" + text + "\r\n";
    }
    if (!large_enough_for_thumbnail(header.width, header.height, o)) return;
    if (!thumbnail_box_usable(o)) {
        job.status(silly_box_text(o, job.path));
        return;
    }
    // The decode buffer at full size: beyond MaxMem a picture silently
    // gets no thumbnail; beyond what may be allocated at all it is an
    // allocation that fails.
    const std::size_t rows = Picture::row_bytes(header.width, std::max(header.bits, 32));
    const std::size_t need = rows * static_cast<std::size_t>(header.height);
    if (need > picture_budget(o)) {
        if (o.max_picture_bytes <= 0) job.status(picture_memory_text(need + 32768, job.path));
        return;
    }
    const ThumbnailSize box =
        thumbnail_box(header.width, header.height, o.thumbnail_width, o.thumbnail_height);
    // A thumbnail needs no more pixels than it has: libjpeg decodes at the
    // smallest scale that still covers it (an eighth of a large photo's
    // pixels, each the mean of its 8 × 8 block). Averaged from there, a
    // thumbnail differs from one averaged from the full picture by at most a
    // few steps per channel, at a third of the time.
    const bool jpeg = format.decode == decode_jpeg;
    const unsigned denom =
        jpeg ? jpeg_scale_denominator(header.width, header.height, box.width, box.height) : 1;
    // Decodes on other threads share the budget: this one holds what it
    // will allocate while it runs.
    const MemoryGate::Hold hold(
        job.session.picture_gate,
        Picture::row_bytes((header.width + denom - 1) / denom, std::max(header.bits, 32)) *
            static_cast<std::size_t>((header.height + denom - 1) / denom));
    Picture decoded;
    std::string error;
    const bool ok = jpeg ? decode_jpeg_at_least(job.file, decoded, picture_budget(o), box.width,
                                                box.height, error)
                         : format.decode(job.file, decoded, picture_budget(o), error);
    if (!ok) {
        job.status("kann Bilddaten " + std::string(job.path) + " nicht lesen: " + error + " 0");
        return;
    }
    if (decoded.width != header.width || decoded.height != header.height) {
        // A scaled decode: the box is taken from the size the header gave.
        Picture thumb;
        if (box.width <= 0 || box.height <= 0) return;
        try {
            if (o.fast_thumbnails) {
                scale_nearest(decoded, thumb, box);
            } else {
                scale_area(decoded, thumb, box);
            }
        } catch (const std::bad_alloc&) {
            job.status(picture_memory_text(
                Picture::row_bytes(box.width, 24) * static_cast<std::size_t>(box.height) + 32768,
                job.path));
            return;
        }
        std::vector<std::uint8_t> stream = encode_thumbnail(thumb, o.thumbnail_quality);
        if (!stream.empty()) job.result.thumbnail = std::move(stream);
        return;
    }
    store_picture_thumbnail(job, decoded);
}

}  // namespace

int ReadImageInfo(FileInfoJob& job) {
    const std::size_t slash = job.path.rfind('/');
    const std::string_view name =
        slash == std::string_view::npos ? job.path : job.path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return 0;
    const PictureFormat* format = picture_format_for(name.substr(dot + 1));
    if (!format) return 0;
    PictureHeader header;
    std::string error;
    if (!format->read_header(job.file, header, error)) {
        job.status(error);
        return 0;
    }
    FileInfoResult& r = job.result;
    r.scratch_text = std::string(format->name) + " ";
    r.width = header.width;
    r.height = header.height;
    r.depth = header.bits;
    const Options& o = job.options;
    const bool large = header.width > o.thumbnail_width && header.height > o.thumbnail_height;
    char line[64];
    std::snprintf(line, sizeof line, "  Breite:%d  H\xC3\xB6he:%d  bpp:%d\r\n", header.width,
                  header.height, header.bits);
    job.log_line((large ? "\r\nThumbnail: " : "\r\nBildinfo: ") + std::string(job.path) + line);
    if (o.thumbnails) make_general_thumbnail(job, *format, header);
    return 1;
}

}  // namespace orbisto
