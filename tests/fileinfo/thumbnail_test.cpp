// Thumbnails: the box, the minimum-size rule, both scalers on small known
// pictures, the palette expansion, and the JPEG form stored and decoded.
#include "fileinfo/thumbnail.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "picture_test_support.h"
#include "settings/settings.h"

namespace orbisto {
namespace {

using test::pixel;
using test::Rgb;

// A 24-bit picture filled by colour(x, y) with y counted from the top.
template <class Colour>
Picture make_picture(int w, int h, Colour colour) {
    Picture p;
    p.allocate(w, h, 24);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = p.row_from_top(y);
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            row[3 * x] = static_cast<std::uint8_t>(c.b);
            row[3 * x + 1] = static_cast<std::uint8_t>(c.g);
            row[3 * x + 2] = static_cast<std::uint8_t>(c.r);
        }
    }
    return p;
}

Rgb grey(int v) {
    return {v, v, v};
}

TEST(Thumbnail, BoxShrinksByTheLargerFactorAndRoundsTheWidthUpTo4) {
    struct Case {
        int w, h, box_w, box_h, want_w, want_h;
    };
    const Case cases[] = {
        {1024, 768, 256, 256, 256, 192}, {1000, 300, 256, 256, 256, 76},
        {250, 100, 256, 256, 252, 100},  // fits: kept, only the width rounded
        {256, 256, 256, 256, 256, 256},  // exactly the box
        {3, 3, 256, 256, 4, 3},          // never enlarged
        {300, 1000, 256, 256, 76, 256},  // 76.8 -> 76, already a multiple of 4
        {100, 1000, 256, 256, 28, 256},  // 25.6 -> 25 -> 28
        {640, 480, 160, 100, 136, 100},  // the height decides: 133.3 -> 133 -> 136
        {1, 100000, 256, 256, 0, 256},   // a sliver has no width left
        {0, 10, 256, 256, 0, 0},         {10, 10, 0, 256, 0, 0},
    };
    for (const Case& c : cases) {
        const ThumbnailSize s = thumbnail_box(c.w, c.h, c.box_w, c.box_h);
        EXPECT_EQ(s.width, c.want_w) << c.w << "x" << c.h << " in " << c.box_w << "x" << c.box_h;
        EXPECT_EQ(s.height, c.want_h) << c.w << "x" << c.h << " in " << c.box_w << "x" << c.box_h;
    }
}

TEST(Thumbnail, MinimumSizeRuleWithAndWithoutBothSides) {
    struct Case {
        bool both;  // ThumbUnd
        int w, h;
        bool made;
    };
    const Case cases[] = {
        {true, 256, 256, true},   {true, 255, 1000, false}, {true, 1000, 255, false},
        {true, 100, 100, false},  {false, 256, 256, true},  {false, 255, 1000, true},
        {false, 1000, 255, true}, {false, 255, 255, false},
    };
    Options o;
    o.min_image_width = 256;
    o.min_image_height = 256;
    for (const Case& c : cases) {
        o.thumbnail_switch = c.both;
        EXPECT_EQ(large_enough_for_thumbnail(c.w, c.h, o), c.made)
            << c.w << "x" << c.h << " ThumbUnd=" << c.both;
    }
}

TEST(Thumbnail, NearestTakesTheColumnAndRowOfTheIntegerRatio) {
    // 6 × 4, every pixel distinct; scaled to 3 × 2 it keeps columns 0, 2, 4
    // and stored rows 0 and 2 (rows are stored bottom first).
    const Picture in = make_picture(6, 4, [](int x, int y) { return Rgb{x * 40, y * 60, 7}; });
    Picture out;
    scale_nearest(in, out, {3, 2});
    ASSERT_EQ(out.width, 3);
    ASSERT_EQ(out.height, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(pixel(out, x, y), pixel(in, 2 * x, 1 + 2 * y)) << x << "," << y;
        }
    }
    // Enlarging the width (a fitting picture rounded up to 4) repeats columns.
    const Picture narrow = make_picture(3, 1, [](int x, int) { return grey(50 * x); });
    scale_nearest(narrow, out, {4, 1});
    EXPECT_EQ(pixel(out, 0, 0), grey(0));
    EXPECT_EQ(pixel(out, 1, 0), grey(0));
    EXPECT_EQ(pixel(out, 2, 0), grey(50));
    EXPECT_EQ(pixel(out, 3, 0), grey(100));
}

TEST(Thumbnail, AreaAveragesTheCoveredPixelsWithTheirFractions) {
    // 4 × 4 to 2 × 2: each destination pixel is the mean of a 2 × 2 block,
    // + 0.5 and truncated.
    const int block[4][4] = {
        {10, 11, 0, 1},
        {11, 11, 0, 0},
        {1, 2, 200, 100},
        {1, 2, 0, 0},
    };
    const Picture in = make_picture(4, 4, [&](int x, int y) { return grey(block[y][x]); });
    Picture out;
    scale_area(in, out, {2, 2});
    EXPECT_EQ(pixel(out, 0, 0), grey(11));  // 10.75
    EXPECT_EQ(pixel(out, 1, 0), grey(0));   // 0.25
    EXPECT_EQ(pixel(out, 0, 1), grey(2));   // 1.5
    EXPECT_EQ(pixel(out, 1, 1), grey(75));  // 75
    // 3 × 1 to 2 × 1: the middle pixel is cut in half between both.
    const Picture row = make_picture(3, 1, [](int x, int) { return Rgb{90 * x, 0, 255}; });
    scale_area(row, out, {2, 1});
    EXPECT_EQ(pixel(out, 0, 0), (Rgb{30, 0, 255}));   // (0 + 90 / 2) / 1.5
    EXPECT_EQ(pixel(out, 1, 0), (Rgb{150, 0, 255}));  // (90 / 2 + 180) / 1.5
}

TEST(Thumbnail, PalettePicturesExpandTo24Bits) {
    for (const char* name : {"pic_1.bmp", "pic_4.bmp", "pic_8.bmp", "pic_32.bmp"}) {
        const auto bytes = test::file_bytes(test::fixture(name));
        test::Decoded d = test::decode_bytes("Bitmap", bytes);
        ASSERT_TRUE(d.decode_ok) << name << ": " << d.error;
        Picture full;
        ASSERT_TRUE(to_24_bits(d.picture, full)) << name;
        ASSERT_EQ(full.bits, 24);
        for (int y = 0; y < d.picture.height; ++y) {
            for (int x = 0; x < d.picture.width; ++x) {
                ASSERT_EQ(pixel(full, x, y), pixel(d.picture, x, y))
                    << name << " " << x << "," << y;
            }
        }
    }
}

TEST(Thumbnail, FastOrAveragingAsTheOptionsSayAndTheSillyBox) {
    // Alternating black and white columns, 512 wide: every even column is
    // black, so nearest neighbour gives black and averaging grey.
    const Picture stripes = make_picture(512, 8, [](int x, int) { return grey(x % 2 ? 255 : 0); });
    Options o;
    Picture thumb;
    std::string error;
    o.fast_thumbnails = true;
    ASSERT_TRUE(make_thumbnail_picture(stripes, o, thumb, error)) << error;
    EXPECT_EQ(thumb.width, 256);
    EXPECT_EQ(thumb.height, 4);
    EXPECT_EQ(pixel(thumb, 10, 1), grey(0));
    o.fast_thumbnails = false;
    ASSERT_TRUE(make_thumbnail_picture(stripes, o, thumb, error)) << error;
    EXPECT_EQ(pixel(thumb, 10, 1), grey(128));
    for (auto [w, h] : {std::pair{0, 256}, {256, 10001}, {-5, 5}}) {
        o.thumbnail_width = w;
        o.thumbnail_height = h;
        EXPECT_FALSE(make_thumbnail_picture(stripes, o, thumb, error)) << w << "x" << h;
        EXPECT_EQ(error, "box");
    }
}

TEST(Thumbnail, StoredJpegDecodesToTheSamePicture) {
    // Four flat quarters: the orientation and the colours survive the JPEG
    // round trip within its tolerance, also with pool bytes after the stream.
    const auto quarter = [](int x, int y) {
        if (y < 24) return x < 32 ? Rgb{255, 255, 255} : Rgb{220, 30, 30};
        return x < 32 ? Rgb{20, 160, 40} : Rgb{30, 30, 200};
    };
    const Picture in = make_picture(64, 48, quarter);
    std::vector<std::uint8_t> stored = encode_thumbnail(in, 90);
    ASSERT_GT(stored.size(), 100u);
    EXPECT_EQ(stored[0], 0xFF);
    EXPECT_EQ(stored[1], 0xD8);
    const std::size_t stream = stored.size();
    stored.insert(stored.end(), {0, 0xFF, 0xD8, 0x12, 0x34});
    Picture out;
    std::string error;
    EXPECT_EQ(thumbnail_stream_length(stored, error), stream) << error;
    ASSERT_TRUE(DecodeThumbnail(stored, out, error)) << error;
    ASSERT_EQ(out.width, 64);
    ASSERT_EQ(out.height, 48);
    ASSERT_EQ(out.bits, 24);
    for (auto [x, y] : {std::pair{8, 8}, {56, 8}, {8, 40}, {56, 40}}) {
        EXPECT_TRUE(rgb_near(pixel(out, x, y), quarter(x, y), 8))
            << x << "," << y << ": " << pixel(out, x, y) << " for " << quarter(x, y);
    }
}

TEST(Thumbnail, QualityIsPassedToTheEncoder) {
    const Picture noise = make_picture(64, 64, [](int x, int y) {
        return grey(static_cast<int>((x * 7919u + y * 104729u) * 2654435761u >> 24));
    });
    const std::size_t low = encode_thumbnail(noise, 10).size();
    const std::size_t high = encode_thumbnail(noise, 95).size();
    EXPECT_GT(low, 0u);
    EXPECT_GT(high, 2 * low);
}

TEST(Thumbnail, DamagedStoredBytesAreRefused) {
    const Picture in = make_picture(16, 16, [](int x, int) { return grey(x * 16); });
    const std::vector<std::uint8_t> good = encode_thumbnail(in, 75);
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {0xFF, 0xD8},
        {'G', 'I', 'F', '8', '9', 'a', 0, 0},
        {good.begin(), good.begin() + 20},  // inside the headers
    };
    for (const auto& bytes : bad) {
        Picture out;
        std::string error;
        EXPECT_FALSE(DecodeThumbnail(bytes, out, error)) << bytes.size();
        EXPECT_FALSE(error.empty());
    }
    // Pixels cut off: libjpeg fills the rest; a picture of the full size.
    Picture out;
    std::string error;
    const std::vector<std::uint8_t> cut(good.begin(), good.end() - 40);
    if (DecodeThumbnail(cut, out, error)) {
        EXPECT_EQ(out.width, 16);
        EXPECT_EQ(out.height, 16);
    }
    // A picture that is not 24-bit or has no rows is not encoded.
    Picture empty;
    EXPECT_TRUE(encode_thumbnail(empty, 75).empty());
}

}  // namespace
}  // namespace orbisto
