// Reading pictures ahead on worker threads: the results and the kept status
// texts are those of the dispatcher run on the spot, whether a worker or the
// taking thread read the file, in any order of submitting, taking and
// dropping; and decodes at the same time never hold more than one budget.
#include "fileinfo/info_prefetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "fileinfo/file_source.h"
#include "support/fixtures.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

Options picture_options() {
    Options o;
    o.file_information = true;
    o.thumbnails = true;
    o.min_image_width = 1;
    o.min_image_height = 1;
    return o;
}

struct Direct {
    int found = 0;
    FileInfoResult result;
};

Direct direct(const Options& o, const std::string& path) {
    Direct d;
    FileInfoSession session;
    auto src = PosixFileSource::open(path);
    if (!src) return d;
    d.found = CollectFileInfo(o, session, *src, path, src->size(), d.result);
    return d;
}

// A folder of real pictures and a damaged one (a JPEG cut after its header).
struct Pictures {
    test::TempDir dir;
    std::vector<std::string> paths;
    Pictures() {
        for (const char* name :
             {"photo_800.jpg", "photo_800.png", "pic_24.bmp", "pic.tif", "pic.gif", "pic_24.tga"}) {
            paths.push_back(dir.file(name));
            fs::copy_file(test::info_fixture(name), paths.back());
        }
        std::ifstream in(paths[0], std::ios::binary);
        std::string head(2000, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        paths.push_back(dir.write("cut.jpg", head));
    }
};

TEST(InfoPrefetch, GivesWhatTheDispatcherGivesWhoeverReadsTheFile) {
    const Options o = picture_options();
    const Pictures pics;
    // No workers: the taking thread reads every file; three: most are read
    // by workers, some by the taker while it waits.
    for (const unsigned workers : {0u, 3u}) {
        SCOPED_TRACE(workers);
        InfoPrefetch pool(o, workers);
        std::vector<InfoPrefetch::Ticket> tickets;
        for (const std::string& p : pics.paths) {
            ASSERT_TRUE(pool.wanted(p)) << p;
            tickets.push_back(pool.submit(p, fs::file_size(p)));
        }
        // The second file is dropped and taken all the same later on: a
        // dropped file that is asked for after all is read then.
        pool.cancel(tickets[1]);
        for (std::size_t i = 0; i < pics.paths.size(); ++i) {
            SCOPED_TRACE(pics.paths[i]);
            FileInfoResult result;
            FileInfoNotes notes;
            const int found = pool.take(tickets[i], result, notes);
            const Direct want = direct(o, pics.paths[i]);
            EXPECT_EQ(found, want.found);
            EXPECT_EQ(result.info_text, want.result.info_text);
            EXPECT_EQ(result.thumbnail, want.result.thumbnail);
            EXPECT_EQ(result.width, want.result.width);
            if (i + 1 == pics.paths.size()) {
                // The damaged picture's message is kept for the walk to show.
                ASSERT_EQ(notes.lines.size(), 1u);
                EXPECT_TRUE(notes.lines[0].status);
                EXPECT_NE(notes.lines[0].text.find("kann Bilddaten " + pics.paths[i]),
                          std::string::npos)
                    << notes.lines[0].text;
            } else {
                EXPECT_TRUE(notes.lines.empty()) << notes.lines[0].text;
            }
        }
    }
}

TEST(InfoPrefetch, KeepsLogLinesOnlyWithTheLogOnAndStopsWithFilesQueued) {
    Options o = picture_options();
    const Pictures pics;
    for (const bool log : {false, true}) {
        o.log_file = log;
        InfoPrefetch pool(o, 1);
        FileInfoResult result;
        FileInfoNotes notes;
        pool.take(pool.submit(pics.paths[0], fs::file_size(pics.paths[0])), result, notes);
        EXPECT_EQ(notes.lines.empty(), !log);
        if (log) {
            EXPECT_NE(notes.lines[0].text.find("Thumbnail: "), std::string::npos);
        }
        // Files nobody takes are dropped when the workers stop.
        for (int i = 0; i < 40; ++i) pool.submit(pics.paths[0], fs::file_size(pics.paths[0]));
    }
    EXPECT_FALSE(InfoPrefetch(o, 0).wanted("song.mp3"));
    o.thumbnails = false;
    EXPECT_FALSE(InfoPrefetch(o, 0).wanted("photo.jpg"));
    EXPECT_EQ(InfoPrefetch::workers_for(1), 0u);
    EXPECT_EQ(InfoPrefetch::workers_for(2), 1u);
}

TEST(MemoryGate, HoldsNeverMoreThanTheBudgetAndLetsAnOversizedRequestRunAlone) {
    MemoryGate gate(100);
    std::atomic<std::size_t> most{0};
    std::atomic<int> inside_oversized{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const std::size_t bytes = t == 5 ? 150 : 40;
                const MemoryGate::Hold hold(&gate, bytes);
                const std::size_t now = gate.held();
                if (bytes > 100) {
                    // Alone: nobody else holds anything meanwhile.
                    EXPECT_EQ(now, bytes);
                    ++inside_oversized;
                } else {
                    EXPECT_LE(now, 100u);
                    std::size_t seen = most.load();
                    while (now > seen && !most.compare_exchange_weak(seen, now)) {
                    }
                }
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(gate.held(), 0u);
    EXPECT_EQ(inside_oversized.load(), 200);
    EXPECT_LE(most.load(), 100u);
}

}  // namespace
}  // namespace orbisto
