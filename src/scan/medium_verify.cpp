#include "scan/medium_verify.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/catalog_tree.h"
#include "catalog/media_match.h"
#include "fileinfo/crc32.h"
#include "scan/scan_entry_rules.h"
#include "scan/scan_listing.h"
#include "settings/frontend.h"

namespace orbisto {

namespace {

// Folder levels entered below the compared folder, as deep as a scan goes.
constexpr int kMaxVerifyNesting = 256;

// One name of a folder as catalogue and disk know it.
struct Pair {
    std::string name;
    const ListedEntry* disk = nullptr;
    std::uint32_t record = 0;
    enum { None, Dir, File } cataloged = None;
};

bool sizes_equal(float stored_kb, std::uint64_t bytes) {
    const float disk_kb = size_kb_from_bytes(bytes);
    if (disk_kb == stored_kb) return true;
    const float step = std::nextafter(stored_kb, INFINITY) - stored_kb;
    return std::fabs(disk_kb - stored_kb) <= step;
}

bool dates_equal(const FileTime& stored, const FileTime& disk) {
    const std::uint64_t a = stored.value();
    const std::uint64_t b = disk.value();
    return (a > b ? a - b : b - a) <= kVerifyDateTolerance;
}

// The CRC a comment starts with ("CRC:" and eight hex digits).
std::optional<std::uint32_t> stored_crc(std::string_view comment) {
    if (comment.size() < kCrcPrefixLength || !comment.starts_with("CRC:")) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : comment.substr(4, 8)) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (d < 0) return std::nullopt;
        v = v << 4 | static_cast<std::uint32_t>(d);
    }
    return v;
}

class Verifier {
  public:
    Verifier(Frontend& frontend, const Catalog& cat,
             const std::function<void(const VerifyFinding&)>& found,
             const std::function<void(const VerifyProgress&)>& progress)
        : frontend_(frontend), cat_(cat), tree_(cat), found_(found), progress_(progress) {}

    VerifyResult run(std::uint32_t dir, const std::string& path) {
        compare(dir, open_directory(path), path, std::string(), 0);
        result_.aborted = frontend_.abort_requested();
        return result_;
    }

  private:
    void report(VerifyKind kind, std::string path, int error = 0) {
        ++result_.differences;
        if (found_) found_({kind, std::move(path), error});
    }

    void tell(const std::string& disk_path) {
        if (progress_) progress_({result_.entries, crc_bytes_, disk_path});
    }

    // Compares record d with the open folder. A folder missing on either
    // side is one line, not one per entry below it.
    void compare(std::uint32_t d, const DirectoryFd& fd, const std::string& disk_path,
                 const std::string& shown, int level) {
        if (frontend_.abort_requested()) return;
        std::vector<ListedEntry> listed;
        if (!fd.ok()) {
            report(VerifyKind::Unreadable, shown.empty() ? "./" : shown, fd.error());
            return;
        }
        if (!list_directory(fd, listed)) {
            report(VerifyKind::Unreadable, shown.empty() ? "./" : shown, errno);
        }
        result_.entries += listed.size();
        tell(disk_path);

        std::vector<Pair> pairs;
        std::string scratch;
        for (const ListedEntry& e : listed) {
            pairs.push_back({std::string(recorded_name(e.name, scratch)), &e});
        }
        // Each catalogued name takes the first disk entry of its name that
        // is still free; a second record of one name stays unmatched.
        const auto take = [&](std::string_view name, std::uint32_t record, bool dir) {
            for (Pair& p : pairs) {
                if (p.cataloged == Pair::None && p.disk && p.name == name) {
                    p.record = record;
                    p.cataloged = dir ? Pair::Dir : Pair::File;
                    return;
                }
            }
            pairs.push_back({std::string(name), nullptr, record, dir ? Pair::Dir : Pair::File});
        };
        for (std::uint32_t sub : tree_.subdirs(d)) take(cat_.dir_name(sub), sub, true);
        for (std::uint32_t f : tree_.files(d)) take(cat_.file_name(f), f, false);
        std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
            return compare_names(a.name, b.name) < 0;
        });

        for (const Pair& p : pairs) {
            if (frontend_.abort_requested()) return;
            const std::string below = shown.empty() ? p.name : shown + "/" + p.name;
            const bool disk_dir = p.disk && p.disk->kind == EntryKind::Directory;
            if (p.cataloged == Pair::Dir) {
                const DirRecord& rec = cat_.dirs()[p.record];
                // An expanded archive is a folder in the catalogue and a
                // file on disk; its contents are not compared.
                const bool archive = (rec.flags & FLAG_ARCHIVE_DIR) != 0;
                if (!p.disk || disk_dir == archive) {
                    report(VerifyKind::Missing, below + "/");
                    if (p.disk) report(VerifyKind::New, disk_dir ? below + "/" : below);
                    continue;
                }
                if (archive || p.disk->other_device || p.disk->undescribed) continue;
                if (level + 1 >= kMaxVerifyNesting) continue;
                const std::string child = disk_path + "/" + p.disk->name;
                compare(p.record, open_subdirectory(fd, p.disk->name), child, below, level + 1);
            } else if (p.cataloged == Pair::File) {
                if (!p.disk || disk_dir) {
                    report(VerifyKind::Missing, below);
                    if (p.disk) report(VerifyKind::New, below + "/");
                    continue;
                }
                compare_file(p.record, *p.disk, fd, below);
            } else {
                report(VerifyKind::New, disk_dir ? below + "/" : below);
            }
        }
    }

    void compare_file(std::uint32_t f, const ListedEntry& e, const DirectoryFd& fd,
                      const std::string& shown) {
        const FileRecord& rec = cat_.files()[f];
        if (!sizes_equal(rec.size_kb, e.size)) {
            report(VerifyKind::Size, shown);
        } else if ((rec.flags & FLAG_CRC) && e.kind == EntryKind::File) {
            if (const auto crc = stored_crc(cat_.file_comment(f))) {
                std::uint32_t now = 0;
                const CrcStatus status =
                    FileCrc32At(frontend_, fd.get(), e.name, e.size, now, buffer_);
                crc_bytes_ += e.size;
                tell(shown);
                if (status == CrcStatus::Aborted) return;
                if (status != CrcStatus::Ok) {
                    report(VerifyKind::Unreadable, shown, errno);
                } else if (now != *crc) {
                    report(VerifyKind::Content, shown);
                }
            }
        }
        if (!dates_equal(rec.time, e.time)) report(VerifyKind::Date, shown);
    }

    Frontend& frontend_;
    const Catalog& cat_;
    CatalogTree tree_;
    const std::function<void(const VerifyFinding&)>& found_;
    const std::function<void(const VerifyProgress&)>& progress_;
    VerifyResult result_;
    std::uint64_t crc_bytes_ = 0;
    std::vector<unsigned char> buffer_;
};

}  // namespace

VerifyResult verify_medium(Frontend& frontend, const Catalog& cat, std::uint32_t dir,
                           const std::string& path,
                           const std::function<void(const VerifyFinding&)>& found,
                           const std::function<void(const VerifyProgress&)>& progress) {
    Verifier v(frontend, cat, found, progress);
    return v.run(dir, path);
}

VerifyStart verify_start(const Catalog& cat, std::string_view given_path) {
    VerifyStart start;
    start.path = std::string(given_path);
    if (const std::string_view scanned = scanned_path(cat); !scanned.empty()) {
        start.dir = 1;
        if (start.path.empty()) start.path = std::string(scanned);
        return start;
    }
    // A folder named by its path below its file system's root: the root
    // holds that one folder and no file, and the medium name (the whole path
    // unless renamed) or the given path ends with the folder's name.
    const CatalogTree tree(cat);
    const auto top = tree.subdirs(0);
    if (top.size() == 1 && tree.files(0).empty() && top[0] == 1) {
        const std::string suffix = "/" + std::string(cat.dir_name(1));
        const std::string_view name = fixed_text(cat.header.medium_name);
        const bool by_name = name.starts_with('/') && name.ends_with(suffix);
        std::string_view given = given_path;
        while (given.size() > 1 && given.ends_with('/')) given.remove_suffix(1);
        if (by_name || (!given.empty() && given.ends_with(suffix))) {
            start.dir = 1;
            if (start.path.empty()) start.path = std::string(name);
        }
    }
    return start;
}

}  // namespace orbisto
