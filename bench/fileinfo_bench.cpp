// Times what the file information costs the walk:
//
//   (a) 5,000 MP3 files (one small MP3, copied with a different ID3v2 and
//       ID3v1 tag each into 50 directories) walked with Dateiinformationen
//       off and on, on a warm cache; the target is less than 30 % extra.
//   (b) 500 small films (copies of the video readers' fixtures: AVI, OGM,
//       WMV, MPEG-1, MPEG-2, QuickTime) walked with the information on and
//       the multimedia service timing them; the target is under 2 s.
//
//   fileinfo_bench [--mp3 N] [--videos N]
//
// The MP3 comes from ffmpeg when it is installed; otherwise silent MPEG-1
// layer III frames are built here. The trees are made in a fresh folder
// below $TMPDIR (or /tmp) and removed at the end. Timings are best of
// several runs after one warming walk.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "bench_files.h"
#include "platform/byte_io.h"
#include "platform/files.h"
#include "scan/scan_context.h"
#include "scan/scan_walk.h"
#include "session/context.h"

namespace {

using namespace orbisto;
using bench::best_of;
using bench::Clock;
using bench::read_all;
using bench::seconds_since;
using bench::write_all;

// Three seconds of audio without tags: from ffmpeg when it is there, else
// silent frames (MPEG-1 layer III, 128 kbit/s, 44.1 kHz, 417 bytes each).
std::vector<std::uint8_t> plain_mp3(const std::string& dir) {
    const std::string out = dir + "/plain.mp3";
    const std::string cmd =
        "ffmpeg -hide_banner -loglevel error -y -f lavfi -i sine=duration=3 "
        "-c:a libmp3lame -b:a 64k -map_metadata -1 -id3v2_version 0 "
        "-write_xing 0 '" +
        out + "' 2>/dev/null";
    if (std::system(cmd.c_str()) == 0) {
        auto bytes = read_all(out);
        std::remove(out.c_str());
        if (!bytes.empty()) {
            std::printf("MP3 made by ffmpeg (%zu bytes)\n", bytes.size());
            return bytes;
        }
    }
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 115; ++i) {
        const std::uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x44};
        bytes.insert(bytes.end(), header, header + 4);
        bytes.resize(bytes.size() + 413, 0);
    }
    std::printf("MP3 built from silent frames (%zu bytes)\n", bytes.size());
    return bytes;
}

// An ID3v2.3 text frame.
void id3_frame(ByteWriter& w, const char* id, const std::string& text) {
    w.put(id, 4);
    const auto n = static_cast<std::uint32_t>(text.size() + 1);
    w.u8(static_cast<std::uint8_t>(n >> 24));
    w.u8(static_cast<std::uint8_t>(n >> 16));
    w.u8(static_cast<std::uint8_t>(n >> 8));
    w.u8(static_cast<std::uint8_t>(n));
    w.u16le(0);
    w.u8(0);  // Latin-1
    w.put(text.data(), text.size());
}

// The MP3 with tags of the i-th file: title, artist, album, track.
std::vector<std::uint8_t> tagged_mp3(const std::vector<std::uint8_t>& plain, unsigned i) {
    const std::string title = "Title number " + std::to_string(i);
    const std::string artist = "Artist " + std::to_string(i % 97);
    const std::string album = "Album " + std::to_string(i / 12);
    ByteWriter frames;
    id3_frame(frames, "TIT2", title);
    id3_frame(frames, "TPE1", artist);
    id3_frame(frames, "TALB", album);
    id3_frame(frames, "TRCK", std::to_string(i % 12 + 1));
    const auto size = static_cast<std::uint32_t>(frames.buffer().size());
    ByteWriter w;
    w.put("ID3\x03\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7)
        w.u8(static_cast<std::uint8_t>((size >> shift) & 0x7F));
    w.put(frames.buffer().data(), size);
    w.put(plain.data(), plain.size());
    // And the old tag at the end.
    w.put("TAG", 3);
    w.fixed_string(title, 30);
    w.fixed_string(artist, 30);
    w.fixed_string(album, 30);
    w.fixed_string("2001", 4);
    w.fixed_string("", 30);
    w.u8(static_cast<std::uint8_t>(i % 80));
    return w.buffer();
}

// Opens every file, reads its first 4 KiB and closes it: the least any
// information pass costs on top of the walk.
void read_heads(const std::vector<std::string>& paths) {
    std::uint8_t buf[4096];
    for (const std::string& p : paths) {
        const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        if (::pread(fd, buf, sizeof buf, 0) < 0) std::perror(p.c_str());
        ::close(fd);
    }
}

std::string fresh_root(const char* what) {
    return bench::fresh_folder(std::string("orbisto-fileinfo-bench-") + what);
}

struct WalkResult {
    std::uint32_t files = 0;
    std::uint32_t described = 0;  // files that got a comment
    std::uint32_t mp3 = 0;        // MP3 files the walk counted
};

WalkResult walk(const std::string& root, bool info) {
    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.settings.options.file_information = info;
    ctx.catalog.reset(false);
    Mp3Totals mp3;
    ScanDirectory(ctx, root, 0, 0, 0, mp3);
    WalkResult r;
    r.files = ctx.catalog.file_count();
    for (const FileRecord& f : ctx.catalog.files()) r.described += f.comment != 0;
    r.mp3 = mp3.count;
    return r;
}

void bench_mp3(unsigned count) {
    const std::string root = fresh_root("mp3");
    const auto plain = plain_mp3(root);
    const unsigned dirs = 50;
    std::vector<std::string> paths;
    for (unsigned d = 0; d < dirs; ++d) make_directory(root + "/cd" + std::to_string(d));
    for (unsigned i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/cd%u/%02u - Track %u.mp3", i % dirs, i % 12 + 1, i);
        paths.push_back(root + name);
        write_all(paths.back(), tagged_mp3(plain, i));
    }
    walk(root, true);  // warm the cache
    WalkResult off, on;
    const double off_s = best_of(5, [&] { off = walk(root, false); });
    const double on_s = best_of(5, [&] { on = walk(root, true); });
    const double heads_s = best_of(5, [&] { read_heads(paths); });
    std::printf("(a) %u MP3 files in %u directories\n", off.files, dirs);
    std::printf("    information off: %.3f s\n", off_s);
    std::printf("    open + read 4 KiB + close of every file alone: %.3f s\n", heads_s);
    std::printf("    information on:  %.3f s  (%+.1f %%; target < +30 %%)\n", on_s,
                (on_s / off_s - 1.0) * 100.0);
    std::printf("    files described: %u, MP3 statistics of %u files%s\n", on.described, on.mp3,
                on.described == 0 ? "  (no MP3 reader yet: the 'on' figure means nothing)" : "");
    remove_tree(root);
}

void bench_videos(unsigned count) {
    static const char* const kFixtures[] = {
        "video_xvid.avi", "video_mjpg.avi",  "video_raw.avi",   "video_divx.ogm",
        "video_wmv2.wmv", "video_mpeg1.mpg", "video_mpeg2.vob", "video_quicktime.mov"};
    const std::string source = std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/fileinfo/";
    std::vector<std::vector<std::uint8_t>> films;
    for (const char* f : kFixtures) {
        films.push_back(read_all(source + f));
        if (films.back().empty()) {
            std::fprintf(stderr, "missing fixture %s%s\n", source.c_str(), f);
            std::exit(1);
        }
    }
    const std::string root = fresh_root("video");
    const unsigned dirs = 10;
    for (unsigned d = 0; d < dirs; ++d) make_directory(root + "/dvd" + std::to_string(d));
    for (unsigned i = 0; i < count; ++i) {
        const std::string name = kFixtures[i % std::size(kFixtures)];
        const std::string ext = name.substr(name.rfind('.'));
        write_all(root + "/dvd" + std::to_string(i % dirs) + "/film" + std::to_string(i) + ext,
                  films[i % films.size()]);
    }
    walk(root, true);  // warm the cache (and the multimedia service's set-up)
    WalkResult off, on;
    const double off_s = best_of(3, [&] { off = walk(root, false); });
    const double on_s = best_of(3, [&] { on = walk(root, true); });
    std::printf("(b) %u films (%zu kinds) in %u directories\n", on.files, std::size(kFixtures),
                dirs);
    std::printf("    information off: %.3f s\n", off_s);
    std::printf("    information on:  %.3f s  (target < 2 s); files described: %u\n", on_s,
                on.described);
    remove_tree(root);
}

}  // namespace

int main(int argc, char** argv) {
    unsigned mp3 = 5000, videos = 500;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mp3" && i + 1 < argc) {
            mp3 = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (a == "--videos" && i + 1 < argc) {
            videos = static_cast<unsigned>(std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: fileinfo_bench [--mp3 N] [--videos N]\n");
            return 2;
        }
    }
    if (mp3) bench_mp3(mp3);
    if (videos) bench_videos(videos);
    return 0;
}
