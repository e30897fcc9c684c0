// A Context over a temporary program directory and CatalogDirectory, with
// helpers for category files and catalogue files.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "catalog/catalog_store.h"
#include "catalog/categories.h"
#include "platform/files.h"
#include "startup/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto::test {

struct CategoryFixture {
    TempDir home;
    ScriptedFrontend fe;
    Context ctx{fe};

    CategoryFixture() {
        ctx.paths.settings_file = home.file("orbisto.INI");
        ctx.paths.catalog_dir = home.file("cds");
        make_directory(ctx.paths.catalog_dir);
    }
    std::string settings() const { return ctx.paths.settings_file; }
    std::string wichtig() const { return ctx.paths.catalog_dir + "/WICHTIG.INI"; }

    // A category section of (name, stored parent) pairs.
    static std::string section(const std::vector<std::pair<std::string, int>>& cats) {
        std::string s = "[Kategorie]\r\nAnzahl=" + std::to_string(cats.size()) + "\r\n";
        for (std::size_t i = 0; i < cats.size(); ++i) {
            const std::string key = "Kategorie" + std::to_string(i);
            s += key + "=" + cats[i].first + "\r\n" + key +
                 "parent=" + std::to_string(cats[i].second) + "\r\n";
        }
        return s;
    }
    // The user categories as "name<parent".
    std::vector<std::string> tree() const {
        std::vector<std::string> out;
        for (int i = 2; i < ctx.categories.count(); ++i) {
            out.push_back(ctx.categories.name(i) + "<" + std::to_string(ctx.categories.parent(i)));
        }
        return out;
    }

    // Stores a medium as catalogue n through the real store and lists it.
    void add_medium(int n, std::uint32_t category, std::uint32_t flags = 0) {
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
        set_fixed_text(ctx.catalog.header.medium_name, "medium " + std::to_string(n));
        ctx.catalog.header.category = category;
        ctx.catalog.header.medium_flags = flags;
        ASSERT_EQ(SaveCatalog(ctx, n), n);
        ctx.media.store(ctx.catalog.header);
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
    }
    // The category in catalogue n's file; -1 when it cannot be read.
    long long stored_category(int n) {
        MediumHeader h;
        return ReadCatalogHeader(ctx, n, h) == 1 ? h.category : -1;
    }
};

// Takes the write bits off a file for the scope.
class ReadOnly {
  public:
    explicit ReadOnly(std::string path) : path_(std::move(path)) { ::chmod(path_.c_str(), 0444); }
    ~ReadOnly() { ::chmod(path_.c_str(), 0644); }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;

  private:
    std::string path_;
};

}  // namespace orbisto::test
