// A name with tabs, line breaks and control characters comes out as the same
// field from every command that prints it, and never breaks a line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/run_program.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

// The fields of the first line of a command's output that starts with `key`.
std::vector<std::string> fields_of_line(const std::string& out, const std::string& key) {
    std::vector<std::string> fields;
    for (std::size_t pos = 0; pos < out.size();) {
        const std::size_t end = out.find('\n', pos);
        const std::string line = out.substr(pos, end - pos);
        pos = end == std::string::npos ? out.size() : end + 1;
        if (!line.starts_with(key)) continue;
        for (std::size_t from = 0;;) {
            const std::size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        break;
    }
    return fields;
}

TEST(AwkwardNames, FindMediaAndCategoriesPrintTheSameFieldAndKeepTheirColumns) {
    // The category file keeps its entries on lines, so its name has no line
    // break; the media names also carry CR LF and a lone CR.
    const std::string controls = "Tab\tEsc\x1B[0m Del\x7F Nel\xC2\x85 Sep\xE2\x80\xA8 end";
    const std::string cleaned = "Tab Esc [0m Del  Nel  Sep  end";
    test::TempDir home;
    make_directory(home.file("cds"));
    home.write("cds/WICHTIG.INI",
               "[Kategorie]\r\nAnzahl=1\r\nKategorie0=" + controls + "\r\nKategorie0parent=-2\r\n");
    const std::pair<std::string, std::string> media[] = {{controls, cleaned},
                                                         {"Two\r\nlines\ronly", "Two lines only"}};
    for (int n = 0; n < 2; ++n) {
        test::ScriptedFrontend fe;
        Context ctx(fe);
        ctx.paths.catalog_dir = home.file("cds");
        set_fixed_text(ctx.catalog.header.medium_name, media[n].first);
        ctx.catalog.header.category = 2;
        test::add_file(ctx.catalog, "f", 0, 1);
        ASSERT_EQ(SaveCatalog(ctx, n), n);
    }
    const auto run = [&](const std::vector<std::string>& args) {
        const auto r = test::run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    };

    const std::string media_out = run({"media"});
    const std::string find_out = run({"find", "--scope", "files", "f"});
    const std::string json_out = run({"find", "--scope", "files", "--json", "f"});
    const auto category = fields_of_line(run({"categories"}), "2\t");
    ASSERT_EQ(category.size(), 3u);
    EXPECT_EQ(category[2], cleaned);
    for (int n = 0; n < 2; ++n) {
        const std::string key = std::to_string(n) + "\t";
        const auto listed = fields_of_line(media_out, key);
        const auto found = fields_of_line(find_out, key);
        ASSERT_EQ(listed.size(), 9u) << media_out;
        ASSERT_EQ(found.size(), 8u) << find_out;
        EXPECT_EQ(listed[1], media[n].second);
        EXPECT_EQ(found[1], media[n].second);
        EXPECT_EQ(listed[7], cleaned);  // the category name
    }
    // One line per medium, however the names break.
    EXPECT_EQ(std::count(media_out.begin(), media_out.end(), '\n'), 2);
    EXPECT_EQ(std::count(find_out.begin(), find_out.end(), '\n'), 2);
    EXPECT_NE(
        json_out.find("\"medium\":\"Tab\\tEsc\\u001b[0m Del\\u007f Nel\\u0085 Sep\\u2028 end\""),
        std::string::npos)
        << json_out;
    EXPECT_NE(json_out.find("\"medium\":\"Two\\r\\nlines\\ronly\""), std::string::npos);
}

}  // namespace
}  // namespace orbisto
