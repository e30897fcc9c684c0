// The walk of one directory. The directory is listed once (one status call
// per entry, relative to its descriptor); a pass over its files and then one
// over its subdirectories run over that listing in its order. Subdirectories
// are opened relative to their parent's descriptor and walked by a nested
// DirectoryWalk, so a level costs one open descriptor and a small frame;
// nesting deeper than kMaxNesting levels is recorded but not entered.
// Whatever the walk leaves out (a directory it cannot read, one nested too
// deep, the rest of a directory when a work area runs full) is noted in
// ctx.scan.omissions, so that a scan never passes for complete when it is not.
#include "scan/scan_walk.h"

#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <deque>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "archive/archive_context.h"
#include "archive/packer_process.h"
#include "catalog/catalog_context.h"
#include "fileinfo/crc32.h"
#include "fileinfo/file_info.h"
#include "fileinfo/info_prefetch.h"
#include "platform/codepage.h"
#include "scan/medium_update.h"
#include "scan/scan_context.h"
#include "scan/scan_entry_rules.h"
#include "scan/scan_growth.h"
#include "scan/scan_listing.h"
#include "scan/scan_progress.h"
#include "scan/scan_time.h"
#include "scan/walk_hooks.h"
#include "text/description_files.h"
#include "text/description_lists.h"
#include "text/package_readers.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

// Directory levels below the start of a walk that are entered. Deeper
// directories get their record but are not read: each level holds one open
// descriptor, and paths that deep pass what the system can open by name.
constexpr int kMaxNesting = 256;

// The length the file-information readers are told: the record's size in
// KiB times 1024, truncated, so that lengths computed from it (an MP3 file's
// playing time) agree with catalogues made from the same records elsewhere.
std::uint64_t file_info_size(const FileRecord& rec) {
    return static_cast<std::uint64_t>(static_cast<double>(rec.size_kb) * 1024.0);
}

bool walk_stopped(const ScanContext& ctx) {
    // A full NamePool ends the whole walk; an abort request ends it too.
    return ctx.frontend.abort_requested() || ctx.limits_hit.names;
}

// Notes that the rest of `path` was dropped because a work area ran full. An
// aborted walk is not stored at all and needs no list.
void note_cut_short(ScanContext& ctx, const std::string& path) {
    if (ctx.frontend.abort_requested() || !ctx.limits_hit.any()) return;
    ctx.scan.omissions.add(path, OmissionReason::LimitHit);
}

// "%2d:%02d:%02d.%02d" in local time, for the scan log.
std::string log_clock() {
    timeval tv{};
    ::gettimeofday(&tv, nullptr);
    std::tm tm{};
    const std::time_t secs = tv.tv_sec;
    ::localtime_r(&secs, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2d:%02d:%02d.%02d", tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(tv.tv_usec / 10000));
    return buf;
}

void join_path(std::string& out, const std::string& dir, std::string_view name) {
    out.assign(dir);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
}

class DirectoryWalk {
  public:
    DirectoryWalk(ScanContext& ctx, DirectoryFd fd, std::string path, std::uint32_t parent_index,
                  int archive_depth, int level)
        : ctx_(ctx),
          fd_(std::move(fd)),
          path_(std::move(path)),
          parent_index_(parent_index),
          archive_depth_(archive_depth),
          level_(level) {}
    ~DirectoryWalk();
    DirectoryWalk(const DirectoryWalk&) = delete;
    DirectoryWalk& operator=(const DirectoryWalk&) = delete;

    void run(Mp3Totals& mp3);

  private:
    bool walk_entries();
    void read_ahead(std::size_t at);
    InfoPrefetch::Ticket ticket_for(const ListedEntry& e);
    bool file_entry(const ListedEntry& e);
    bool dir_entry(const ListedEntry& e);
    bool describe_file(const ListedEntry& e, std::string_view name, std::uint32_t& comment,
                       bool& ordinary);
    bool take_over_comment(std::string_view text, std::uint32_t& comment);
    void collect_file_info(const ListedEntry& e, FileRecord& rec);
    bool add_crc(const ListedEntry& e, FileRecord& rec);
    ArchiveExpansion expand(const ListedEntry& e, Mp3Totals& inner);
    const std::string& entry_path(const ListedEntry& e);
    void show_path(std::string_view name);
    void log_line(const char* what, const std::string& path) const;
    bool comment_failed(const AppendResult& r);

    ScanContext& ctx_;
    DirectoryFd fd_;
    const std::string path_;
    const std::uint32_t parent_index_;
    const int archive_depth_;
    const int level_;

    ExpansionMode mode_ = ExpansionMode::Nothing;
    bool update_ = false;
    std::vector<ListedEntry> entries_;
    std::optional<DirectoryList> list_;
    std::string dir_path_;  // the directory's place in the catalogue (update only)
    std::string prefix_;    // the shortened path for the status bar (real_time only)
    std::string scratch_;   // reused buffers
    std::string entry_path_;
    const ListedEntry* entry_path_of_ = nullptr;
    Mp3Totals totals_;
    // Files of the listing handed to the workers and not taken yet, in
    // listing order; next_ahead_ is the first entry not looked at for it.
    std::deque<std::pair<const ListedEntry*, InfoPrefetch::Ticket>> ahead_;
    std::size_t next_ahead_ = 0;
};

DirectoryWalk::~DirectoryWalk() {
    for (const auto& [entry, ticket] : ahead_) ctx_.scan.prefetch->cancel(ticket);
}

void DirectoryWalk::log_line(const char* what, const std::string& path) const {
    if (!ctx_.log.enabled()) return;
    // A directory line stands apart from the file lines around it.
    const bool dir = std::string_view(what) == "dir";
    ctx_.log.line((dir ? "\r\n" : "") + log_clock() + " - " + what + ":" + path + "\r\n");
}

const std::string& DirectoryWalk::entry_path(const ListedEntry& e) {
    if (entry_path_of_ != &e) {
        join_path(entry_path_, path_, e.name);
        entry_path_of_ = &e;
    }
    return entry_path_;
}

void DirectoryWalk::show_path(std::string_view name) {
    std::string& text = scratch_;
    text.assign(prefix_);
    if (text.empty() || text.back() != '/') text += '/';
    text += name;
    ctx_.frontend.status(0, text);
}

bool DirectoryWalk::comment_failed(const AppendResult& r) {
    if (r.ok()) return false;
    ctx_.log.line("comment - error\r\n");
    ctx_.limits_hit.comments = true;
    return true;
}

void DirectoryWalk::run(Mp3Totals& mp3) {
    if (walk_stopped(ctx_)) return;
    const Options& o = ctx_.settings.options;
    if (!list_directory(fd_, entries_)) {
        // What could be listed (nothing, when it could not be opened) is
        // still walked.
        const int error = errno;
        ctx_.log.line("\r\ndir: " + path_ + " - nicht lesbar\r\n");
        ctx_.scan.omissions.add(path_, OmissionReason::Unreadable, error);
    }

    mode_ = o.archive_expansion;
    if (mode_ == ExpansionMode::All && lists_kill_file(entries_, ctx_.settings.kill_files)) {
        mode_ = ExpansionMode::Nothing;
    }
    if (!o.ignore_file_lists) {
        ListFileNames names;
        for (const ListedEntry& e : entries_) {
            if (e.kind != EntryKind::Directory) names.note(e.name);
        }
        list_ = LoadDirectoryList(ctx_, path_, names);
    }
    log_line("dir", path_);
    update_ = ctx_.scan.update_mode && ctx_.scan.old;
    if (update_) dir_path_ = ctx_.catalog.dir_path(parent_index_);
    if (o.real_time) prefix_ = shortened_directory(ctx_.scan.root, path_);

    if (!walk_entries()) {
        note_cut_short(ctx_, path_);
        return;
    }

    // A directory without a description of its own gets the summary of the
    // MP3 files in it and below; its totals then go up to the caller.
    if (totals_.count > 0 && ctx_.catalog.dirs()[parent_index_].comment <= COMMENT_ARCHIVE) {
        const AppendResult r = ctx_.catalog.append_comment(mp3_summary_comment(totals_));
        if (comment_failed(r)) return;
        ctx_.catalog.dirs()[parent_index_].comment = r.value;
        mp3 = totals_;
    }
}

// The files, then the subdirectories; false when the walk stopped.
bool DirectoryWalk::walk_entries() {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const ListedEntry& e = entries_[i];
        if (e.kind == EntryKind::Directory) continue;
        read_ahead(i);
        if (!file_entry(e)) return false;
    }
    for (const auto& [entry, ticket] : ahead_) ctx_.scan.prefetch->cancel(ticket);
    ahead_.clear();
    for (const ListedEntry& e : entries_) {
        if (e.kind == EntryKind::Directory && !dir_entry(e)) return false;
    }
    return true;
}

// Hands the pictures from entry `at` on to the workers until the window is
// full. A file is handed on when the walk will read it: a regular file with
// a size, a reader that makes a thumbnail, and not an archive to unpack.
void DirectoryWalk::read_ahead(std::size_t at) {
    InfoPrefetch* pool = ctx_.scan.prefetch;
    if (!pool) return;
    // Files passed over without being read (an archive that was unpacked,
    // a file that got no record) are dropped.
    while (!ahead_.empty() && ahead_.front().first < &entries_[at]) {
        pool->cancel(ahead_.front().second);
        ahead_.pop_front();
    }
    next_ahead_ = std::max(next_ahead_, at);
    std::string converted;
    while (ahead_.size() < pool->window() && next_ahead_ < entries_.size()) {
        const ListedEntry& e = entries_[next_ahead_++];
        if (e.kind != EntryKind::File || !(size_kb_from_bytes(e.size) > 0.001f) ||
            !pool->wanted(e.name)) {
            continue;
        }
        if (mode_ == ExpansionMode::All &&
            is_expandable_archive(recorded_name(e.name, converted),
                                  ctx_.settings.packer.own_extensions)) {
            continue;
        }
        FileRecord sized;
        sized.size_kb = size_kb_from_bytes(e.size);
        std::string path;
        join_path(path, path_, e.name);
        ahead_.emplace_back(&e, pool->submit(std::move(path), file_info_size(sized)));
    }
}

// The workers' ticket of the entry, taken out of the window; null when it
// was not handed on.
InfoPrefetch::Ticket DirectoryWalk::ticket_for(const ListedEntry& e) {
    while (!ahead_.empty() && ahead_.front().first < &e) {
        ctx_.scan.prefetch->cancel(ahead_.front().second);
        ahead_.pop_front();
    }
    if (ahead_.empty() || ahead_.front().first != &e) return nullptr;
    InfoPrefetch::Ticket ticket = std::move(ahead_.front().second);
    ahead_.pop_front();
    return ticket;
}

ArchiveExpansion DirectoryWalk::expand(const ListedEntry& e, Mp3Totals& inner) {
    if (const WalkHooks* h = ctx_.scan.walk_hooks; h && h->expand_archive) {
        return h->expand_archive(path_, e.name);
    }
    return ExpandArchive(ctx_, path_, e.name, parent_index_, archive_depth_, inner);
}

bool DirectoryWalk::file_entry(const ListedEntry& e) {
    ScanState& s = ctx_.scan;
    const Options& o = ctx_.settings.options;
    if (archive_depth_ == 0) s.bytes_scanned += static_cast<double>(e.size);
    ctx_.frontend.pump();
    if (walk_stopped(ctx_)) return false;
    if (!GrowWorkAreas(ctx_)) return false;
    ShowWalkProgress(ctx_, archive_depth_);

    std::string converted;
    const std::string_view name = recorded_name(e.name, converted);
    if (o.real_time) show_path(name);
    if (archive_depth_ == 0) ReportWalkProgress(ctx_, path_, e.name, static_cast<double>(e.size));

    // Whether a packer program ran for this entry: a file unpacked that way
    // gets no CRC.
    bool packer_ran = false;
    if (mode_ == ExpansionMode::All && e.kind == EntryKind::File &&
        is_expandable_archive(name, ctx_.settings.packer.own_extensions)) {
        Mp3Totals inner;
        const ArchiveExpansion r = expand(e, inner);
        if (r == ArchiveExpansion::Expanded) {
            totals_.add(inner);
            return true;
        }
        // NothingCameOut: a packer ran and left nothing; the archive becomes
        // a plain file without CRC. NoCommand: no packer handles it, so no
        // program touched it and it is a plain file like any other,
        // CRC included.
        packer_ran = r == ArchiveExpansion::NothingCameOut;
    }

    log_line("file", entry_path(e));
    note_newest_file(s, e.time, name);

    FileRecord rec;
    rec.size_kb = size_kb_from_bytes(e.size);
    rec.time = e.time;
    rec.parent = parent_index_;

    // An update takes over the comment of the same file in the old Catalog,
    // and with it its CRC; the entry needs no description work.
    bool taken_over = false;
    if (update_) {
        const std::int64_t old = LookupOldFile(ctx_, dir_path_, name);
        if (old >= 0 && old < static_cast<std::int64_t>(s.old->file_count())) {
            taken_over = true;
            const auto at = static_cast<std::uint32_t>(old);
            if (!take_over_comment(s.old->file_comment(at), rec.comment)) return false;
            // A checksum taken over with the comment still reads as one.
            if (rec.comment != 0) rec.flags |= s.old->files()[at].flags & FLAG_CRC;
        }
    }
    bool ordinary = false;
    if (!taken_over && !describe_file(e, name, rec.comment, ordinary)) return true;  // no record

    const AppendResult n = ctx_.catalog.append_name(name);
    if (!n.ok()) {
        if (n.status != AppendStatus::PoolFull) ctx_.log.line("namen - error\r\n");
        ctx_.limits_hit.names = true;
        return false;
    }
    rec.name = n.value;

    if (ordinary && rec.comment == 0 && mode_ == ExpansionMode::DescriptionOnly &&
        e.kind == EntryKind::File && may_hold_description(name, o.use_exe)) {
        packer_ran = ExtractDescriptionFromArchive(ctx_, path_, e.name, rec.comment) || packer_ran;
    }
    const PackerSettings& p = ctx_.settings.packer;
    if (rec.comment == 0 && e.kind == EntryKind::File && !p.info_command.empty() &&
        extension_in_list(p.info_extensions, name)) {
        if (RunUserCommand(ctx_, UserCommand::Info, entry_path(e)) == CommandRun::Finished) {
            ReadInfoFile(ctx_, rec.comment);
        }
    }
    // Information extraction is switched off as a whole by file_information.
    // A file that has a comment already is read for its thumbnail and MP3
    // statistics only, so one with both has nothing to gain.
    if (o.file_information && e.kind == EntryKind::File && rec.size_kb > 0.001f &&
        (rec.comment == 0 || rec.thumbnail == 0)) {
        collect_file_info(e, rec);
        if (ctx_.limits_hit.comments) return false;
    }
    if (o.compute_crc32 && e.kind == EntryKind::File && !packer_ran && !taken_over &&
        !add_crc(e, rec)) {
        return false;
    }

    if (!ctx_.catalog.append_file(rec).ok()) {
        ctx_.log.line("files - error\r\n");
        ctx_.limits_hit.files = true;
        return false;
    }
    s.total_kb += rec.size_kb;
    return true;
}

// Makes the comment by the first matching case: LSM entry, RPM package,
// description file, INDEX, else (`ordinary`) the directory list. Returns
// false when no record is to be made.
bool DirectoryWalk::describe_file(const ListedEntry& e, std::string_view name,
                                  std::uint32_t& comment, bool& ordinary) {
    const Options& o = ctx_.settings.options;
    // Only regular files are read; links and devices get the list comment.
    if (e.kind == EntryKind::File) {
        if (o.use_lsm && ends_with_ci(name, ".LSM")) {
            ReadLsmComment(ctx_, comment, entry_path(e));
            return true;
        }
        if (o.use_lsm && ends_with_ci(name, ".RPM"))
            return ReadRpmComment(ctx_, comment, entry_path(e));
        if (IsDescriptionFile(ctx_, name))
            return ReadDescriptionFileInto(ctx_, comment, entry_path(e));
        if (o.use_index && EqualsCI(name, "INDEX")) {
            ReadIndexComment(ctx_, comment, path_);
            return true;
        }
    }
    ordinary = true;
    if (list_) LookupListComment(ctx_, *list_, name, comment);
    return true;
}

bool DirectoryWalk::take_over_comment(std::string_view text, std::uint32_t& comment) {
    const Catalog& c = ctx_.catalog;
    // Bounded by the pool's free space: its capacity less the used bytes, the
    // end mark and the terminating NUL.
    const std::size_t used = c.comments_used() + 3;
    const std::size_t room = c.comments_capacity() > used ? c.comments_capacity() - used : 0;
    const std::string converted = cut_utf8(ConvertTakenOverComment(ctx_, text), room);
    if (converted.empty()) return true;
    const AppendResult r = ctx_.catalog.append_comment(converted);
    if (comment_failed(r)) return false;
    comment = r.value;
    return true;
}

void DirectoryWalk::collect_file_info(const ListedEntry& e, FileRecord& rec) {
    FileInfoResult info;
    const std::string& path = entry_path(e);
    const WalkHooks* h = ctx_.scan.walk_hooks;
    int found = 0;
    if (const InfoPrefetch::Ticket ticket = ticket_for(e)) {
        FileInfoNotes notes;
        found = ctx_.scan.prefetch->take(ticket, info, notes);
        ReplayFileInfoNotes(ctx_, notes);
    } else if (h && h->collect_file_info) {
        found = h->collect_file_info(path, info);
    } else {
        found = CollectFileInfo(ctx_, ctx_.scan.file_info, path, file_info_size(rec), info);
    }
    if (info.version_found) rec.flags |= FLAG_VERSION;
    if (found == 0) return;
    const bool had_comment = rec.comment != 0;
    if (info.mp3_bitrate_kbps > 0) {
        totals_.bitrate_sum += info.mp3_bitrate_kbps;
        totals_.seconds += info.mp3_length_s;
        ++totals_.count;
    }
    if (!had_comment && !info.info_text.empty()) {
        const AppendResult r = ctx_.catalog.append_comment(info.info_text);
        if (comment_failed(r)) return;
        rec.comment = r.value;
    }
    if (!info.thumbnail.empty()) {
        const AppendResult r = ctx_.catalog.append_image(info.thumbnail);
        if (r.ok()) {
            rec.thumbnail = r.value;
            if (had_comment) ctx_.log.line("\r\nthumbnail: " + path + "\r\n");
        }
    }
}

bool DirectoryWalk::add_crc(const ListedEntry& e, FileRecord& rec) {
    std::uint32_t crc = 0;
    // The entry was listed as a regular file of this directory: open it
    // relative to the directory's descriptor.
    // A large file moves the progress display while it is read.
    std::function<void(std::uint64_t)> progress;
    if (ctx_.scan.on_progress && archive_depth_ == 0) {
        progress = [&](std::uint64_t done) {
            ReportWalkProgress(ctx_, path_, e.name,
                               static_cast<double>(e.size) - static_cast<double>(done));
        };
    }
    if (FileCrc32At(ctx_.frontend, fd_.get(), e.name, e.size, crc, ctx_.scan.crc_buffer,
                    progress) != CrcStatus::Ok ||
        crc == 0) {
        return true;
    }
    // No comment: "CRC:%08X". A comment starting "CRC:": its prefix replaced.
    // Any other: the prefix, a blank, then the comment.
    const std::string text = apply_crc_prefix(ctx_.catalog.comment_at(rec.comment), crc);
    const AppendResult r = rec.comment > COMMENT_ARCHIVE
                               ? ctx_.catalog.replace_comment(rec.comment, text)
                               : ctx_.catalog.append_comment(text);
    if (comment_failed(r)) return false;
    rec.comment = r.value;
    rec.flags |= FLAG_CRC;
    return true;
}

bool DirectoryWalk::dir_entry(const ListedEntry& e) {
    ScanState& s = ctx_.scan;
    const Options& o = ctx_.settings.options;
    ctx_.frontend.pump();
    if (walk_stopped(ctx_)) return false;
    if (!GrowWorkAreas(ctx_)) return false;

    std::string converted;
    const std::string_view name = recorded_name(e.name, converted);
    std::string child;
    join_path(child, path_, e.name);
    if (!ctx_.settings.packer.dir_command.empty()) RunUserCommand(ctx_, UserCommand::Dir, child);

    DirRecord d;
    d.time = e.time;
    d.parent = parent_index_;
    const AppendResult n = ctx_.catalog.append_name(name);
    if (!n.ok()) {
        if (n.status != AppendStatus::PoolFull) ctx_.log.line("namen - error\r\n");
        ctx_.limits_hit.names = true;
        return false;
    }
    d.name = n.value;
    if (o.real_time) show_path(name);

    bool taken_over = false;
    if (update_) {
        const std::int64_t old = LookupOldDir(ctx_, dir_path_, name);
        if (old > 0 && old < static_cast<std::int64_t>(s.old->dir_count()) &&
            s.old->dirs()[static_cast<std::size_t>(old)].comment > COMMENT_ARCHIVE) {
            taken_over = true;
            if (!take_over_comment(s.old->dir_comment(static_cast<std::uint32_t>(old)),
                                   d.comment)) {
                return false;
            }
        }
    }
    if (!taken_over && list_) LookupListComment(ctx_, *list_, name, d.comment);
    if (d.comment == 0 && !e.other_device && any_description_setting(o)) {
        ReadDirectoryDescription(ctx_, d.comment, child);
    }

    const AppendResult r = ctx_.catalog.append_dir(d);
    if (!r.ok()) {
        ctx_.log.line("dir - error\r\n");
        ctx_.limits_hit.dirs = true;
        return false;
    }
    if (e.undescribed) {
        ctx_.log.line("\r\ndir: " + child + " - nicht lesbar\r\n");
        s.omissions.add(child, OmissionReason::Unreadable, e.error);
        return true;
    }
    if (e.other_device) {
        ctx_.log.line("\r\ndir: " + child + " - anderes Dateisystem, nicht eingelesen\r\n");
        return true;
    }
    if (level_ >= kMaxNesting) {
        ctx_.log.line("\r\ndir: " + child + " - zu tief verschachtelt, nicht eingelesen\r\n");
        s.omissions.add(child, OmissionReason::TooDeep);
        return true;
    }
    Mp3Totals inner;
    DirectoryWalk sub(ctx_, open_subdirectory(fd_, e.name), std::move(child), r.value,
                      archive_depth_, level_ + 1);
    sub.run(inner);
    totals_.add(inner);
    return true;
}

}  // namespace

std::uint32_t ScanDirectory(ScanContext& ctx, const std::string& path, std::uint32_t parent_index,
                            int archive_depth, std::uint32_t files_before, Mp3Totals& mp3) {
    if (walk_stopped(ctx) || parent_index >= ctx.catalog.dir_count()) {
        note_cut_short(ctx, path);
        return 0;
    }
    // Pictures are read ahead on the other cores when the walk makes
    // thumbnails; a walk inside an archive uses the workers of its medium's.
    struct OwnPool {
        ScanState& scan;
        std::unique_ptr<InfoPrefetch> pool;
        ~OwnPool() {
            if (pool) scan.prefetch = nullptr;
        }
    } own{ctx.scan, nullptr};
    const Options& o = ctx.settings.options;
    const WalkHooks* h = ctx.scan.walk_hooks;
    const unsigned workers = InfoPrefetch::workers_for(std::thread::hardware_concurrency());
    if (!ctx.scan.prefetch && workers > 0 && o.file_information && o.thumbnails &&
        !(h && h->collect_file_info)) {
        own.pool = std::make_unique<InfoPrefetch>(o, workers);
        ctx.scan.prefetch = own.pool.get();
    }
    DirectoryWalk walk(ctx, open_directory(path), path, parent_index, archive_depth, 0);
    walk.run(mp3);
    const std::uint32_t now = ctx.catalog.file_count();
    return now > files_before ? now - files_before : 0;
}

}  // namespace orbisto
