// File information as a scan stores it: real files of every format the
// readers know, copied onto a medium and scanned by the real program with
// Dateiinformationen=1; the catalogue is read back and each file's comment
// compared with the text its reader makes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "catalog/catalog.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store_file.h"
#include "catalog/records.h"
#include "platform/files.h"
#include "support/fixtures.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

// A medium made of fixtures, scanned with the given settings.
struct ScannedMedium {
    test::TempDir home;
    Catalog catalog;
    std::map<std::string, std::uint32_t> file_index;  // name -> record

    void add(const std::string& name, const std::string& as = {}) {
        fs::create_directories(home.file("medium"));
        fs::copy_file(test::info_fixture(name), home.file("medium/" + (as.empty() ? name : as)));
    }
    void scan(const std::string& settings) {
        home.write("orbisto.INI", "[Optionen]\r\n" + settings);
        const auto r = test::run_program(ORBISTO_BINARY, {"--drive", home.file("medium")},
                                         {{"ORBISTO_HOME", home.path()}});
        ASSERT_EQ(r.status, 0) << r.err;
        CatalogFileBytes bytes;
        ASSERT_EQ(read_catalog_file(home.file("cds/0.cd"), SIZE_MAX, bytes), FileReadStatus::Ok);
        WorkLimits limits;
        ASSERT_EQ(read_catalog_bytes(bytes.data(), 0, false, limits, catalog),
                  CatalogReadError::None);
        for (std::uint32_t f = 0; f < catalog.file_count(); ++f) {
            file_index[std::string(catalog.file_name(f))] = f;
        }
    }
    std::string comment(const std::string& name) const {
        const auto it = file_index.find(name);
        if (it == file_index.end()) return "(not catalogued)";
        return std::string(catalog.file_comment(it->second));
    }
    std::uint32_t flags(const std::string& name) const {
        const auto it = file_index.find(name);
        return it == file_index.end() ? 0 : catalog.files()[it->second].flags;
    }
};

// One real file per reader, made by the tools named in the fixtures'
// recipes; the texts are the readers' own, quirks included (the German
// MPEG text ends with a colon, a program text with a blank).
TEST(FileInfoScan, EveryReaderStoresItsTextAsTheComment) {
    ScannedMedium m;
    const std::map<std::string, std::string> expected = {
        {"anim-64x48.flc", "FLI-Animation 3 Frames 64 x 48 8 Bit"},
        {"anim-cursor.ani", "Cursor Zeiger Grün"},
        {"gui_de.exe",
         "Version:2.0.10.300\r\nCompany:Müller & Söhne\r\nProduct:Grüße € Rechner\r\n"
         "Description:\r\nComment:Zeile eins\r\nZeile zwei\r\n WIN32 >=4.00 "},
        {"dos.exe", "DOS-Applikation "},
        {"library.drv", "Version:5.6.7.8\r\nCompany:Orbisto Works\r\nProduct:Orbisto Library\r\n"},
        {"dejavu_names.ttf", "TTF-Font DejaVu Sans"},
        {"p052.afm", "AFM-Font P052-Roman"},
        {"system.fon", "FON-Font FONTRES 100,96,96 : Orbisto Sans 10, 12 (Ä)"},
        {"mp3_vbr.mp3",
         "MP3-Sound\r\nArtist\t:Some Artist\r\nAlbum\t:An Album\r\nTitle\t:Tiny Title\r\n"
         "Year\t:1999\r\nGenre\t:Rock\r\nCover\t:none\r\n\r\nmpeg\t:1.0\r\n"
         "bitrate\t:VBR 37 kbit/s\r\nfreq\t:32.000 Hz\r\nmode\t:joint Stereo\r\n"
         "length\t:00:00:02,0"},
        {"ogg_tags.ogg",
         "OGG-Sound\r\n Artist:Some Artist\r\n Album:An Album\r\n Titel:Tiny Title\r\n"
         " Jahr:2001\r\n Kategorie:Jazz\r\n Kommentar:hello\r\n\r\nLänge:00:00:02,0"},
        {"pic_8.bmp", "Bitmap  37 x 23 x 8"},
        {"pic.pgm", "Greymap  37 x 23 x 8"},
        {"sound-11025.voc", "VOC-Sound 10989 Hz"},
        {"sound-stereo-44100-16.wav", "WAV-Sound Stereo 44100 Hz 16 Bit"},
        {"sound-six-channels.wav", ""},
        {"sound-tempo-change.mid", "Midi-Sound 00:00:01,5 (c) 2026 Orbisto fixtures"},
        {"sound-title.mod", "MOD-Sound Orbisto MOD"},
        {"tone.aif", "AIF-Sound 00:00:00,5"},
        {"tone.au", "AIF-Sound 00:00:01,2"},
        {"video_xvid.avi", "AVI-Film 00:00:02  10 Frames 32 x 24 codec:MPEG-4 part 2 ID:XVID"},
        {"video_mpeg1.mpg", "MPEG-Film 00:00:01,7:"},
        {"video_mpeg2.vob", "MPEG2-Film 00:00:01,7 Frames:45"},
        {"video_quicktime.mov", "QuickTime-Film 00:00:02,0"},
        {"video_wmv2.wmv", "WMV-Film 00:00:02"},
    };
    for (const auto& [name, text] : expected) m.add(name);
    m.add("make_media.sh");
    ASSERT_NO_FATAL_FAILURE(m.scan("Dateiinformationen=1\r\n"));
    for (const auto& [name, text] : expected) EXPECT_EQ(m.comment(name), text) << name;
    EXPECT_EQ(m.comment("make_media.sh"), "");
    // Only a program whose version resource was read is marked.
    EXPECT_NE(m.flags("gui_de.exe") & FLAG_VERSION, 0u);
    EXPECT_NE(m.flags("library.drv") & FLAG_VERSION, 0u);
    EXPECT_EQ(m.flags("dos.exe") & FLAG_VERSION, 0u);
    EXPECT_EQ(m.flags("tone.au") & FLAG_VERSION, 0u);
}

// A file with a description keeps it; its playing time still counts in the
// directory's MP3 summary, which the directory gets as its comment.
TEST(FileInfoScan, DescribedMp3FilesStillCountInTheSummary) {
    ScannedMedium m;
    fs::create_directories(m.home.file("medium/music"));
    fs::copy_file(test::info_fixture("mp3_cbr_v23.mp3"), m.home.file("medium/music/a.mp3"));
    fs::copy_file(test::info_fixture("mp3_vbr.mp3"), m.home.file("medium/music/b.mp3"));
    m.home.write("medium/music/DESCRIPT.ION", "a.mp3 My own words\r\n");
    ASSERT_NO_FATAL_FAILURE(m.scan("Dateiinformationen=1\r\n"));
    EXPECT_EQ(m.comment("a.mp3"), "My own words");
    EXPECT_TRUE(m.comment("b.mp3").starts_with("MP3-Sound\r\n")) << m.comment("b.mp3");
    std::string music;
    for (std::uint32_t d = 1; d <= m.catalog.dir_count(); ++d) {
        if (m.catalog.dir_name(d) == "music") music = std::string(m.catalog.dir_comment(d));
    }
    // Two files of 2 s at 32 and 37 kbit/s.
    EXPECT_EQ(music, "MP3-Anzahl:2 Länge: 0:00:04 Bitrate:34 KBit");
}

TEST(FileInfoScan, TheMasterSwitchIsOffByDefault) {
    ScannedMedium m;
    m.add("tone.au");
    ASSERT_NO_FATAL_FAILURE(m.scan(""));
    EXPECT_EQ(m.comment("tone.au"), "");
}

}  // namespace
}  // namespace orbisto
