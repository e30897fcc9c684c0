// File lists imported as media: the two list formats, and the stored
// catalogue that results.
#include "scan/content_import.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "scan/scan_context.h"
#include "scan_home.h"

namespace orbisto {
namespace {

std::string entries_of(std::string_view text, ContentFormat format) {
    std::string out;
    for (const ContentEntry& e : parse_content_list(text, format).entries) {
        out += e.name + "|" + std::to_string(e.size_bytes) + "|" + e.comment + "\n";
    }
    return out;
}

TEST(ContentList, FilesBbsAndIndexEntries) {
    const std::string bbs =
        "Shareware CD 3\r\n* Games section\r\n\r\n"
        "DOOM.ZIP   2048000  The  classic\r\n   second line\r\n  \r\n"
        "TOOL.ZIP 12k Tools\r\nEMPTY.TXT\r\nHUGE.ISO 99999999999999999999999 big\n";
    EXPECT_EQ(entries_of(bbs, ContentFormat::FilesBbs),
              "DOOM.ZIP|2048000|The classic\r\nsecond line\nTOOL.ZIP|12|Tools\n"
              "EMPTY.TXT|0|\nHUGE.ISO|18446744073709551615|big\n");
    EXPECT_EQ(entries_of("Linux\nls.c  lists\n  files\n*x\nmv.c moves", ContentFormat::Index),
              "ls.c|0|lists\nfiles\nmv.c|0|moves\n");
}

TEST(ImportContentFile, StoresLoadsAndListsTheNewMedium) {
    test::ScanHome h;
    const std::string path = h.base + "/FILES.BBS";
    write_file_atomic(path, "Old BBS\r\nGAME.ZIP 1536 Ein Spiel f\xFCr alle\r\n  Teil 2\r\n");
    ASSERT_EQ(ImportContentFile(h.ctx, path, ContentFormat::FilesBbs), 0);
    const Catalog& cat = h.ctx.catalog;
    EXPECT_EQ(fixed_text(cat.header.medium_name), "Old BBS");
    ASSERT_EQ(cat.file_count(), 1u);
    EXPECT_EQ(cat.file_comment(0), "Ein Spiel f\xC3\xBCr alle\r\nTeil 2");
    EXPECT_FLOAT_EQ(cat.files()[0].size_kb, 1.5f);
    EXPECT_TRUE(file_exists(h.catalogue(0)));
    EXPECT_EQ(h.ctx.media.count(), 1u);
}

}  // namespace
}  // namespace orbisto
