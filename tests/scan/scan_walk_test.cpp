// The directory walk over real temporary trees: what it records, in which
// order, with which times and comments, and how it behaves on odd entries,
// aborts and full work areas.
#include "scan/scan_walk.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "archive/archive_context.h"
#include "archive/packer_process.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_fixture.h"
#include "fileinfo/file_info.h"
#include "platform/files.h"
#include "scan/scan_context.h"
#include "scan/walk_hooks.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"
#include "text/description_files.h"
#include "text/description_lists.h"
#include "text/package_readers.h"

namespace orbisto {
namespace {

constexpr std::int64_t kJan2020 = 1577836800;
constexpr std::int64_t kJan2030 = 1893456000;

class ScanWalkTest : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;
    WalkHooks hooks;

    void SetUp() override {
        ctx.settings.options.real_time = false;
        ctx.scan.walk_hooks = &hooks;
    }

    std::string dir(const std::string& rel) {
        const std::string p = tmp.file(rel);
        make_directories(p);
        return p;
    }
    std::string file(const std::string& rel, const std::string& content = "x") {
        std::ofstream(tmp.file(rel), std::ios::binary) << content;
        return tmp.file(rel);
    }
    std::uint32_t scan(Mp3Totals* out = nullptr) {
        Mp3Totals mp3;
        const std::uint32_t n = ScanDirectory(ctx, tmp.path(), 0, 0, 0, mp3);
        if (out) *out = mp3;
        return n;
    }
    // File path in the catalogue -> its comment.
    std::map<std::string, std::string> comments() const {
        std::map<std::string, std::string> m;
        for (std::uint32_t i = 0; i < ctx.catalog.file_count(); ++i) {
            m[ctx.catalog.file_path(i)] = std::string(ctx.catalog.file_comment(i));
        }
        return m;
    }
    const FileRecord& record(const std::string& path) const {
        std::uint32_t i = 0;
        while (i < ctx.catalog.file_count() && ctx.catalog.file_path(i) != path) ++i;
        return ctx.catalog.files()[i];
    }
};

void set_times(const std::string& path, std::int64_t mtime, std::int64_t atime) {
    timespec ts[2] = {{static_cast<time_t>(atime), 0}, {static_cast<time_t>(mtime), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW), 0);
}

TEST_F(ScanWalkTest, RecordsFilesBeforeSubdirectoriesWithSizesTimesAndParents) {
    set_times(file("a.txt", std::string(2048, 'a')), kJan2030, kJan2020);
    file("b.txt", "");
    dir("sub/deep");
    file("sub/c.txt", "ccc");
    file("sub/deep/d.txt", "dd");
    dir("empty");

    EXPECT_EQ(scan(), 4u);
    const Catalog& c = ctx.catalog;
    ASSERT_EQ(c.dir_count(), 4u);
    // The root's files come first; every record follows its parent.
    EXPECT_EQ(c.files()[0].parent + c.files()[1].parent, 0u);
    for (std::uint32_t i = 1; i < c.dir_count(); ++i) EXPECT_LT(c.dirs()[i].parent, i);
    EXPECT_EQ(comments().count("sub/deep/d.txt"), 1u);

    const FileRecord& a = record("a.txt");
    EXPECT_FLOAT_EQ(a.size_kb, 2.0f);
    EXPECT_EQ(a.time.value(), static_cast<std::uint64_t>(kJan2030) * 10000000 + 116444736000000000);
    EXPECT_FLOAT_EQ(static_cast<float>(ctx.scan.total_kb), 2048.0f / 1024 + 5.0f / 1024);
}

TEST_F(ScanWalkTest, ArchivesGoToExpansionExceptBesideAKillFile) {
    ctx.settings.options.archive_expansion = ExpansionMode::All;
    ctx.settings.options.compute_crc32 = true;
    ctx.settings.kill_files = {"nopack.flg"};
    for (const char* a : {"inner.zip", "empty.rar", "plain.tgz"}) file(a, "a");
    dir("kill/sub");
    file("kill/NOPACK.FLG");
    file("kill/kept.zip", "a");
    file("kill/sub/again.zip", "a");
    std::vector<std::string> offered;
    hooks.expand_archive = [&](const std::string&, std::string_view name) {
        offered.emplace_back(name);
        if (name == "inner.zip") return ArchiveExpansion::Expanded;
        return name == "empty.rar" ? ArchiveExpansion::NothingCameOut : ArchiveExpansion::NoCommand;
    };
    scan();
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered.size(), 4u);
    EXPECT_EQ(offered[0], "again.zip");  // only the kill file's own directory is spared
    const auto m = comments();
    EXPECT_EQ(m.count("inner.zip"), 0u);
    EXPECT_EQ(m.at("empty.rar"), "");  // touched by a packer: no CRC
    EXPECT_EQ(m.at("plain.tgz") + m.at("kill/kept.zip"), "CRC:E8B7BE43CRC:E8B7BE43");
}

TEST_F(ScanWalkTest, CrcPrefixesCommentsExceptWhereAnUpdateTakesOverTheOldOne) {
    ctx.settings.options.compute_crc32 = true;
    ctx.settings.options.file_information = true;
    file("plain", "abc");
    file("withcrc", "abc");
    file("kept", "abc");
    hooks.collect_file_info = [](const std::string& path, FileInfoResult& r) {
        if (path.ends_with("withcrc")) r.info_text = "CRC:00000000 Holiday";
        return r.info_text.empty() ? 0 : 1;
    };
    ctx.scan.update_mode = true;
    ctx.scan.old = std::make_unique<Catalog>();
    const std::uint32_t kept =
        test::add_file(*ctx.scan.old, "kept", 0, 0, "CRC:11111111 from before");
    ctx.scan.old->files()[kept].flags = FLAG_CRC;

    scan();
    const auto m = comments();
    EXPECT_EQ(m.at("plain"), "CRC:352441C2");
    EXPECT_EQ(m.at("withcrc"), "CRC:352441C2 Holiday");
    EXPECT_EQ(m.at("kept"), "CRC:11111111 from before");
    EXPECT_EQ(record("plain").flags, FLAG_CRC);
    EXPECT_EQ(record("kept").flags, FLAG_CRC);  // the checksum came with the comment
}

TEST_F(ScanWalkTest, AbortKeepsWhatWasRecordedAndStopsEveryLevel) {
    for (int d = 0; d < 3; ++d) {
        dir("d" + std::to_string(d));
        for (int f = 0; f < 5; ++f) file("d" + std::to_string(d) + "/f" + std::to_string(f));
    }
    fe.on_pump = [&](int n) {
        if (n == 9) fe.request_abort();
    };
    const std::uint32_t n = scan();
    EXPECT_EQ(n, ctx.catalog.file_count());
    EXPECT_TRUE(n > 0 && n < 15) << n;
    for (const FileRecord& f : ctx.catalog.files()) EXPECT_LT(f.parent, ctx.catalog.dir_count());
    Mp3Totals mp3;
    EXPECT_EQ(ScanDirectory(ctx, tmp.path(), 0, 0, n, mp3), 0u);  // aborted: nothing more
}

TEST_F(ScanWalkTest, OddEntriesAreRecordedButNeverFollowedOrOpened) {
    ctx.settings.options.compute_crc32 = true;
    dir("d");
    ASSERT_EQ(::symlink("..", tmp.file("d/loop").c_str()), 0);
    ASSERT_EQ(::mkfifo(tmp.file("d/pipe").c_str(), 0600), 0);
    file("caf\xE9.txt");  // Windows-1252, not UTF-8
    dir("locked");
    file("locked/hidden");
    ASSERT_EQ(::chmod(tmp.file("locked").c_str(), 0), 0);
    scan();
    ::chmod(tmp.file("locked").c_str(), 0700);

    const auto m = comments();
    EXPECT_EQ(m.at("d/loop"), "");  // a link: no CRC, not walked
    EXPECT_EQ(m.at("d/pipe"), "");  // a FIFO: never opened
    EXPECT_EQ(m.count("caf\xC3\xA9.txt"), 1u);
    EXPECT_EQ(ctx.catalog.dir_count(), 3u);  // d, locked
    if (::geteuid() != 0) {
        EXPECT_EQ(m.count("locked/hidden"), 0u);
    }
}

TEST_F(ScanWalkTest, DeepNestingIsRecordedButEnteredOnlyToItsLimit) {
    // 300 levels, made and removed through descriptors (paths that deep are
    // slow to resolve again and again).
    std::vector<int> fds = {::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY)};
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(::mkdirat(fds.back(), "n", 0755), 0);
        fds.push_back(::openat(fds.back(), "n", O_RDONLY | O_DIRECTORY));
        ASSERT_GE(fds.back(), 0);
    }
    ::close(::openat(fds.back(), "bottom", O_CREAT | O_WRONLY, 0644));
    scan();
    EXPECT_EQ(ctx.catalog.dir_count(), 1u + 257u);
    EXPECT_EQ(ctx.catalog.file_count(), 0u);
    // The level not entered is named.
    ASSERT_EQ(ctx.scan.omissions.count, 1u);
    const ScanOmission& left = ctx.scan.omissions.named[0];
    EXPECT_EQ(left.reason, OmissionReason::TooDeep);
    EXPECT_EQ(left.path.size(), tmp.path().size() + 257 * 2);  // "/n" per level
    ::unlinkat(fds.back(), "bottom", 0);
    for (std::size_t i = fds.size() - 1; i > 0; --i) {
        ::close(fds[i]);
        ::unlinkat(fds[i - 1], "n", AT_REMOVEDIR);
    }
    ::close(fds[0]);
}

TEST_F(ScanWalkTest, NamesPast16MiBAreAllRecorded) {
    while (ctx.catalog.names_used() < (std::size_t{1} << 24) - 2000) {
        ctx.catalog.append_name(std::string(60000, 'n'));
    }
    for (int i = 0; i < 20; ++i) file(std::string(195, 'L') + std::to_string(1000 + i));
    dir("later");
    file("later/x");
    scan();
    EXPECT_FALSE(ctx.limits_hit.any());
    EXPECT_FALSE(ctx.scan.omissions.any());
    EXPECT_EQ(ctx.catalog.file_count(), 21u);
    ASSERT_EQ(ctx.catalog.dir_count(), 2u);
    EXPECT_GT(ctx.catalog.dirs()[1].name, 1u << 24);
    EXPECT_EQ(ctx.catalog.file_path(20), "later/x");
}

TEST_F(ScanWalkTest, AWalkCutShortByAFullAreaNamesWhereItStopped) {
    ctx.settings.options.file_information = true;
    dir("a/deep");
    dir("a/later");
    file("a/deep/1.txt", "one");
    file("a/deep/2.txt", "two");
    file("a/later/3.txt", "three");
    file("b.txt", "b");
    // The CommentPool runs full at the first file below a.
    hooks.collect_file_info = [&](const std::string& path, FileInfoResult&) {
        if (path.find("/a/") != std::string::npos) ctx.limits_hit.comments = true;
        return 0;
    };
    scan();
    std::vector<std::string> named;
    for (const ScanOmission& m : ctx.scan.omissions.named) {
        EXPECT_EQ(m.reason, OmissionReason::LimitHit);
        named.push_back(m.path);
    }
    // Every directory whose entries were dropped from then on.
    std::sort(named.begin(), named.end());
    EXPECT_EQ(named, (std::vector<std::string>{tmp.file("a/deep"), tmp.file("a/later")}));
    EXPECT_EQ(ctx.catalog.file_count(), 1u);
}

TEST_F(ScanWalkTest, Mp3SummaryGoesIntoDirectoriesWithoutOwnComment) {
    ctx.settings.options.file_information = true;
    dir("music/more");
    file("music/a.mp3", "aa");
    file("music/b.mp3", "bb");
    file("music/more/c.mp3", "cc");
    file("music/cover.txt", "tt");
    hooks.collect_file_info = [&](const std::string& path, FileInfoResult& r) {
        if (!path.ends_with(".mp3")) return 0;
        r.mp3_bitrate_kbps = path.ends_with("c.mp3") ? 64 : 128;
        r.mp3_length_s = 1800;
        r.info_text = "song";
        return 1;
    };
    ctx.catalog.dirs()[0].comment = ctx.catalog.append_comment("own words").value;
    Mp3Totals out;
    scan(&out);
    EXPECT_EQ(out.count, 0u);  // not passed up from a directory with a comment
    // Directory 1 is "music", 2 "music/more".
    EXPECT_EQ(ctx.catalog.dir_comment(2), "MP3-Anzahl:1 L\xC3\xA4nge: 0:30:00 Bitrate:64 KBit");
    EXPECT_EQ(ctx.catalog.dir_comment(1), "MP3-Anzahl:3 L\xC3\xA4nge: 1:30:00 Bitrate:106 KBit");
}

}  // namespace
}  // namespace orbisto
