// The fixture of the archive tests: a medium, a work directory and a source
// folder for making archives with the installed tools, a scan of the medium
// and the catalogue it made, by path.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "archive/archive_context.h"
#include "archive/packer_process.h"
#include "archive/packer_table.h"
#include "catalog/catalog_context.h"
#include "platform/files.h"
#include "scan/scan_context.h"
#include "scan/scan_walk.h"
#include "scan/walk_hooks.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"
#include "text/description_files.h"

namespace orbisto::test {

inline bool have(const char* program) {
    const char* path = std::getenv("PATH");
    return !search_path_list(program, path ? path : "/usr/bin:/bin").empty();
}

class ArchiveFixture : public ::testing::Test {
  protected:
    ScriptedFrontend fe;
    Context ctx{fe};
    TempDir tmp;
    std::string medium, work, src;

    void SetUp() override {
        medium = tmp.file("medium");
        work = tmp.file("work");
        src = tmp.file("src");
        for (const auto& d : {medium, work, src}) make_directory(d);
        ctx.paths.temp_dir = work;
        ctx.settings.options.real_time = false;
        ctx.settings.options.archive_expansion = ExpansionMode::All;
    }
    void put(const std::string& path, const std::string& text = "data") {
        make_directories(dir_part(path));
        std::ofstream(path, std::ios::binary) << text;
    }
    // Runs a shell line made of the test's own paths (no foreign input).
    void sh(const std::string& line) { ASSERT_EQ(std::system(line.c_str()), 0) << line; }
    void scan() {
        Mp3Totals mp3;
        ScanDirectory(ctx, medium, 0, 0, 0, mp3);
    }
    std::map<std::string, const DirRecord*> dirs() const {
        std::map<std::string, const DirRecord*> m;
        for (std::uint32_t i = 1; i < ctx.catalog.dir_count(); ++i) {
            m[ctx.catalog.dir_path(i)] = &ctx.catalog.dirs()[i];
        }
        return m;
    }
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> m;
        for (std::uint32_t i = 0; i < ctx.catalog.file_count(); ++i) {
            m[ctx.catalog.file_path(i)] = std::string(ctx.catalog.file_comment(i));
        }
        return m;
    }
    static bool empty_dir(const std::string& path) {
        std::error_code ec;
        return std::filesystem::is_directory(path, ec) && std::filesystem::is_empty(path, ec);
    }
    bool work_empty() const { return empty_dir(work); }
};

}  // namespace orbisto::test
