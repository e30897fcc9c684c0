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
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

std::string fixture(const std::string& name) {
    return std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/fileinfo/" + name;
}

// A medium made of fixtures, scanned with the given settings.
struct ScannedMedium {
    test::TempDir home;
    Catalog catalog;
    std::map<std::string, std::uint32_t> file_index;  // name -> record

    void add(const std::string& name, const std::string& as = {}) {
        fs::create_directories(home.file("medium"));
        fs::copy_file(fixture(name), home.file("medium/" + (as.empty() ? name : as)));
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

TEST(FileInfoScan, EveryReaderStoresItsTextAsTheComment) {
    ScannedMedium m;
    const std::map<std::string, std::string> expected = {
        {"tone.aif", "AIF-Sound 00:00:00,5"},
        {"tone.au", "AIF-Sound 00:00:01,2"},
    };
    for (const auto& [name, text] : expected) m.add(name);
    m.add("make_media.sh");
    ASSERT_NO_FATAL_FAILURE(m.scan("Dateiinformationen=1\r\n"));
    for (const auto& [name, text] : expected) EXPECT_EQ(m.comment(name), text) << name;
    EXPECT_EQ(m.comment("make_media.sh"), "");
}

TEST(FileInfoScan, TheMasterSwitchIsOffByDefault) {
    ScannedMedium m;
    m.add("tone.au");
    ASSERT_NO_FATAL_FAILURE(m.scan(""));
    EXPECT_EQ(m.comment("tone.au"), "");
}

}  // namespace
}  // namespace orbisto
