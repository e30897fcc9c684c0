// Times the thumbnails of large photos and weighs the scaled JPEG decode:
//
//   (a) N photos of 4000 × 3000 (one photo-like JPEG, hard-linked N times
//       into 10 directories) walked with Dateiinformationen and Thumbnails
//       on, as a scan does (the pictures read ahead on the other cores);
//       the target is at least 25 photos a second. `taskset -c 0` shows
//       what one core does.
//   (b) For a few different photos: the thumbnail from libjpeg's scaled
//       decode (1/8 .. 1/1, the smallest that covers the box) against the
//       full decode with the same nearest-neighbour scaler, and against the
//       full decode with the averaging scaler: time per photo and the
//       largest and mean difference per channel.
//
//   picture_bench [--photos N]
//
// The photos are made here: smooth colour gradients and soft blobs with
// grain, encoded by libjpeg at quality 90 (about the size a camera writes).
// Everything lives in a fresh folder below $TMPDIR (or /tmp), removed at the
// end.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "bench_files.h"
#include "fileinfo/file_source.h"
#include "fileinfo/picture_decoders.h"
#include "fileinfo/thumbnail.h"
#include "platform/files.h"
#include "scan/scan_walk.h"
#include "session/context.h"

namespace {

using namespace orbisto;
using bench::Clock;
using bench::seconds_since;
using bench::write_all;

constexpr int kWidth = 4000, kHeight = 3000;

// A photo-like picture: gradients, a few soft blobs and grain; `seed`
// varies all three.
Picture photo(unsigned seed) {
    Picture p;
    p.allocate(kWidth, kHeight, 24);
    std::uint32_t rng = 2463534242u ^ (seed * 0x9E3779B9u);
    const auto next = [&] {
        rng ^= rng << 13;
        rng ^= rng >> 17;
        rng ^= rng << 5;
        return rng;
    };
    struct Blob {
        double x, y, r, c[3];
    };
    std::vector<Blob> blobs;
    for (int i = 0; i < 12; ++i) {
        blobs.push_back(
            {static_cast<double>(next() % kWidth),
             static_cast<double>(next() % kHeight),
             200.0 + next() % 700,
             {double(next() % 160) - 80, double(next() % 160) - 80, double(next() % 160) - 80}});
    }
    const double phase = seed * 0.7;
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = p.row_from_top(y);
        for (int x = 0; x < kWidth; ++x) {
            double c[3] = {90 + 80 * std::sin(x * 0.0011 + phase), 110 + 60 * std::cos(y * 0.0017),
                           120 + 70 * std::sin((x + y) * 0.0007 + phase)};
            for (const Blob& b : blobs) {
                const double dx = x - b.x, dy = y - b.y;
                const double d2 = (dx * dx + dy * dy) / (b.r * b.r);
                if (d2 < 4) {
                    const double w = std::exp(-d2);
                    for (int k = 0; k < 3; ++k) c[k] += b.c[k] * w;
                }
            }
            const int grain = static_cast<int>(next() % 25) - 12;
            for (int k = 0; k < 3; ++k) {
                row[3 * x + (2 - k)] = static_cast<std::uint8_t>(std::clamp(
                    static_cast<int>(c[k]) + grain + static_cast<int>(next() % 7) - 3, 0, 255));
            }
        }
    }
    return p;
}

std::string fresh_root() {
    return bench::fresh_folder("orbisto-picture-bench");
}

struct WalkResult {
    std::uint32_t files = 0;
    std::uint32_t thumbnails = 0;
};

WalkResult walk(const std::string& root) {
    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.settings.options.file_information = true;
    ctx.settings.options.thumbnails = true;
    ctx.catalog.reset(false);
    Mp3Totals mp3;
    ScanDirectory(ctx, root, 0, 0, 0, mp3);
    WalkResult r;
    r.files = ctx.catalog.file_count();
    for (const FileRecord& f : ctx.catalog.files()) r.thumbnails += f.thumbnail != 0;
    return r;
}

void bench_scan(const std::string& root, const std::string& photo_path, unsigned count) {
    const unsigned dirs = 10;
    for (unsigned d = 0; d < dirs; ++d) make_directory(root + "/roll" + std::to_string(d));
    for (unsigned i = 0; i < count; ++i) {
        const std::string to =
            root + "/roll" + std::to_string(i % dirs) + "/IMG_" + std::to_string(1000 + i) + ".JPG";
        if (::link(photo_path.c_str(), to.c_str()) != 0) {
            std::perror(to.c_str());
            std::exit(1);
        }
    }
    const auto start = Clock::now();
    const WalkResult r = walk(root);
    const double s = seconds_since(start);
    std::printf("(a) %u photos of %dx%d in %u directories, Thumbnails on: %.2f s\n", r.files,
                kWidth, kHeight, dirs, s);
    std::printf("    %.1f photos/s (target >= 25); thumbnails stored: %u\n", r.files / s,
                r.thumbnails);
}

struct Difference {
    int max = 0;
    double mean = 0;
};

Difference compare(const Picture& a, const Picture& b) {
    Difference d;
    if (a.width != b.width || a.height != b.height) return {999, 999};
    std::uint64_t sum = 0, n = 0;
    for (std::int32_t y = 0; y < a.height; ++y) {
        const std::uint8_t* ra = a.pixels.data() + static_cast<std::size_t>(y) * a.stride();
        const std::uint8_t* rb = b.pixels.data() + static_cast<std::size_t>(y) * b.stride();
        for (std::size_t i = 0; i < static_cast<std::size_t>(a.width) * 3; ++i, ++n) {
            const int diff = std::abs(int(ra[i]) - int(rb[i]));
            d.max = std::max(d.max, diff);
            sum += static_cast<unsigned>(diff);
        }
    }
    d.mean = n ? double(sum) / double(n) : 0;
    return d;
}

void bench_scaled_decode(const std::vector<std::string>& photos) {
    const ThumbnailSize box = thumbnail_box(kWidth, kHeight, 256, 256);
    std::printf("(b) scaled decode against full decode, thumbnails of %dx%d:\n", box.width,
                box.height);
    double scaled_s = 0, scaled_area_s = 0, full_s = 0, area_s = 0;
    for (const std::string& path : photos) {
        Picture scaled_thumb, full_thumb, area_thumb;
        std::string error;
        auto src = PosixFileSource::open(path);
        if (!src) std::exit(1);
        // 1: scaled DCT + nearest
        auto start = Clock::now();
        Picture scaled;
        if (!decode_jpeg_at_least(*src, scaled, kPictureMemoryCeiling, box.width, box.height,
                                  error)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
            std::exit(1);
        }
        scale_nearest(scaled, scaled_thumb, box);
        scaled_s += seconds_since(start);
        start = Clock::now();
        Picture scaled_area_thumb;
        scale_area(scaled, scaled_area_thumb, box);
        scaled_area_s += seconds_since(start);
        // 2: full decode + nearest, 3: + area averaging (the reference)
        start = Clock::now();
        Picture full;
        if (!decode_jpeg(*src, full, kPictureMemoryCeiling, error)) std::exit(1);
        const double decode_s = seconds_since(start);
        start = Clock::now();
        scale_nearest(full, full_thumb, box);
        full_s += decode_s + seconds_since(start);
        start = Clock::now();
        scale_area(full, area_thumb, box);
        area_s += decode_s + seconds_since(start);
        const Difference same = compare(scaled_thumb, full_thumb);
        const Difference truth = compare(scaled_thumb, area_thumb);
        const Difference nearest_truth = compare(full_thumb, area_thumb);
        const Difference area_truth = compare(scaled_area_thumb, area_thumb);
        std::printf("    %s: decoded at %dx%d\n", path.substr(path.rfind('/') + 1).c_str(),
                    scaled.width, scaled.height);
        std::printf("      scaled+nearest vs full+nearest: max %3d  mean %5.2f\n", same.max,
                    same.mean);
        std::printf("      scaled+nearest vs full+area:    max %3d  mean %5.2f\n", truth.max,
                    truth.mean);
        std::printf("      full+nearest   vs full+area:    max %3d  mean %5.2f\n",
                    nearest_truth.max, nearest_truth.mean);
        std::printf("      scaled+area    vs full+area:    max %3d  mean %5.2f\n", area_truth.max,
                    area_truth.mean);
    }
    const double n = static_cast<double>(photos.size());
    std::printf(
        "    per photo: scaled+nearest %.1f ms, scaled+area %.1f ms, full+nearest %.1f ms, "
        "full+area %.1f ms\n",
        1000 * scaled_s / n, 1000 * (scaled_s + scaled_area_s) / n, 1000 * full_s / n,
        1000 * area_s / n);
}

}  // namespace

int main(int argc, char** argv) {
    unsigned count = 1000;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--photos" && i + 1 < argc) {
            count = static_cast<unsigned>(std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: picture_bench [--photos N]\n");
            return 2;
        }
    }
    const std::string root = fresh_root();
    make_directory(root + "/photos");
    std::vector<std::string> photos;
    for (unsigned seed = 0; seed < 4; ++seed) {
        const std::string path = root + "/photo" + std::to_string(seed) + ".jpg";
        const std::vector<std::uint8_t> jpeg = encode_thumbnail(photo(seed), 90);
        if (jpeg.empty()) {
            std::fprintf(stderr, "could not encode the photo\n");
            return 1;
        }
        write_all(path, jpeg);
        if (seed == 0) std::printf("photo: %dx%d, %zu bytes\n", kWidth, kHeight, jpeg.size());
        photos.push_back(path);
    }
    if (count) bench_scan(root + "/photos", photos[0], count);
    bench_scaled_decode(photos);
    remove_tree(root);
    return 0;
}
