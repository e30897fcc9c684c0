// The picture decoders on damaged and hostile files: truncated fixtures,
// sizes that lie, runs and indexes that point outside the picture, and the
// pixel budget. Everything must end in a clear false (or a bounded
// picture); the ASan build checks that nothing is read out of bounds.
#include <gtest/gtest.h>

#include <cstring>

#include "picture_test_support.h"
#include "platform/byte_io.h"

namespace orbisto {
namespace {

using test::Decoded;
using test::Rgb;

const struct {
    const char* file;
    const char* format;
} kAll[] = {
    {"pic_1.bmp", "Bitmap"},    {"pic_4.bmp", "Bitmap"},     {"pic_24.bmp", "Bitmap"},
    {"pic_32.bmp", "Bitmap"},   {"pic_os2.bmp", "Bitmap"},   {"pic_rle8.bmp", "Bitmap"},
    {"pic_1.pcx", "PCX"},       {"pic_planes.pcx", "PCX"},   {"pic_24.pcx", "PCX"},
    {"pic_map.tga", "Targa"},   {"pic_maprle.tga", "Targa"}, {"pic_rle.tga", "Targa"},
    {"pic.iff", "ILBM"},        {"pic_24.iff", "ILBM"},      {"pic_ham.lbm", "ILBM"},
    {"pic_16.pgm", "Greymap"},  {"pic_15.ppm", "Pixmap"},    {"pic.xbm", "XBitmap"},
    {"pic_x10.xbm", "XBitmap"}, {"pic_8.spr", "Sprite"},     {"pic_32.spr", "Sprite"},
    {"pic.pseg", "PSEG"},       {"pic_mono.img", "GemRas"},  {"pic_4.img", "GemRas"},
    {"pic.kps", "KIPS"},        {"pic.vid", "YUV12C"},       {"pic_ehb.iff", "ILBM"},
};

// Cut anywhere in its first three quarters, every file is refused, at the
// header or at the decode; cut anywhere at all, nothing is overread.
TEST(PictureDamage, TruncatedFilesAreRefused) {
    for (const auto& c : kAll) {
        SCOPED_TRACE(c.file);
        const auto bytes = test::file_bytes(test::fixture(c.file));
        ASSERT_FALSE(bytes.empty());
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            const std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + cut);
            const Decoded d = test::decode_bytes(c.format, part);
            if (cut < bytes.size() * 3 / 4) {
                EXPECT_FALSE(d.header_ok && d.decode_ok) << "cut at " << cut;
                if (d.header_ok) {
                    EXPECT_FALSE(d.error.empty());
                }
            }
        }
    }
}

// The pixel budget is checked before anything is allocated: one byte less
// than the rows need is "too large", exactly enough decodes.
TEST(PictureDamage, PixelBudgetIsExact) {
    for (const auto& c : kAll) {
        SCOPED_TRACE(c.file);
        const auto bytes = test::file_bytes(test::fixture(c.file));
        const Decoded full = test::decode_bytes(c.format, bytes);
        ASSERT_TRUE(full.decode_ok) << full.error;
        const std::size_t need = full.picture.pixels.size();
        const Decoded tight = test::decode_bytes(c.format, bytes, need);
        EXPECT_TRUE(tight.decode_ok) << tight.error;
        const Decoded over = test::decode_bytes(c.format, bytes, need - 1);
        EXPECT_FALSE(over.decode_ok);
        EXPECT_EQ(over.error, "too large");
    }
}

// A Windows bitmap: 14 + 40 bytes of header, the palette, the pixels.
std::vector<std::uint8_t> bmp(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression,
                              const std::vector<std::uint8_t>& palette,
                              const std::vector<std::uint8_t>& pixels) {
    ByteWriter out;
    const auto offset = static_cast<std::uint32_t>(54 + palette.size());
    out.u16le(0x4D42);
    out.u32le(static_cast<std::uint32_t>(offset + pixels.size()));
    out.u32le(0);
    out.u32le(offset);
    out.u32le(40);
    out.u32le(static_cast<std::uint32_t>(w));
    out.u32le(static_cast<std::uint32_t>(h));
    out.u16le(1);
    out.u16le(static_cast<std::uint16_t>(bits));
    out.u32le(compression);
    out.u32le(0);
    out.u32le(2835);
    out.u32le(2835);
    out.u32le(static_cast<std::uint32_t>(palette.size() / 4));
    out.u32le(0);
    out.put(palette.data(), palette.size());
    out.put(pixels.data(), pixels.size());
    return out.buffer();
}

// Two palette entries: 0 red, 1 green (blue, green, red, 0 each).
const std::vector<std::uint8_t> kTwoColours = {0, 0, 255, 0, 0, 255, 0, 0};

TEST(PictureDamage, BitmapSizesThatLie) {
    const std::vector<std::uint8_t> pixel_row(4, 0);
    const struct {
        const char* what;
        std::vector<std::uint8_t> file;
        bool header_ok;
    } cases[] = {
        {"100000 x 100000 is too large for 16 MB", bmp(100000, 100000, 24, 0, {}, pixel_row), true},
        {"wider than 100000", bmp(100001, 1, 24, 0, {}, pixel_row), false},
        {"zero height", bmp(4, 0, 24, 0, {}, pixel_row), false},
        {"negative width", bmp(-4, 1, 24, 0, {}, pixel_row), false},
        {"16 bits with RLE8", bmp(4, 1, 16, 1, {}, pixel_row), false},
        {"4 bits, rows missing", bmp(4, 3, 4, 0, kTwoColours, pixel_row), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Decoded d = test::decode_bytes("Bitmap", c.file, std::size_t{16} << 20);
        EXPECT_EQ(d.header_ok, c.header_ok) << d.error;
        EXPECT_FALSE(d.decode_ok);
        EXPECT_FALSE(d.error.empty());
    }
    // The pixel offset pointing past the end of the file.
    auto far = bmp(4, 1, 24, 0, {}, std::vector<std::uint8_t>(12, 0));
    far[10] = 0xF0;
    EXPECT_FALSE(test::decode_bytes("Bitmap", far).header_ok);
}

TEST(PictureDamage, BitmapRunsStayInsideThePicture) {
    // A 4 × 2 RLE8 picture: an absolute run of 5 pixels of 1 in the bottom
    // row (one past its end), end of line, a run of 200 pixels of 2 (past
    // the palette) in the top row, then a move of 250 right and 100 up.
    const std::vector<std::uint8_t> runs = {0, 5, 1, 1, 1, 1, 1, 0, 0, 0, 200, 2, 0, 2, 250, 100};
    const Decoded d = test::decode_bytes("Bitmap", bmp(4, 2, 8, 1, kTwoColours, runs));
    ASSERT_TRUE(d.decode_ok) << d.error;
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(test::pixel(d.picture, x, 1), (Rgb{0, 255, 0}));  // bottom row: index 1
        EXPECT_EQ(test::pixel(d.picture, x, 0), (Rgb{0, 0, 0}));    // top row: index 2
    }

    // Runs that fill rows but never reach the end: refused.
    const std::vector<std::uint8_t> unended = {4, 1, 0, 0};
    EXPECT_FALSE(test::decode_bytes("Bitmap", bmp(4, 2, 8, 1, kTwoColours, unended)).decode_ok);
    // Runs that fill every row without the end marker are a whole picture.
    const std::vector<std::uint8_t> filled = {4, 1, 0, 0, 4, 0, 0, 0};
    EXPECT_TRUE(test::decode_bytes("Bitmap", bmp(4, 2, 8, 1, kTwoColours, filled)).decode_ok);
    // RLE4 with an absolute run of 255 nibbles on a 4-wide picture.
    std::vector<std::uint8_t> rle4 = {0, 255};
    rle4.resize(rle4.size() + 128, 0x11);
    rle4.insert(rle4.end(), {0, 1});
    const Decoded d4 = test::decode_bytes("Bitmap", bmp(4, 1, 4, 2, kTwoColours, rle4));
    ASSERT_TRUE(d4.decode_ok) << d4.error;
    EXPECT_EQ(test::pixel(d4.picture, 3, 0), (Rgb{0, 255, 0}));
}

// Palette indexes past the colours a file has show black.
TEST(PictureDamage, IndexesPastThePaletteAreBlack) {
    const Decoded b = test::decode_bytes("Bitmap", bmp(4, 1, 8, 0, kTwoColours, {1, 200, 255, 0}));
    ASSERT_TRUE(b.decode_ok) << b.error;
    EXPECT_EQ(test::pixel(b.picture, 0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(test::pixel(b.picture, 1, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(test::pixel(b.picture, 2, 0), (Rgb{0, 0, 0}));

    // Targa: a map of 2 entries starting at index 10; pixels 10, 11, 12, 3.
    std::vector<std::uint8_t> tga = {0, 1, 1, 10, 0, 2, 0, 24, 0, 0, 0, 0, 4, 0, 1, 0, 8, 0};
    tga.insert(tga.end(), {0, 0, 255, 0, 255, 0});  // red, green
    tga.insert(tga.end(), {10, 11, 12, 3});
    const Decoded t = test::decode_bytes("Targa", tga);
    ASSERT_TRUE(t.decode_ok) << t.error;
    EXPECT_EQ(test::pixel(t.picture, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(test::pixel(t.picture, 1, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(test::pixel(t.picture, 2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(test::pixel(t.picture, 3, 0), (Rgb{0, 0, 0}));
    // The same map claiming 65535 entries: past the end of the file.
    tga[5] = tga[6] = 0xFF;
    EXPECT_FALSE(test::decode_bytes("Targa", tga).header_ok);
}

std::vector<std::uint8_t> text_bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

TEST(PictureDamage, PortableMapHeaders) {
    const struct {
        const char* text;
        const char* format;
        bool ok;
    } cases[] = {
        {"P5 2 1 255\n\x10\x20", "Greymap", true},
        {"P5\n# a comment\n2 1\n255\n\x10\x20", "Greymap", true},
        {"P5 2 1 0\n\x10\x20", "Greymap", false},      // maxval 0
        {"P5 2 1 65536\n\x10\x20", "Greymap", false},  // maxval too high
        {"P5 0 1 255\n", "Greymap", false},            // no width
        {"P5 2 1 255", "Greymap", false},              // header never ends
        {"P5 2 1 255\n\x10", "Greymap", false},        // a sample missing
        {"P6 2 1 255\n\x10\x20", "Pixmap", false},     // samples missing
        {"P5 2 1 255\n\x10\x20", "Pixmap", false},     // wrong kind
        {"P5 99999999999 1 255\n", "Greymap", false},  // absurd width
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Decoded d = test::decode_bytes(c.format, text_bytes(c.text));
        EXPECT_EQ(d.header_ok && d.decode_ok, c.ok) << d.error;
    }
    // maxval 15: a sample above it is taken as 15 (white).
    const Decoded d = test::decode_bytes("Greymap", text_bytes("P5 2 1 15\n\x0F\xC8"));
    ASSERT_TRUE(d.decode_ok);
    EXPECT_EQ(test::pixel(d.picture, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(test::pixel(d.picture, 1, 0), (Rgb{255, 255, 255}));
}

TEST(PictureDamage, HostileHeadersOfTheOtherFormats) {
    std::vector<std::uint8_t> pcx(128, 0);
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 99;  // width 100
    pcx[65] = 1;
    pcx[66] = 10;  // but only 10 bytes per line
    std::vector<std::uint8_t> ilbm = text_bytes("FORM\0\0\0\x40ILBMBODY\x7F\xFF\xFF\xFF");
    ilbm.resize(72, 0);
    std::vector<std::uint8_t> sprite = {1, 0, 0, 0, 0xF0, 0xFF, 0, 0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> pseg = {0x5A, 0, 3, 0xD3, 0xA6, 0x7B, 0, 0, 0};
    const struct {
        const char* what;
        const char* format;
        std::vector<std::uint8_t> file;
    } cases[] = {
        {"PCX line shorter than the width", "PCX", pcx},
        {"ILBM body longer than the file", "ILBM", ilbm},
        {"sprite past the end of the file", "Sprite", sprite},
        {"page segment field shorter than its intro", "PSEG", pseg},
        {"X bitmap 1000000 wide", "XBitmap",
         text_bytes("#define a_width 1000000\n#define a_height 1\nstatic char a_bits[] = {0x00};")},
        {"X bitmap without data", "XBitmap", text_bytes("#define a_width 8\n#define a_height 1\n")},
        {"KIPS without its header", "KIPS", text_bytes("DFIMAG00")},
        {"YUV12C width not a multiple of 4", "YUV12C",
         text_bytes(std::string("YUV12C\0\0\0\0\0\0\x05\0\x01\0", 16) + "0123456789")},
        {"IAX not a whole row", "IAX", std::vector<std::uint8_t>(700, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Decoded d = test::decode_bytes(c.format, c.file);
        EXPECT_FALSE(d.header_ok && d.decode_ok);
        EXPECT_FALSE(d.error.empty());
    }
}

TEST(PictureDamage, GemReplicationAndRunsStayInside) {
    // 8 × 3, one plane: a replication of 255 for the first line, then a
    // pattern run of 200 copies, a bit string of 100 bytes and a solid run
    // of 127 bytes, all on one-byte lines.
    std::vector<std::uint8_t> img = {0, 1, 0, 8, 0, 1, 0, 1, 0, 85, 0, 85, 0, 8, 0, 3};
    img.insert(img.end(), {0, 0, 0xFF, 0xFF, 0x00, 200, 0xF0});
    const Decoded d = test::decode_bytes("GemRas", img);
    ASSERT_TRUE(d.decode_ok) << d.error;
    EXPECT_EQ(test::pixel(d.picture, 0, 2), (Rgb{0, 0, 0}));
    EXPECT_EQ(test::pixel(d.picture, 7, 2), (Rgb{255, 255, 255}));
    img.resize(16);
    img.insert(img.end(), {0x80, 100});
    img.resize(img.size() + 100, 0xFF);
    img.insert(img.end(), {0xFF, 0x7F});
    const Decoded e = test::decode_bytes("GemRas", img);
    ASSERT_TRUE(e.decode_ok) << e.error;
    EXPECT_EQ(test::pixel(e.picture, 4, 2), (Rgb{255, 255, 255}));  // the 0x7F solid white run
    // A pattern length of 0 or over 8 is not a GEM raster.
    img[7] = 0;
    EXPECT_FALSE(test::decode_bytes("GemRas", img).header_ok);
}

}  // namespace
}  // namespace orbisto
