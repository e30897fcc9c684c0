// Archives met by the walk: unpacked whole into a work directory below the
// private work directory and walked there as a directory of the catalogue
// (ExpandArchive), or searched for the description files they carry only
// (ExtractDescriptionFromArchive). The packers are outside programs started
// without a shell; the trees they leave are removed without following links.
#include "scan/archive_expand.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <optional>

#include "archive/archive_context.h"
#include "archive/archive_signature.h"
#include "archive/packer_process.h"
#include "archive/packer_table.h"
#include "archive/work_tree.h"
#include "catalog/catalog_context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "scan/medium_update.h"
#include "scan/scan_context.h"
#include "scan/scan_entry_rules.h"
#include "scan/scan_walk.h"
#include "scan/walk_hooks.h"
#include "text/description_files.h"
#include "text/description_lists.h"
#include "text/package_readers.h"

namespace orbisto {

namespace {

// Archives inside archives are expanded down to this many levels; deeper
// ones are recorded as plain files, so an archive that contains itself
// cannot make the walk unpack forever.
constexpr int kMaxArchiveDepth = 8;

// What unpacking one archive may write: a hundred times its size, at least
// 4 GiB. Real archives stay far below; a crafted one that expands to far
// more than it weighs is stopped there instead of filling the disk.
std::uint64_t output_cap(const std::string& path) {
    constexpr std::uint64_t kFloor = std::uint64_t{4} << 30;
    struct stat st {};
    const std::uint64_t size =
        ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    return std::max(kFloor, size * 100);
}

// The subdirectory of the work directory used for the description files.
constexpr const char* kDescriptionDir = "orbisto";

constexpr const char* kUnarMembers =
    "unar -q -f -D -p zvmk %s FILE_ID.DIZ TOP_ID.DIZ file_id.diz top_id.diz";

struct Choice {
    std::string command;  // empty: explicitly nothing (a later RAR volume)
    ArgForm form = ArgForm::Archive;
    bool own = false;  // the user's own_command
};

bool ends_any(std::string_view name, std::initializer_list<std::string_view> endings) {
    for (std::string_view e : endings) {
        if (ends_with_ci(name, e)) return true;
    }
    return false;
}

// Of a multi-volume RAR set ("x.part01.rar", "x.part1.rar") only the first
// volume is unpacked: the packer reads the others itself.
bool rar_volume_handled(std::string_view name) {
    const std::string up = upper_german(name);
    const std::size_t pos = up.rfind(".PART");
    if (pos == std::string::npos) return true;
    std::size_t i = pos + 5;
    const std::size_t digits = i;
    while (i < up.size() && up[i] >= '0' && up[i] <= '9') ++i;
    if (i == digits || i >= up.size() || up[i] != '.') return true;  // not a volume number
    std::size_t j = digits;
    while (j + 1 < i && up[j] == '0') ++j;
    return i - j == 1 && up[j] == '1';
}

std::string_view first_word(std::string_view command) {
    return command.substr(0, command.find(' '));
}

// The packer test runs once, before the first archive needs it, when the
// program start has not run it already.
void ensure_packers_tested(ScanContext& ctx) {
    if (ctx.packers.found.empty() && ctx.settings.options.test_packers) TestAllPackers(ctx);
}

// The groups after the ZIP group, first match wins; nullopt when none
// matches.
std::optional<Choice> later_group(ScanContext& ctx, std::string_view name, const std::string& path,
                                  const ArchiveSignature& sig, std::uint32_t& comment) {
    const Options& o = ctx.settings.options;
    const PackerSettings& p = ctx.settings.packer;
    const auto has = [&](Packer k) { return PackerAvailable(ctx, k); };

    if (o.use_rpm && has(Packer::SEVENZ) &&
        ends_any(name, {".TAR", ".GZ", ".BZ2", ".CPIO", ".MSI", ".RPM", ".DEB", ".7Z"})) {
        if (ends_with_ci(name, ".RPM")) ReadRpmDescriptionInto(ctx, path, comment);
        return Choice{p.rpm.command};
    }
    // InstallShield 3 files (13 5D) have no unpacker on this platform.
    if (o.use_untgz && has(Packer::UNTGZ32) && ends_any(name, {".TAR", ".TGZ"})) {
        return Choice{p.untgz.command};
    }
    if (o.use_gz && has(Packer::UNTGZ32) && ends_with_ci(name, ".GZ")) {
        return Choice{p.ungz.command, ArgForm::ArchiveAndStem};
    }
    if (o.use_ace && has(Packer::UNACE) &&
        (sig.is(ArchiveType::ACE) || ends_with_ci(name, ".ACE"))) {
        return Choice{p.ace.command};
    }
    if ((o.use_arj && has(Packer::ARJ) &&
         (sig.is(ArchiveType::ARJ) || ends_with_ci(name, ".ARJ"))) ||
        ends_any(name, {".A0", ".A1", ".A2"})) {
        return Choice{p.arj.command};
    }
    const bool lha = sig.is_lha() || ends_with_ci(name, ".LZH");
    if ((o.use_lha && has(Packer::LHA32) && lha) || ends_with_ci(name, ".LHA")) {
        return Choice{p.lha.command};
    }
    if (o.use_expander && has(Packer::EXPANDER) && ends_any(name, {".HQX", ".SIT"})) {
        return Choice{kExpanderCommand};
    }
    if (o.use_lha && has(Packer::LHA) && lha) return Choice{p.lha.command};
    if (o.use_rar && (sig.is(ArchiveType::RAR) || ends_with_ci(name, ".RAR")) &&
        (has(Packer::UNRAR) || has(Packer::RAR))) {
        if (!rar_volume_handled(name)) return Choice{};
        return Choice{has(Packer::UNRAR) ? p.rar.command : "rar x -y -p- %s"};
    }
    if (o.use_uc2 && has(Packer::UC) && (sig.is(ArchiveType::UC2) || ends_with_ci(name, ".UC2"))) {
        return Choice{p.uc2.command};
    }
    if (o.use_zoo && has(Packer::ZOO) && (sig.is(ArchiveType::ZOO) || ends_with_ci(name, ".ZOO"))) {
        return Choice{p.zoo.command};
    }
    if (ends_with_ci(name, ".CAB")) {
        const bool ms = o.use_extract && (has(Packer::EXTRACT) || has(Packer::EXTRAC32));
        if (sig.is(ArchiveType::CAB) && ms)
            return Choice{p.extract.command, ArgForm::TargetArchive};
        if (sig.is_newer_installshield_cab()) {
            if (has(Packer::ISCAB)) return Choice{kUnshieldCommand, ArgForm::TargetArchive};
        } else if (sig.is(ArchiveType::InstallShieldCab) && o.use_compress && has(Packer::I5COMP)) {
            // A later volume of a set: the first one unpacks the whole set.
            const std::string up = upper_german(name);
            const bool later_volume =
                up.find("DATA") != std::string::npos && up.find("DATA1.CAB") == std::string::npos;
            if (!later_volume) return Choice{kUnshieldCommand, ArgForm::TargetArchive};
        }
    }
    return std::nullopt;
}

// The command that unpacks the archive; the ZIP and RPM readers put their
// comment into `comment` on the way.
std::optional<Choice> expand_command(ScanContext& ctx, std::string_view name,
                                     const std::string& path, const ArchiveSignature& sig,
                                     std::uint32_t& comment) {
    const Options& o = ctx.settings.options;
    const PackerSettings& p = ctx.settings.packer;
    if (o.use_extract && sig.is(ArchiveType::CabInProgram) &&
        PackerAvailable(ctx, Packer::EXE2CAB)) {
        return Choice{p.extract.command, ArgForm::TargetArchive};
    }
    std::optional<Choice> zip;
    if (o.use_zip &&
        (PackerAvailable(ctx, Packer::UNZIP) || PackerAvailable(ctx, Packer::PKUNZIP)) &&
        (sig.is(ArchiveType::ZIP) || ends_any(name, {".ZIP", ".SXW"}))) {
        ReadZipComment(ctx, path, comment);
        zip = Choice{p.zip.command};
    }
    // A later group that matches takes the place of the ZIP group.
    std::optional<Choice> later = later_group(ctx, name, path, sig, comment);
    if (later) {
        if (later->command.empty()) return std::nullopt;
        return later;
    }
    if (zip) return zip;
    // The user's own command is for what no packer group takes.
    if (!p.own_command.empty() && extension_in_list(p.own_extensions, name)) {
        return Choice{"", {}, true};
    }
    return std::nullopt;
}

// The command that extracts only the description files. arj, lha and unar
// match member names case-sensitively, and lha shows the upper-case names of
// DOS archives in lower case, so both spellings are asked for.
std::optional<Choice> description_command(ScanContext& ctx, std::string_view name,
                                          const std::string& path, const ArchiveSignature& sig,
                                          std::uint32_t& comment) {
    const Options& o = ctx.settings.options;
    const PackerSettings& p = ctx.settings.packer;
    const auto has = [&](Packer k) { return PackerAvailable(ctx, k); };
    if (o.use_zip && (has(Packer::UNZIP) || has(Packer::PKUNZIP)) &&
        (sig.is(ArchiveType::ZIP) || ends_any(name, {".ZIP", ".SXW"}))) {
        if (ReadZipComment(ctx, path, comment)) return std::nullopt;
        return Choice{"unzip -qq -Co -P zvmk %s FILE_ID.DIZ TOP_ID.DIZ"};
    }
    if (o.use_arj && has(Packer::ARJ) &&
        (sig.is(ArchiveType::ARJ) || ends_any(name, {".ARJ", ".A0", ".A1", ".A2"}))) {
        return Choice{"arj e -y -+ -gzvmk %s FILE_ID.DIZ TOP_ID.DIZ file_id.diz top_id.diz"};
    }
    if (o.use_lha && (has(Packer::LHA32) || has(Packer::LHA)) &&
        (sig.is_lha() || ends_any(name, {".LZH", ".LHA"}))) {
        return Choice{"lha efq %s FILE_ID.DIZ TOP_ID.DIZ file_id.diz top_id.diz"};
    }
    if (o.use_rar && (has(Packer::UNRAR) || has(Packer::RAR)) &&
        (sig.is(ArchiveType::RAR) || ends_with_ci(name, ".RAR"))) {
        if (!rar_volume_handled(name)) return std::nullopt;
        if (first_word(p.rar.command) == "unar") return Choice{kUnarMembers};
        return Choice{has(Packer::UNRAR) ? "unrar e -y -p- %s FILE_ID.DIZ TOP_ID.DIZ"
                                         : "rar e -y -p- %s FILE_ID.DIZ TOP_ID.DIZ"};
    }
    if (o.use_uc2 && has(Packer::UC) && (sig.is(ArchiveType::UC2) || ends_with_ci(name, ".UC2"))) {
        return Choice{"uc ESF %s FILE_ID.DIZ TOP_ID.DIZ"};
    }
    if (o.use_zoo && has(Packer::ZOO) && (sig.is(ArchiveType::ZOO) || ends_with_ci(name, ".ZOO"))) {
        if (first_word(p.zoo.command) == "unar") return Choice{kUnarMembers};
        return Choice{"zoo xOq %s FILE_ID.DIZ TOP_ID.DIZ"};
    }
    if (o.use_extract && sig.is(ArchiveType::CabInProgram) && has(Packer::EXE2CAB)) {
        return Choice{"cabextract -q -F *_ID.DIZ -d %s %s", ArgForm::TargetArchive};
    }
    return std::nullopt;
}

// Runs the chosen packer in `dir`, which also takes what it unpacks.
PackerResult run_choice(ScanContext& ctx, const Choice& c, const std::string& dir,
                        const std::string& path) {
    PackerCall call;
    call.command = c.command;
    call.args = PackerArgs(c.form, dir, path);
    call.work_dir = dir;
    call.shown_path = path;
    call.max_output = output_cap(path);
    return RunPacker(ctx, call);
}

// A fresh directory below the work directory for the archive `name`: the
// name itself, else "K" and the name with its last character replaced by
// '!', '"', '#', … until one can be made, else a generated name. Empty when
// nothing can be made.
std::string make_target(const std::string& work, std::string_view name) {
    std::string target = join_path(work, name);
    if (::mkdir(target.c_str(), 0700) == 0) return target;
    std::string alt = "K" + std::string(name);
    for (int c = '!'; c <= '~'; ++c) {
        if (c == '/') continue;
        alt.back() = static_cast<char>(c);
        target = join_path(work, alt);
        if (::mkdir(target.c_str(), 0700) == 0) return target;
        if (errno != EEXIST) break;
    }
    std::string pattern = join_path(work, "archiveXXXXXX");
    if (::mkdtemp(pattern.data())) return pattern;
    return {};
}

// The comment of the archive's DirRecord that does not come from the
// archive itself: the old Catalog's in an update, else the directory list's.
std::uint32_t outside_comment(ScanContext& ctx, const std::string& dir, std::string_view name,
                              std::uint32_t parent_index) {
    ScanState& s = ctx.scan;
    if (s.update_mode && s.old) {
        const std::int64_t old = LookupOldDir(ctx, ctx.catalog.dir_path(parent_index), name);
        if (old > 0 && old < static_cast<std::int64_t>(s.old->dir_count()) &&
            s.old->dirs()[static_cast<std::size_t>(old)].comment > COMMENT_ARCHIVE) {
            const std::size_t used = ctx.catalog.comments_used() + 3;
            const std::size_t cap = ctx.catalog.comments_capacity();
            const std::string text = cut_utf8(
                ConvertTakenOverComment(ctx, s.old->dir_comment(static_cast<std::uint32_t>(old))),
                cap > used ? cap - used : 0);
            if (!text.empty()) {
                const AppendResult r = ctx.catalog.append_comment(text);
                if (r.ok()) return r.value;
                ctx.limits_hit.comments = true;
            }
        }
    }
    std::uint32_t comment = 0;
    if (!ctx.settings.options.ignore_file_lists) {
        if (const auto list = LoadDirectoryList(ctx, dir)) {
            LookupListComment(ctx, *list, name, comment);
        }
    }
    return comment;
}

}  // namespace

ArchiveExpansion ExpandArchive(ScanContext& ctx, const std::string& dir, std::string_view name,
                               std::uint32_t parent_index, int archive_depth, Mp3Totals& mp3) {
    if (name.empty() || archive_depth >= kMaxArchiveDepth || ctx.paths.temp_dir.empty()) {
        return ArchiveExpansion::NoCommand;
    }
    ensure_packers_tested(ctx);
    const Options& o = ctx.settings.options;
    const std::string path = join_path(dir, name);
    std::string scratch;
    const std::string_view shown = recorded_name(name, scratch);
    const ArchiveSignature sig = IsClassifiedArchiveName(o, shown)
                                     ? ClassifyArchive(path, 0, ClassifyMode::FullExpansion)
                                     : ArchiveSignature{};

    std::uint32_t packed_comment = 0;
    const std::optional<Choice> choice = expand_command(ctx, shown, path, sig, packed_comment);
    if (!choice) return ArchiveExpansion::NoCommand;

    DirRecord d;
    d.comment = outside_comment(ctx, dir, shown, parent_index);
    if (d.comment == 0) d.comment = packed_comment != 0 ? packed_comment : COMMENT_ARCHIVE;
    d.flags = FLAG_ARCHIVE_DIR;
    d.parent = parent_index;
    const AppendResult n = ctx.catalog.append_name(shown);
    if (!n.ok()) {
        if (n.status != AppendStatus::PoolFull) ctx.log.line("namen - error\r\n");
        ctx.limits_hit.names = true;
        return ArchiveExpansion::NoCommand;
    }
    d.name = n.value;
    const AppendResult r = ctx.catalog.append_dir(d);
    if (!r.ok()) {
        ctx.log.line("dir - error\r\n");
        ctx.limits_hit.dirs = true;
        return ArchiveExpansion::NoCommand;
    }
    const std::uint32_t index = r.value;

    const std::string target = make_target(ctx.paths.temp_dir, name);
    if (target.empty()) {
        ctx.catalog.drop_dirs_from(index);
        return ArchiveExpansion::NoCommand;
    }
    if (choice->own) {
        RunUserCommandIn(ctx, UserCommand::Own, path, target, output_cap(path));
    } else {
        run_choice(ctx, *choice, target, path);
    }

    if (d.comment <= COMMENT_ARCHIVE && any_description_setting(o)) {
        std::uint32_t found = 0;
        if (FindDescriptionInTree(ctx, target, found)) ctx.catalog.dirs()[index].comment = found;
    }
    const std::uint32_t files_before = ctx.catalog.file_count();
    const std::uint32_t files =
        ScanDirectory(ctx, target, index, archive_depth + 1, files_before, mp3);
    DeleteTree(ctx, target);
    RemoveWorkDirectory(ctx, target);
    if (files == 0) {
        // Nothing came out (or only empty folders): the archive is a file.
        ctx.catalog.drop_dirs_from(index);
        return ArchiveExpansion::NothingCameOut;
    }
    return ArchiveExpansion::Expanded;
}

bool ExtractDescriptionFromArchive(ScanContext& ctx, const std::string& dir, std::string_view name,
                                   std::uint32_t& comment) {
    if (name.empty() || ctx.paths.temp_dir.empty()) return false;
    ensure_packers_tested(ctx);
    const std::string path = join_path(dir, name);
    std::string scratch;
    const std::string_view shown = recorded_name(name, scratch);
    const ArchiveSignature sig = ClassifyArchive(path, 0, ClassifyMode::Description);
    const std::optional<Choice> choice = description_command(ctx, shown, path, sig, comment);
    if (!choice) return false;

    const std::string work = join_path(ctx.paths.temp_dir, kDescriptionDir);
    ::mkdir(work.c_str(), 0700);
    struct stat st {};
    if (::lstat(work.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    // Whatever an earlier run left there must not pass for this archive's.
    // With keep_expanded_files nothing is removed, so each archive then gets a
    // fresh directory of its own below it.
    std::string run_dir = work;
    if (!is_empty_directory(work)) {
        if (ctx.settings.options.keep_expanded_files) {
            run_dir = make_target(work, name);
            if (run_dir.empty()) return false;
        } else if (!DeleteTree(ctx, work)) {
            return false;
        }
    }

    if (run_choice(ctx, *choice, run_dir, path).run == CommandRun::NotStarted) return false;
    if (any_description_setting(ctx.settings.options)) FindDescriptionInTree(ctx, run_dir, comment);
    DeleteTree(ctx, run_dir);
    return true;
}

}  // namespace orbisto
