#include <algorithm>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/picture_thumbnail.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

struct PcdResolution {
    std::int32_t width, height;
    std::uint64_t offset;
};

// The smallest stored resolution that covers the thumbnail box.
PcdResolution pcd_resolution_for(const Options& o) {
    if (o.thumbnail_width > 384 && o.thumbnail_height > 256) return {768, 512, 0x30000};
    if (o.thumbnail_width > 192 && o.thumbnail_height > 128) return {384, 256, 0xB800};
    return {192, 128, 0x2000};
}

std::uint8_t pcd_clamp(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

// The picture at one of the stored resolutions: pairs of luminance rows
// followed by a row of the two chroma halves, turned into blue, green, red.
bool decode_pcd(FileSource& file, const PcdResolution& res, Picture& picture) {
    const auto w = static_cast<std::size_t>(res.width);
    std::vector<std::uint8_t> group;
    picture.allocate(res.width, res.height, 24);
    for (std::int32_t pair = 0; pair < res.height / 2; ++pair) {
        if (!file.read_exact(res.offset + static_cast<std::uint64_t>(pair) * 3 * w, 3 * w, group)) {
            return false;
        }
        const std::uint8_t* c1 = group.data() + 2 * w;
        const std::uint8_t* c2 = c1 + w / 2;
        for (int line = 0; line < 2; ++line) {
            const std::uint8_t* y = group.data() + static_cast<std::size_t>(line) * w;
            std::uint8_t* out = picture.row_from_top(2 * pair + line);
            for (std::size_t x = 0; x < w; ++x) {
                const double l = 1.407488 * y[x];
                const double u = c1[x / 2] - 156.0;
                const double v = c2[x / 2] - 137.0;
                out[3 * x] = pcd_clamp(l + 2.0360448 * u);
                out[3 * x + 1] = pcd_clamp(l + 0.3954176 * u + 0.67392 * v);
                out[3 * x + 2] = pcd_clamp(l + 1.3230336 * v);
            }
        }
    }
    return true;
}

}  // namespace

int ReadPcdInfo(FileInfoJob& job) {
    std::vector<std::uint8_t> magic;
    if (!job.file.read_exact(0x800, 3, magic) || magic[0] != 'P' || magic[1] != 'C' ||
        magic[2] != 'D') {
        return 0;
    }
    FileInfoResult& r = job.result;
    r.width = 768;
    r.height = 512;
    r.depth = 24;
    if (job.options.thumbnails) {
        Picture picture;
        if (decode_pcd(job.file, pcd_resolution_for(job.options), picture)) {
            store_picture_thumbnail(job, picture);
        } else {
            job.status("kann Bilddaten " + std::string(job.path) + " nicht lesen: PCD 0");
        }
    }
    return 1;
}

}  // namespace orbisto
