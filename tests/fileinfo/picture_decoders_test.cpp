// The picture decoders on files made by real tools (and, for formats no
// installed tool writes, by the recipe in make_pictures.sh), checked against
// the pattern the files were made from.
#include <gtest/gtest.h>

#include <cstdlib>

#include "picture_test_support.h"

namespace orbisto {
namespace {

using test::Decoded;
using test::Rgb;

constexpr int kW = 37;
constexpr int kH = 23;

// The colour pattern's four regions and the colour each fixture shows them
// in (the tool's exact colours, grey levels, or a format's default palette).
enum Region { kWhite, kRed, kBlue, kGreen };
Region region(int x, int y) {
    if (y == 0) return kWhite;
    if (y == kH - 1 && x < 18) return kGreen;
    return x < 18 ? kRed : kBlue;
}
bool mono_black(int x, int y) {
    return y == 0 || x >= 18 || (y == kH - 1 && x < 5);
}

struct Look {
    Rgb colours[4];
    int tolerance = 0;
    int settle = 0;  // pixels after each colour edge of a row not compared
};
const Look kTrue{{{255, 255, 255}, {255, 0, 0}, {0, 0, 255}, {0, 255, 0}}};
// Hold-and-modify changes one channel per pixel: a row reaches a new colour
// three pixels after each edge.
const Look kHam{{{255, 255, 255}, {255, 0, 0}, {0, 0, 255}, {0, 255, 0}}, 12, 3};
// Luminance .299 R + .587 G + .114 B of the four colours.
const Look kLuma{{{255, 255, 255}, {76, 76, 76}, {29, 29, 29}, {150, 150, 150}}, 1};
const Look kDesktop{{{255, 255, 255}, {0xDD, 0, 0}, {0, 0x44, 0x99}, {0, 0xCC, 0}}};
const Look kKips{{{0, 0, 0}, {60, 60, 60}, {120, 120, 120}, {180, 180, 180}}, 1};
const Look kMono{};  // black and white by mono_black

struct FixtureCase {
    const char* file;
    const char* format;
    int width;
    int bits;
    const Look* look;
};

const FixtureCase kFixtures[] = {
    {"pic_1.bmp", "Bitmap", kW, 1, &kMono},     {"pic_4.bmp", "Bitmap", kW, 4, &kTrue},
    {"pic_8.bmp", "Bitmap", kW, 8, &kTrue},     {"pic_24.bmp", "Bitmap", kW, 24, &kTrue},
    {"pic_32.bmp", "Bitmap", kW, 32, &kTrue},   {"pic_os2.bmp", "Bitmap", kW, 8, &kTrue},
    {"pic_rle8.bmp", "Bitmap", kW, 8, &kTrue},  {"pic_1.pcx", "PCX", kW, 1, &kMono},
    {"pic_planes.pcx", "PCX", kW, 4, &kTrue},   {"pic_8.pcx", "PCX", kW, 8, &kTrue},
    {"pic_24.pcx", "PCX", kW, 24, &kTrue},      {"pic_map.tga", "Targa", kW, 8, &kTrue},
    {"pic_maprle.tga", "Targa", kW, 8, &kTrue}, {"pic_24.tga", "Targa", kW, 24, &kTrue},
    {"pic_rle.tga", "Targa", kW, 24, &kTrue},   {"pic_top.tga", "Targa", kW, 24, &kTrue},
    {"pic_grey.tga", "Targa", kW, 8, &kLuma},   {"pic.iff", "ILBM", kW, 4, &kTrue},
    {"pic_24.iff", "ILBM", kW, 24, &kTrue},     {"pic_ham.lbm", "ILBM", kW, 24, &kHam},
    {"pic.pgm", "Greymap", kW, 8, &kLuma},      {"pic_16.pgm", "Greymap", kW, 8, &kLuma},
    {"pic_15.ppm", "Pixmap", kW, 24, &kTrue},   {"pic_16.ppm", "Pixmap", kW, 24, &kTrue},
    {"pic.xbm", "XBitmap", kW, 1, &kMono},      {"pic_x10.xbm", "XBitmap", kW, 1, &kMono},
    {"pic_8.spr", "Sprite", kW, 8, &kTrue},     {"pic_4.spr", "Sprite", kW, 4, &kDesktop},
    {"pic_32.spr", "Sprite", kW, 24, &kTrue},   {"pic.pseg", "PSEG", kW, 1, &kMono},
    {"pic_mono.img", "GemRas", kW, 1, &kMono},  {"pic_4.img", "GemRas", kW, 4, &kTrue},
    {"pic.kps", "KIPS", kW, 8, &kKips},
};

TEST(PictureDecoders, FixturesDecodeToTheirPattern) {
    for (const FixtureCase& c : kFixtures) {
        SCOPED_TRACE(c.file);
        const auto bytes = test::file_bytes(test::fixture(c.file));
        ASSERT_FALSE(bytes.empty());
        const Decoded d = test::decode_bytes(c.format, bytes);
        ASSERT_TRUE(d.header_ok) << d.error;
        EXPECT_EQ(d.header.width, c.width);
        EXPECT_EQ(d.header.height, kH);
        EXPECT_EQ(d.header.bits, c.bits);
        ASSERT_TRUE(d.decode_ok) << d.error;
        const Picture& p = d.picture;
        ASSERT_EQ(p.width, c.width);
        ASSERT_EQ(p.height, kH);
        ASSERT_EQ(p.bits, c.bits);
        ASSERT_EQ(p.pixels.size(), p.stride() * kH);
        int wrong = 0;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < c.width; ++x) {
                if ((x < 18 ? x : x - 18) < c.look->settle) continue;
                const Rgb got = test::pixel(p, x, y);
                const Rgb want = c.look == &kMono
                                     ? (mono_black(x, y) ? Rgb{0, 0, 0} : Rgb{255, 255, 255})
                                     : c.look->colours[region(x, y)];
                if (!rgb_near(got, want, c.look->tolerance) && wrong++ < 3) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << got << ", want "
                                  << want;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Extra half-brite: index 33 is half of index 1.
TEST(PictureDecoders, HalfBriteColoursAreHalvesOfTheFirst32) {
    const Decoded d = test::decode_bytes("ILBM", test::file_bytes(test::fixture("pic_ehb.iff")));
    ASSERT_TRUE(d.decode_ok) << d.error;
    EXPECT_EQ(d.picture.bits, 8);
    EXPECT_EQ(test::pixel(d.picture, 0, 0), (Rgb{200, 100, 50}));
    EXPECT_EQ(test::pixel(d.picture, 36, 22), (Rgb{100, 50, 25}));
}

TEST(PictureDecoders, HeaderlessGreyFormats) {
    const Decoded iax = test::decode_bytes("IAX", test::file_bytes(test::fixture("pic.iax")));
    ASSERT_TRUE(iax.decode_ok) << iax.error;
    EXPECT_EQ(iax.header.width, 512);
    EXPECT_EQ(iax.header.height, 4);
    EXPECT_EQ(test::pixel(iax.picture, 5, 0), (Rgb{5, 5, 5}));
    EXPECT_EQ(test::pixel(iax.picture, 300, 3), (Rgb{164, 164, 164}));  // (300 + 120) & 255

    // Portrait: the last 512 × 512 bytes, whatever precedes them.
    std::vector<std::uint8_t> cvp(100 + 512 * 512, 0xEE);
    for (std::size_t i = 0; i < 512 * 512; ++i) cvp[100 + i] = static_cast<std::uint8_t>(i / 512);
    const Decoded por = test::decode_bytes("Portrait", cvp);
    ASSERT_TRUE(por.decode_ok) << por.error;
    EXPECT_EQ(por.header.width, 512);
    EXPECT_EQ(por.header.height, 512);
    EXPECT_EQ(test::pixel(por.picture, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(test::pixel(por.picture, 7, 200), (Rgb{200, 200, 200}));
    cvp.resize(512 * 512 - 1);
    EXPECT_FALSE(test::decode_bytes("Portrait", cvp).header_ok);
}

TEST(PictureDecoders, Yuv12cGreyAndColour) {
    const Decoded d = test::decode_bytes("YUV12C", test::file_bytes(test::fixture("pic.vid")));
    ASSERT_TRUE(d.decode_ok) << d.error;
    EXPECT_EQ(d.header.width, 36);
    EXPECT_EQ(d.header.bits, 24);
    EXPECT_EQ(test::pixel(d.picture, 3, 7), (Rgb{70, 70, 70}));
    // Y 100, V + 100: red 100 + 140, green 100 - 71, blue 100.
    EXPECT_TRUE(rgb_near(test::pixel(d.picture, 30, 2), Rgb{240, 29, 100}, 1))
        << test::pixel(d.picture, 30, 2);
}

// The text the whole dispatch makes of a picture names the format.
TEST(PictureDecoders, FormatTableFindsEveryFixtureByExtension) {
    const struct {
        const char* ext;
        const char* name;
    } cases[] = {{"bmp", "Bitmap"}, {"RL8", "Bitmap"},   {"pcc", "PCX"},       {"afi", "Targa"},
                 {"lbm", "ILBM"},   {"pgm", "Greymap"},  {"sprite", "Sprite"}, {"pseg3820", "PSEG"},
                 {"img", "GemRas"}, {"cvp", "Portrait"}, {"vid", "YUV12C"}};
    for (const auto& c : cases) {
        const PictureFormat* f = picture_format_for(c.ext);
        ASSERT_NE(f, nullptr) << c.ext;
        EXPECT_STREQ(f->name, c.name);
    }
}

}  // namespace
}  // namespace orbisto
