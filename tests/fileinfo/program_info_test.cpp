#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileinfo/extractors.h"
#include "platform/byte_io.h"
#include "reader_run.h"

namespace orbisto {
namespace {

using test::fixture;
using test::ReaderRun;
using PeBytes = std::vector<std::uint8_t>;

void program_pad4(ByteWriter& w) {
    while (w.buffer().size() % 4) w.u8(0);
}

// A version block of a 32-bit program: length, value length, type, key in
// UTF-16, value, children, aligned to four bytes.
PeBytes ver_block(std::u16string key, const PeBytes& value, std::uint16_t value_length,
                  std::uint16_t type, const std::vector<PeBytes>& children = {}) {
    ByteWriter w;
    w.u16le(0);
    w.u16le(value_length);
    w.u16le(type);
    for (char16_t c : key) w.u16le(c);
    w.u16le(0);
    program_pad4(w);
    w.put(value.data(), value.size());
    for (const PeBytes& c : children) {
        program_pad4(w);
        w.put(c.data(), c.size());
    }
    PeBytes out = w.buffer();
    out[0] = static_cast<std::uint8_t>(out.size());
    out[1] = static_cast<std::uint8_t>(out.size() >> 8);
    return out;
}

PeBytes ver_string(std::u16string key, std::u16string text) {
    ByteWriter v;
    for (char16_t c : text) v.u16le(c);
    v.u16le(0);
    return ver_block(key, v.buffer(), static_cast<std::uint16_t>(text.size() + 1), 1);
}

PeBytes ver_root(std::uint32_t ms, std::uint32_t ls, const std::vector<PeBytes>& tables) {
    ByteWriter f;
    for (std::uint32_t v : {0xFEEF04BDu, 0x10000u, ms, ls, ms, ls, 0u, 0u, 4u, 1u, 0u, 0u, 0u}) {
        f.u32le(v);
    }
    return ver_block(u"VS_VERSION_INFO", f.buffer(), 52, 0,
                     {ver_block(u"StringFileInfo", {}, 0, 1, tables)});
}

// A 32-bit program of one section (RVA 0x1000, file offset 0x200) that
// holds `rsrc`, the resource directory.
PeBytes tiny_pe(const PeBytes& rsrc, std::uint16_t subsystem = 2,
                std::uint16_t characteristics = 0x0102, std::uint16_t major = 4,
                std::uint16_t minor = 0) {
    ByteWriter w;
    w.put("MZ", 2);
    w.buffer().resize(60);
    w.u32le(0x40);
    w.put("PE\0\0", 4);
    for (std::uint16_t v : {0x14C, 1, 0, 0, 0, 0, 0, 0, 224}) w.u16le(v);
    w.u16le(characteristics);
    const std::size_t optional = w.buffer().size();
    w.buffer().resize(optional + 224);
    auto put16 = [&](std::size_t at, std::uint16_t v) {
        w.buffer()[optional + at] = static_cast<std::uint8_t>(v);
        w.buffer()[optional + at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    put16(0, 0x10B);
    put16(48, major);
    put16(50, minor);
    put16(68, subsystem);
    put16(92, 16);
    put16(112, 0x1000);  // the resource table's RVA
    put16(116, static_cast<std::uint16_t>(rsrc.size()));
    w.put(".rsrc\0\0\0", 8);
    for (std::uint32_t v : {static_cast<std::uint32_t>(rsrc.size()), 0x1000u,
                            static_cast<std::uint32_t>(rsrc.size()), 0x200u, 0u, 0u, 0u, 0u}) {
        w.u32le(v);
    }
    w.buffer().resize(0x200);
    w.put(rsrc.data(), rsrc.size());
    return w.buffer();
}

// A resource directory with the version resource `data` under type 16,
// id 1, language 0x409; the offsets may be overridden to damage it.
struct TreeShape {
    std::uint32_t type_target = 0x80000018;
    std::uint32_t name_target = 0x80000030;
    std::uint32_t language_target = 0x48;
    std::uint16_t root_entries = 1;
    std::uint32_t data_size = 0;  // 0: the data's own size
};
PeBytes resource_tree(const PeBytes& data, TreeShape s = {}) {
    ByteWriter w;
    auto dir = [&](std::uint16_t count, std::uint32_t id, std::uint32_t target) {
        for (int i = 0; i < 3; ++i) w.u32le(0);
        w.u16le(0);
        w.u16le(count);
        w.u32le(id);
        w.u32le(target);
    };
    dir(s.root_entries, 16, s.type_target);
    dir(1, 1, s.name_target);
    dir(1, 0x409, s.language_target);
    w.u32le(0x1000 + 0x58);
    w.u32le(s.data_size ? s.data_size : static_cast<std::uint32_t>(data.size()));
    w.u32le(0);
    w.u32le(0);
    w.buffer().resize(0x58);
    w.put(data.data(), data.size());
    return w.buffer();
}

const PeBytes kEnglishTable =
    ver_block(u"040904E4", {}, 0, 1,
              {ver_string(u"CompanyName", u"Acme"), ver_string(u"ProductName", u"Rocket"),
               ver_string(u"FileDescription", u"Fast  one"), ver_string(u"Comments", u"Boom")});

// --- the program type ----------------------------------------------------

struct ProgramFixtureCase {
    const char* file;
    const char* german;
    const char* english;
    bool version;
};

TEST(ProgramInfo, FixturesGiveTheirTextsInBothLanguages) {
    const ProgramFixtureCase cases[] = {
        {"gui64.exe",
         "Version:1.2.3.4\r\nCompany:Orbisto Works\r\nProduct:Orbisto Demo\r\nDescription:A tiny "
         "GUI program\r\nComment:Built with mingw-w64\r\n WIN32 >=6.01 ",
         "version:1.2.3.4\r\nCompany:Orbisto Works\r\nProduct:Orbisto Demo\r\nDescription:A tiny "
         "GUI program\r\nComment:Built with mingw-w64\r\n WIN32 >=6.01 ",
         true},
        {"gui_de.exe",
         "Version:2.0.10.300\r\nCompany:Müller & Söhne\r\nProduct:Grüße € Rechner\r\n"
         "Description:\r\nComment:Zeile eins\r\nZeile zwei\r\n WIN32 >=4.00 ",
         "version:2.0.10.300\r\nCompany:Müller & Söhne\r\nProduct:Grüße € Rechner\r\n"
         "Description:\r\nComment:Zeile eins\r\nZeile zwei\r\n WIN32 >=4.00 ",
         true},
        {"plain.exe", " WIN32 >=4.00 ", " WIN32 >=4.00 ", false},
        {"console.exe", " WIN32 Console-Applikation ", " WIN32 Console-application ", false},
        {"dos.exe", "DOS-Applikation ", "DOS-application ", false},
        // The shell gives DLLs no type: their text is the version text alone.
        {"library.dll", "Version:5.6.7.8\r\nCompany:Orbisto Works\r\nProduct:Orbisto Library\r\n",
         "version:5.6.7.8\r\nCompany:Orbisto Works\r\nProduct:Orbisto Library\r\n", true},
        {"library.drv", "Version:5.6.7.8\r\nCompany:Orbisto Works\r\nProduct:Orbisto Library\r\n",
         "version:5.6.7.8\r\nCompany:Orbisto Works\r\nProduct:Orbisto Library\r\n", true},
        {"applet.cpl",
         "Version:1.2.3.4\r\nCompany:Orbisto Works\r\nProduct:Orbisto Demo\r\nDescription:A tiny "
         "GUI program\r\nComment:Built with mingw-w64\r\n",
         "version:1.2.3.4\r\nCompany:Orbisto Works\r\nProduct:Orbisto Demo\r\nDescription:A tiny "
         "GUI program\r\nComment:Built with mingw-w64\r\n",
         true},
        // 16-bit: Windows-1252 values, the empty comment left out.
        {"win16.exe",
         "Version:3.10.0.7\r\nCompany:Gräfe Software\r\nProduct:Orbisto NE-Demo\r\n"
         "Description:16-bit demo\r\n WIN16 >=3.10 ",
         "version:3.10.0.7\r\nCompany:Gräfe Software\r\nProduct:Orbisto NE-Demo\r\n"
         "Description:16-bit demo\r\n WIN16 >=3.10 ",
         true},
        {"win16.drv",
         "Version:3.10.0.7\r\nCompany:Gräfe Software\r\nProduct:Orbisto NE-Demo\r\n"
         "Description:16-bit demo\r\n",
         "version:3.10.0.7\r\nCompany:Gräfe Software\r\nProduct:Orbisto NE-Demo\r\n"
         "Description:16-bit demo\r\n",
         true},
    };
    for (const ProgramFixtureCase& c : cases) {
        SCOPED_TRACE(c.file);
        ReaderRun r;
        ASSERT_EQ(r.collect(fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.german);
        EXPECT_EQ(r.result.version_found, c.version);
        r.options.language = Language::English;
        ASSERT_EQ(r.collect(fixture(c.file)), 1);
        EXPECT_EQ(r.result.info_text, c.english);
    }
}

TEST(ProgramInfo, TheShellTypeFollowsSubsystemDllFlagAndTargetSystem) {
    struct Case {
        const char* name;
        PeBytes bytes;
        const char* path;
        int result;
        const char* text;
    };
    const PeBytes no_resources = tiny_pe(resource_tree({}, {.root_entries = 0}));
    PeBytes os2 = test::file_bytes(fixture("win16.exe"));
    os2[0x40 + 0x36] = 1;  // an OS/2 program: no shell type, version text only
    PeBytes no_mz = test::file_bytes(fixture("gui64.exe"));
    no_mz[0] = 'X';
    PeBytes far_header = test::file_bytes(fixture("gui64.exe"));
    far_header[60] = far_header[61] = far_header[62] = 0xF0;  // beyond the end: DOS
    const Case cases[] = {
        {"GUI 4.0 without resources", no_resources, "a.exe", 1, " WIN32 >=4.00 "},
        {"GUI 5.1", tiny_pe(resource_tree({}, {.root_entries = 0}), 2, 0x102, 5, 1), "a.exe", 1,
         " WIN32 >=5.01 "},
        {"GUI 0.0 counts as console", tiny_pe({}, 2, 0x102, 0, 0), "a.exe", 1,
         " WIN32 Console-Applikation "},
        {"native subsystem", tiny_pe({}, 1), "a.exe", 1, " WIN32 Console-Applikation "},
        {"GUI DLL without resources", tiny_pe({}, 2, 0x2102), "a.dll", 0, ""},
        {"OS/2", os2, "a.exe", 1,
         "Version:3.10.0.7\r\nCompany:Gräfe Software\r\nProduct:Orbisto NE-Demo\r\n"
         "Description:16-bit demo\r\n"},
        {"no MZ", no_mz, "a.exe", 0, ""},
        {"new header past the end", far_header, "a.exe", 1, "DOS-Applikation "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRun r;
        EXPECT_EQ(r.collect(c.bytes, c.path), c.result);
        EXPECT_EQ(r.result.info_text, c.text);
    }
}

// --- the version text ----------------------------------------------------

TEST(ProgramInfo, VersionTextFindsTheFirstTableWithACompanyAndKeepsTheBudget) {
    struct Case {
        const char* name;
        std::vector<PeBytes> tables;
        int budget;
        int result;
        const char* text;
    };
    const PeBytes german_b0 =
        ver_block(u"040704B0", {}, 0, 1,
                  {ver_string(u"CompanyName", u"Firma"), ver_string(u"ProductName", u"Ding")});
    const PeBytes english_without_company =
        ver_block(u"040904E4", {}, 0, 1, {ver_string(u"ProductName", u"Nameless")});
    const PeBytes lower_case =
        ver_block(u"040904e4", {}, 0, 1,
                  {ver_string(u"companyname", u"Low"), ver_string(u"PRODUCTNAME", u"Case")});
    const PeBytes empty_values =
        ver_block(u"040904E4", {}, 0, 1,
                  {ver_string(u"CompanyName", u""), ver_block(u"ProductName", {}, 0, 1),
                   ver_string(u"Comments", u"\U0001F680 x")});
    const Case cases[] = {
        {"all four values",
         {kEnglishTable},
         8000,
         1,
         "Version:1.2.3.4\r\nCompany:Acme\r\nProduct:Rocket\r\nDescription:Fast one\r\n"
         "Comment:Boom\r\n"},
        {"budget ends after the product",
         {kEnglishTable},
         12,
         1,
         "Version:1.2.3.4\r\nCompany:Acme\r\nProduct:Rocket"},
        {"budget exactly spent",
         {kEnglishTable},
         4 + 6 + 9 + 4,
         1,
         "Version:1.2.3.4\r\nCompany:Acme\r\nProduct:Rocket\r\nDescription:Fast one\r\n"
         "Comment:Boom\r\n"},
        {"company over budget", {kEnglishTable}, 3, 1, "Version:1.2.3.4"},
        {"a table without company is passed over",
         {english_without_company, german_b0},
         8000,
         1,
         "Version:1.2.3.4\r\nCompany:Firma\r\nProduct:Ding\r\n"},
        {"keys without case",
         {lower_case},
         8000,
         1,
         "Version:1.2.3.4\r\nCompany:Low\r\nProduct:Case\r\n"},
        {"empty values",
         {empty_values},
         8000,
         1,
         "Version:1.2.3.4\r\nCompany:\r\nComment:\xF0\x9F\x9A\x80 x\r\n"},
        {"no table", {}, 8000, 0, "Version:1.2.3.4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PeBytes pe = tiny_pe(resource_tree(ver_root(0x00010002, 0x00030004, c.tables)));
        ReaderRun r;
        std::string out;
        const int got = r.run([&](FileInfoJob& j) { return ExtractVersionText(j, out, c.budget); },
                              pe, "a.sys");
        EXPECT_EQ(got, c.result);
        EXPECT_EQ(out, c.text);
        EXPECT_TRUE(r.result.version_found);
    }
}

// --- damaged programs ----------------------------------------------------

TEST(ProgramInfo, DamagedResourceTreesGiveTheTypeWithoutVersion) {
    const PeBytes root = ver_root(0x00010002, 0x00030004, {kEnglishTable});
    struct Case {
        const char* name;
        TreeShape shape;
    };
    const Case cases[] = {
        {"type points back at the root", {.type_target = 0x80000000}},
        {"name points back at the root", {.name_target = 0x80000000}},
        {"language is a directory", {.language_target = 0x80000000}},
        {"directory beyond the section", {.type_target = 0x80FFFFF0}},
        {"leaf beyond the section", {.language_target = 0x7FFFFFF0}},
        {"huge entry count", {.root_entries = 0xFFFF}},
        {"data longer than the file", {.data_size = 0xFFFFFFF0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReaderRun r;
        EXPECT_EQ(r.collect(tiny_pe(resource_tree(root, c.shape)), "a.exe"), 1);
        EXPECT_EQ(r.result.info_text, " WIN32 >=4.00 ");
        EXPECT_EQ(r.collect(tiny_pe(resource_tree(root, c.shape)), "a.sys"), 0);
    }
}

TEST(ProgramInfo, DamagedVersionBlocksEndTheWalk) {
    // A string table whose first child claims zero bytes, and one that claims
    // far more than its parent holds.
    PeBytes zero = ver_root(0x00010002, 0x00030004, {kEnglishTable});
    PeBytes huge = zero;
    const std::size_t table = 92 + 36;  // root header and value, StringFileInfo header
    ASSERT_EQ(zero[table + 6], '0');
    zero[table] = zero[table + 1] = 0;
    huge[table] = huge[table + 1] = 0xFF;
    for (const PeBytes& data : {zero, huge}) {
        ReaderRun r;
        std::string out;
        const int got = r.run([&](FileInfoJob& j) { return ExtractVersionText(j, out, 8000); },
                              tiny_pe(resource_tree(data)), "a.sys");
        EXPECT_LE(got, 1);
        EXPECT_EQ(out.substr(0, 15), "Version:1.2.3.4");
    }
}

TEST(ProgramInfo, EveryTruncationOfTheFixturesIsSafe) {
    // Each prefix of each program either gives nothing or a text; the
    // sanitizer build proves no byte past the end is read.
    for (const char* name : {"gui64.exe", "gui_de.exe", "win16.exe", "library.dll"}) {
        SCOPED_TRACE(name);
        const PeBytes whole = test::file_bytes(fixture(name));
        ASSERT_FALSE(whole.empty());
        ReaderRun r;
        for (std::size_t n = 0; n < whole.size(); n += 7) {
            const PeBytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            r.collect(part, "x.exe");
            r.collect(part, "x.drv");
        }
    }
}

TEST(ProgramInfo, NeResourceTablesWithLyingFieldsGiveNoVersion) {
    struct Case {
        const char* name;
        std::size_t at;  // offset in win16.exe
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"alignment shift of 31", 0x80, {31, 0}},
        {"another type with a huge count", 0x82, {0x11, 0x80, 0xFF, 0xFF}},
        {"resource offset beyond the end", 0x8A, {0xFF, 0xFF}},
        {"resource table beyond the end", 0x40 + 0x24, {0xF0, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PeBytes b = test::file_bytes(fixture("win16.exe"));
        ASSERT_GT(b.size(), c.at + c.bytes.size());
        std::copy(c.bytes.begin(), c.bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(c.at));
        ReaderRun r;
        EXPECT_EQ(r.collect(b, "a.exe"), 1);
        EXPECT_EQ(r.result.info_text, " WIN16 >=3.10 ");
        EXPECT_FALSE(r.result.version_found);
    }
}

}  // namespace
}  // namespace orbisto
