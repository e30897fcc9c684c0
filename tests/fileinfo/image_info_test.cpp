// The picture readers as the dispatcher runs them: the texts of real GIF,
// TIFF, PNG and JPEG files and of a hand-made PhotoCD, the thumbnails they
// store, the status texts of the memory limits and the box, and damaged
// files that must give no thumbnail and no crash.
#include <gtest/gtest.h>

#include <cstdlib>

#include "fileinfo/extractors.h"
#include "fileinfo/thumbnail.h"
#include "picture_test_support.h"
#include "settings/environment.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

using test::pixel;
using test::Rgb;

struct StatusEnvironment : Environment {
    explicit StatusEnvironment(Frontend& fe) : Environment(fe) {}
};

// A reader run whose status texts are kept; thumbnails on, and the minimum
// size out of the way unless a test sets it.
struct PictureRun : test::ReaderRun {
    test::ScriptedFrontend frontend;
    StatusEnvironment environment{frontend};

    PictureRun() {
        env = &environment;
        options.thumbnails = true;
        options.min_image_width = 1;
        options.min_image_height = 1;
    }
    std::string statuses() const {
        std::string all;
        for (const std::string& s : frontend.statuses) all += s + "|";
        return all;
    }
    // The stored thumbnail decoded; an empty picture when there is none.
    Picture thumbnail() const {
        Picture p;
        std::string error;
        if (!result.thumbnail.empty()) {
            EXPECT_TRUE(DecodeThumbnail(result.thumbnail, p, error)) << error;
        }
        return p;
    }
};

double luma(const Rgb& c) {
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

const Rgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255};

// A PhotoCD file: the signature at 0x800 and the three stored resolutions
// (192 × 128 at 0x2000, 384 × 256 at 0xB800, 768 × 512 at 0x30000), each as
// groups of two luminance rows and one chroma row (C1 in its first half, C2
// in its second, one value per pair of pixels). `lit` chooses the
// resolution that gets the picture; the others stay black. The picture's
// top-left quarter is grey (Y 150), the rest coloured (Y 100, C1 200, C2 100).
std::vector<std::uint8_t> make_pcd(int lit) {
    struct Res {
        std::size_t w, h, at;
    };
    const Res res[] = {{192, 128, 0x2000}, {384, 256, 0xB800}, {768, 512, 0x30000}};
    std::vector<std::uint8_t> f(0x30000 + 768 * 512 * 3 / 2, 0);
    const char sig[] = "PCD_IPI";
    std::copy(sig, sig + 7, f.begin() + 0x800);
    for (int r = 0; r < 3; ++r) {
        const Res& s = res[r];
        for (std::size_t pair = 0; pair < s.h / 2; ++pair) {
            std::uint8_t* g = f.data() + s.at + pair * 3 * s.w;
            for (std::size_t x = 0; x < s.w; ++x) {
                const bool grey = x < s.w / 2 && 2 * pair < s.h / 2;
                const std::uint8_t y = r != lit ? 0 : grey ? 150 : 100;
                g[x] = g[s.w + x] = y;
                if (x % 2 == 0) {
                    g[2 * s.w + x / 2] = r != lit || grey ? 156 : 200;
                    g[2 * s.w + s.w / 2 + x / 2] = r != lit || grey ? 137 : 100;
                }
            }
        }
    }
    return f;
}

TEST(ImageInfo, TextsOfRealFilesInBothLanguages) {
    struct Case {
        const char* file;
        bool thumbnails;
        const char* german;
        const char* english;
    };
    const Case cases[] = {
        {"pic.gif", true, "GIF  37 x 23 x 4", nullptr},
        {"pic.tif", true, "TIFF  37 x 23 x 24", nullptr},
        {"photo_800.png", true, "PNG-Bild 800 x 600 x 8", "PNG-image 800 x 600 x 8"},
        {"photo_800.jpg", true, "JPEG :Holiday\r\n 800 x 600 x 24", nullptr},
        {"photo_800.jpg", false, "JPEG  800 x 600 x 24", nullptr},
    };
    for (const Case& c : cases) {
        for (Language lang : {Language::German, Language::English}) {
            test::ReaderRun r;
            r.options.thumbnails = c.thumbnails;
            r.options.language = lang;
            ASSERT_EQ(r.collect(test::fixture(c.file)), 1) << c.file;
            const char* want = lang == Language::English && c.english ? c.english : c.german;
            EXPECT_EQ(r.result.info_text, want) << c.file;
        }
    }
    // The comment is looked for only when the path says ".JPG".
    test::ReaderRun r;
    const auto jpeg = test::file_bytes(test::fixture("photo_800.jpg"));
    ASSERT_EQ(r.collect(jpeg, "/m/photo.jpeg"), 1);
    EXPECT_EQ(r.result.info_text, "JPEG  800 x 600 x 24");
}

TEST(ImageInfo, ThumbnailsOfRealFilesKeepOrientationAndColour) {
    struct Case {
        const char* file;
        int (*reader)(FileInfoJob&);
        int width, height;
        Rgb top_left, below_left, below_right;
    };
    const Rgb flat{0x33, 0x66, 0xCC};
    const Case cases[] = {
        {"photo_800.jpg", ReadImageInfo, 256, 192, kWhite, kRed, kBlue},
        {"photo_800.png", ReadPngInfo, 256, 192, flat, flat, flat},
        {"pic.gif", ReadImageInfo, 40, 23, kWhite, kRed, kBlue},  // fits: width rounded up
        {"pic.tif", ReadImageInfo, 40, 23, kWhite, kRed, kBlue},
    };
    for (const Case& c : cases) {
        for (bool fast : {true, false}) {
            PictureRun r;
            r.options.fast_thumbnails = fast;
            ASSERT_EQ(r.run_file(c.reader, test::fixture(c.file)), 1) << c.file;
            const Picture t = r.thumbnail();
            ASSERT_EQ(t.width, c.width) << c.file << " " << r.statuses();
            ASSERT_EQ(t.height, c.height) << c.file;
            // The top row by its brightness (a one-pixel row loses its
            // colour to JPEG's halved chroma), the rest away from the edges.
            EXPECT_NEAR(luma(pixel(t, 2, 0)), luma(c.top_left), 40) << c.file << " " << fast;
            const Rgb left = pixel(t, c.width / 8, c.height * 3 / 4);
            const Rgb right = pixel(t, c.width * 3 / 4 - 4, c.height * 3 / 4);
            EXPECT_TRUE(rgb_near(left, c.below_left, 24)) << c.file << " " << fast << ": " << left;
            EXPECT_TRUE(rgb_near(right, c.below_right, 24))
                << c.file << " " << fast << ": " << right;
        }
    }
}

TEST(ImageInfo, MinimumSizeRuleAppliesToTheGeneralAndPngReaders) {
    PictureRun r;
    r.options.min_image_width = 256;
    r.options.min_image_height = 256;
    r.options.thumbnail_switch = true;
    ASSERT_EQ(r.run_file(ReadImageInfo, test::fixture("photo_800.jpg")), 1);
    EXPECT_FALSE(r.result.thumbnail.empty());
    ASSERT_EQ(r.run_file(ReadImageInfo, test::fixture("pic.gif")), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    r.options.min_image_height = 601;
    ASSERT_EQ(r.run_file(ReadPngInfo, test::fixture("photo_800.png")), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    r.options.thumbnail_switch = false;  // one side large enough will do
    ASSERT_EQ(r.run_file(ReadPngInfo, test::fixture("photo_800.png")), 1);
    EXPECT_FALSE(r.result.thumbnail.empty());
    EXPECT_EQ(r.statuses(), "");
}

TEST(ImageInfo, PhotoCdReadsTheSmallestCoveringResolutionUpright) {
    struct Case {
        int box_w, box_h, lit, width, height;
    };
    const Case cases[] = {
        {192, 128, 0, 192, 128}, {193, 128, 0, 192, 128},  // both sides must exceed 192 × 128
        {256, 256, 1, 256, 170}, {384, 257, 1, 384, 256}, {400, 300, 2, 400, 266},
    };
    for (const Case& c : cases) {
        PictureRun r;
        r.options.thumbnail_width = c.box_w;
        r.options.thumbnail_height = c.box_h;
        r.options.min_image_width = 10000;  // the minimum size does not apply to PhotoCD
        const std::vector<std::uint8_t> pcd = make_pcd(c.lit);
        ASSERT_EQ(r.collect(pcd, "/m/IMG0001.PCD"), 1);
        EXPECT_EQ(r.result.info_text, "PCD-Bild 768 x 512 x 24");
        ASSERT_EQ(r.run(ReadPcdInfo, pcd, "/m/IMG0001.PCD"), 1);
        const Picture t = r.thumbnail();
        ASSERT_EQ(t.width, c.width) << c.box_w << "x" << c.box_h;
        ASSERT_EQ(t.height, c.height) << c.box_w << "x" << c.box_h;
        // L = 1.407488 Y; blue = L + 2.0360448 (C1 - 156), green = L +
        // 0.3954176 (C1 - 156) + 0.67392 (C2 - 137), red = L + 1.3230336 (C2 - 137).
        const Rgb grey{211, 211, 211}, colour{91, 133, 230};
        const int w = t.width, h = t.height;
        EXPECT_TRUE(rgb_near(pixel(t, w / 4, h / 4), grey, 10)) << pixel(t, w / 4, h / 4);
        EXPECT_TRUE(rgb_near(pixel(t, w * 3 / 4, h / 4), colour, 10)) << pixel(t, w * 3 / 4, h / 4);
        EXPECT_TRUE(rgb_near(pixel(t, w / 4, h * 3 / 4), colour, 10)) << pixel(t, w / 4, h * 3 / 4);
    }
    test::ReaderRun english;
    english.options.language = Language::English;
    ASSERT_EQ(english.collect(make_pcd(0), "/m/IMG0001.PCD"), 1);
    EXPECT_EQ(english.result.info_text, "PCD-image 768 x 512 x 24");
}

void put_be16(std::vector<std::uint8_t>& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}
void put_be32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    put_be16(b, at, v >> 16);
    put_be16(b, at + 2, v & 0xFFFF);
}
void put_le16(std::vector<std::uint8_t>& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint32_t png_crc(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

// photo_800.png claiming another size (with a valid IHDR checksum).
std::vector<std::uint8_t> png_of_size(std::uint32_t w, std::uint32_t h) {
    auto b = test::file_bytes(test::fixture("photo_800.png"));
    put_be32(b, 16, w);
    put_be32(b, 20, h);
    put_be32(b, 29, png_crc(b.data() + 12, 17));
    return b;
}

// photo_800.jpg whose frame header claims another size.
std::vector<std::uint8_t> jpeg_of_size(unsigned w, unsigned h) {
    auto b = test::file_bytes(test::fixture("photo_800.jpg"));
    for (std::size_t i = 0; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            put_be16(b, i + 5, h);
            put_be16(b, i + 7, w);
            break;
        }
    }
    return b;
}

// A little-endian TIFF of directories of one 8-bit grey strip each, the
// first w × h, the others 1 × 1; the last points back to the first.
std::vector<std::uint8_t> tiff_chain(std::uint32_t w, std::uint32_t h, int directories) {
    std::vector<std::uint8_t> b = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const std::size_t ifd_size = 2 + 8 * 12 + 4;
    const std::size_t data = 8 + directories * ifd_size;
    for (int d = 0; d < directories; ++d) {
        const std::size_t at = b.size();
        b.resize(at + ifd_size, 0);
        put_le16(b, at, 8);
        const std::uint32_t entries[8][3] = {
            {256, 4, d ? 1 : w},
            {257, 4, d ? 1 : h},
            {258, 3, 8},
            {262, 3, 1},
            {273, 4, static_cast<std::uint32_t>(data)},
            {277, 3, 1},
            {278, 4, d ? 1 : h},
            {279, 4, 16},
        };
        for (int e = 0; e < 8; ++e) {
            const std::size_t p = at + 2 + 12 * e;
            put_le16(b, p, entries[e][0]);
            put_le16(b, p + 2, entries[e][1]);
            b[p + 4] = 1;
            const std::uint32_t v = entries[e][2];
            for (int k = 0; k < 4; ++k) b[p + 8 + k] = static_cast<std::uint8_t>(v >> (8 * k));
        }
        const std::uint32_t next =
            d + 1 < directories ? static_cast<std::uint32_t>(at + ifd_size) : 8;
        for (int k = 0; k < 4; ++k)
            b[at + ifd_size - 4 + k] = static_cast<std::uint8_t>(next >> (8 * k));
    }
    b.resize(data + 16, 0x80);
    return b;
}

// A 4 × 4 8-bit grey TIFF in two strips of two rows, the second cut short.
std::vector<std::uint8_t> tiff_second_strip_cut() {
    std::vector<std::uint8_t> b = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const std::size_t data = 8 + 2 + 8 * 12 + 4;
    b.resize(data, 0);
    put_le16(b, 8, 8);
    // tag, type, count, two 16-bit values
    const unsigned entries[8][5] = {
        {256, 3, 1, 4, 0},           {257, 3, 1, 4, 0}, {258, 3, 1, 8, 0}, {262, 3, 1, 1, 0},
        {273, 3, 2, data, data + 8}, {277, 3, 1, 1, 0}, {278, 3, 1, 2, 0}, {279, 3, 2, 8, 8},
    };
    for (int e = 0; e < 8; ++e) {
        const std::size_t p = 10 + 12 * e;
        put_le16(b, p, entries[e][0]);
        put_le16(b, p + 2, entries[e][1]);
        put_le16(b, p + 4, entries[e][2]);
        put_le16(b, p + 8, entries[e][3]);
        put_le16(b, p + 10, entries[e][4]);
    }
    b.resize(data + 12, 0x80);
    return b;
}

std::string memory_text(std::uint64_t bytes, const std::string& path) {
    return "nicht genug Speicher um " + std::to_string(bytes) + " Bytes f\xC3\xBCr " + path +
           " zu reservieren|";
}

TEST(ImageInfo, MemoryLimitsAndTheSillyBox) {
    const std::string jpg = test::fixture("photo_800.jpg");
    PictureRun r;
    // MaxMem below the 800 × 600 decode buffer (3200 bytes a row): silently none.
    r.options.max_picture_bytes = 3200 * 600 - 1;
    ASSERT_EQ(r.run_file(ReadImageInfo, jpg), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    EXPECT_EQ(r.result.scratch_text, "JPEG :Holiday\r\n");
    r.options.max_picture_bytes = 3200 * 600;
    ASSERT_EQ(r.run_file(ReadImageInfo, jpg), 1);
    EXPECT_FALSE(r.result.thumbnail.empty());
    r.options.max_picture_bytes = 2400 * 600 - 1;  // below the 24-bit PNG rows
    ASSERT_EQ(r.run_file(ReadPngInfo, test::fixture("photo_800.png")), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    EXPECT_EQ(r.statuses(), "");

    // Without MaxMem, a picture beyond what may be allocated says so.
    r.options.max_picture_bytes = 0;
    ASSERT_EQ(r.run(ReadImageInfo, jpeg_of_size(65000, 65000), "/m/big.jpg"), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    EXPECT_EQ(r.statuses(), memory_text(260000ull * 65000 + 32768, "/m/big.jpg"));
    r.frontend.statuses.clear();
    ASSERT_EQ(r.collect(png_of_size(100000, 100000), "/m/big.png"), 1);
    EXPECT_EQ(r.result.info_text, "PNG-Bild 100000 x 100000 x 8");
    ASSERT_EQ(r.run(ReadPngInfo, png_of_size(100000, 100000), "/m/big.png"), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    EXPECT_EQ(r.statuses(), memory_text(300000ull * 100000 + 32768, "/m/big.png"));

    // A box of 0 or above 10000 pixels.
    r.frontend.statuses.clear();
    r.options.thumbnail_width = 0;
    ASSERT_EQ(r.run_file(ReadImageInfo, jpg), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    EXPECT_EQ(r.statuses(),
              "Keine Scherze bitte 0x256, ist bl\xC3\xB6"
              "dsinn " +
                  jpg + "|");
    r.frontend.statuses.clear();
    r.options.thumbnail_width = 256;
    r.options.thumbnail_height = 10001;
    ASSERT_EQ(r.run(ReadPcdInfo, make_pcd(2), "/m/a.pcd"), 1);
    EXPECT_TRUE(r.result.thumbnail.empty());
    EXPECT_EQ(r.statuses(),
              "Keine Scherze bitte 256x10001, ist bl\xC3\xB6"
              "dsinn /m/a.pcd|");
}

TEST(ImageInfo, DamagedFilesGiveNoThumbnailAndSayWhy) {
    struct Case {
        std::string name;
        std::vector<std::uint8_t> bytes;
        int (*reader)(FileInfoJob&);
    };
    std::vector<Case> cases;
    // Cut in the headers, half way, and late in the pixel data (the PNG's
    // image data ends at 643, its text chunks follow; the TIFF of ImageMagick
    // ends with its directory, so its strip is cut below).
    const struct {
        const char* file;
        int (*reader)(FileInfoJob&);
        std::size_t late;
    } files[] = {
        {"photo_800.jpg", ReadImageInfo, 4400},
        {"photo_800.png", ReadPngInfo, 630},
        {"pic.gif", ReadImageInfo, 100},
        {"pic.tif", ReadImageInfo, 300},
    };
    for (const auto& [file, reader, late] : files) {
        const auto whole = test::file_bytes(test::fixture(file));
        for (std::size_t keep : {std::size_t{12}, std::size_t{40}, whole.size() / 2, late}) {
            cases.push_back({"cut" + std::to_string(keep) + "_" + file,
                             {whole.begin(), whole.begin() + static_cast<long>(keep)},
                             reader});
        }
    }
    // Sizes that would need more than any budget, and a PhotoCD cut short.
    auto gif = test::file_bytes(test::fixture("pic.gif"));
    put_le16(gif, 6, 65535);
    put_le16(gif, 8, 65535);
    cases.push_back({"screen.gif", gif, ReadImageInfo});
    cases.push_back({"huge.tif", tiff_chain(100000, 100000, 1), ReadImageInfo});
    cases.push_back({"strip.tif", tiff_second_strip_cut(), ReadImageInfo});
    auto pcd = make_pcd(1);
    pcd.resize(0xB800 + 1000);
    cases.push_back({"short.pcd", pcd, ReadPcdInfo});

    for (const Case& c : cases) {
        PictureRun r;
        const int found = r.run(c.reader, c.bytes, "/m/" + c.name);
        EXPECT_TRUE(r.result.thumbnail.empty()) << c.name;
        // The size known but no thumbnail: the status line says why.
        if (found == 1) {
            EXPECT_NE(r.statuses(), "") << c.name;
        }
    }
}

TEST(ImageInfo, ManyTiffDirectoriesReadOnlyTheFirst) {
    PictureRun r;
    ASSERT_EQ(r.run(ReadImageInfo, tiff_chain(4, 4, 2000), "/m/many.tif"), 1) << r.statuses();
    EXPECT_EQ(r.result.scratch_text, "TIFF ");
    EXPECT_EQ(r.result.width, 4);
    const Picture t = r.thumbnail();
    EXPECT_EQ(t.width, 4);
    EXPECT_TRUE(rgb_near(pixel(t, 1, 1), Rgb{128, 128, 128}, 4)) << pixel(t, 1, 1);
}

}  // namespace
}  // namespace orbisto
