// A Context over a temporary settings file and CatalogDirectory, with helpers
// for category files.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "catalog/categories.h"
#include "media_fixture.h"
#include "session/context.h"

namespace orbisto::test {

struct CategoryFixture : MediaFixture {
    TempDir home;

    CategoryFixture() { ctx.paths.settings_file = home.file("orbisto.INI"); }
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
