#include "archive/catalog_file_expand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string_view>
#include <vector>

#include "archive/archive_context.h"
#include "archive/archive_signature.h"
#include "archive/packer_process.h"
#include "archive/packer_table.h"
#include "catalog/catalog_context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "text/description_files.h"

namespace orbisto {

namespace {

// Name parts that mark a file as an archive worth offering.
constexpr std::string_view kArchiveNameParts[] = {".ZIP", ".ARJ", ".CAB", ".A0",  ".LHA",
                                                  ".LZH", ".RAR", ".UC2", ".EXE", ".TAR",
                                                  ".TGZ", ".GZ",  ".Z",   ".ZOO"};

// Used when the program of the chosen command line is not installed; it
// reads most of the formats and unpacks into its current directory.
constexpr const char* kUnarLine = "unar -q -f -D %s";

// Bytes read from the start of the file: enough for the tar mark at 257.
constexpr std::size_t kHeadBytes = 512;

struct Plan {
    const char* format = nullptr;  // shown in "no unpacker for …"; nullptr = not an archive
    std::string command;           // "" = no program for it on this platform
    ArgForm form = ArgForm::Archive;
};

bool name_has(std::string_view upper_name, std::string_view part) {
    return upper_name.find(part) != std::string_view::npos;
}

bool starts(std::string_view data, std::string_view magic) {
    return data.substr(0, magic.size()) == magic;
}

constexpr char kXzMagic[] = {'\xFD', '7', 'z', 'X', 'Z', '\0'};

// The compressed streams tar and the gzip readers take.
bool is_compressed_stream(std::string_view head) {
    return starts(head, "\x1F\x8B") || starts(head, "\x1F\x9D") || starts(head, "BZh") ||
           starts(head, std::string_view(kXzMagic, sizeof kXzMagic));
}

bool is_tar(std::string_view head) {
    return head.size() >= 262 && head.substr(257, 5) == "ustar";
}

// Chooses the packer: by the signature where the file has a known one (a
// program by the data appended to it), for tar and gzip by the name.
Plan choose(const PackerSettings& p, std::string_view upper_name, const std::string& path,
            std::string_view head) {
    if (is_tar(head) || (is_compressed_stream(head) &&
                         (name_has(upper_name, ".TAR") || name_has(upper_name, ".TGZ")))) {
        return {"TAR", p.untgz.command};
    }
    if (is_compressed_stream(head)) return {"GZ", p.ungz.command, ArgForm::ArchiveAndStem};

    const ArchiveSignature sig = ClassifyArchive(path, 0, ClassifyMode::FullExpansion);
    if (sig.is_lha()) return {"LHA", p.lha.command};
    switch (sig.type()) {
        case ArchiveType::ZIP:
            return {"ZIP", p.zip.command};
        case ArchiveType::ARJ:
            return {"ARJ", p.arj.command};
        case ArchiveType::ACE:
            return {"ACE", p.ace.command};
        case ArchiveType::RAR:
            return {"RAR", p.rar.command};
        case ArchiveType::ZOO:
            return {"ZOO", p.zoo.command};
        case ArchiveType::CAB:
        case ArchiveType::CabInProgram:
            return {"CAB", p.extract.command, ArgForm::TargetArchive};
        case ArchiveType::InstallShieldCab:
            return {"InstallShield", kUnshieldCommand, ArgForm::TargetArchive};
        case ArchiveType::UC2:
            return {"UC2", ""};
        case ArchiveType::I3COMP:
            return {"InstallShield 3", ""};
        case ArchiveType::Unknown:
        case ArchiveType::Program:
            break;
    }
    return {};
}

// Whether the program word of a command line can be started.
bool program_found(const ArchiveContext& ctx, const std::string& command) {
    const std::vector<std::string> words = SplitCommandWords(command);
    if (words.empty() || words[0].empty()) return false;
    if (words[0].find('/') != std::string::npos) return is_executable_file(words[0]);
    return FindPacker(ctx, words[0]) != 0;
}

// A new directory below `copy` for the stem: the stem itself, else the stem
// with its last character (all bytes of it, so the name stays valid UTF-8)
// replaced by ' ', '!', '"', … '~'. "" when none can be made.
std::string make_target(const std::string& copy, const std::string& stem) {
    const std::string first = join_path(copy, stem);
    if (::mkdir(first.c_str(), 0777) == 0) return first;
    if (errno != EEXIST) return {};
    std::size_t cut = stem.size() - 1;
    while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
    const std::string base = join_path(copy, stem.substr(0, cut));
    for (char c = ' '; c <= '~'; ++c) {
        if (c == '/') continue;
        const std::string target = base + c;
        if (::mkdir(target.c_str(), 0777) == 0) return target;
        if (errno != EEXIST) return {};
    }
    return {};
}

}  // namespace

CatalogFileExpansion ExpandCatalogFile(ArchiveContext& ctx, const std::string& path) {
    CatalogFileExpansion result;
    const auto fail = [&](std::string text) {
        result.error = std::move(text);
        return result;
    };

    std::error_code ec;
    // Links are resolved here, so the readers below, which never follow
    // one, see the archive itself.
    const std::string archive = std::filesystem::canonical(path, ec).string();
    struct stat st {};
    if (path.empty() || ec || ::stat(archive.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return fail(ctx.tr("Datei nicht gefunden", "file not found"));
    }
    const std::string name = file_part(archive);
    const std::string upper_name = upper_german(name);
    bool listed = false;
    for (std::string_view part : kArchiveNameParts) listed = listed || name_has(upper_name, part);
    if (!listed) return fail(ctx.tr("kein Archiv", "not an archive"));

    Plan plan = choose(ctx.settings.packer, upper_name, archive,
                       read_file_prefix(archive, kHeadBytes).value_or(""));
    if (!plan.format) return fail(ctx.tr("kein Archiv", "not an archive"));
    if (!plan.command.empty() && !program_found(ctx, plan.command)) {
        // The stand-in reader takes the formats whose own program is missing.
        plan.command = program_found(ctx, kUnarLine) ? kUnarLine : "";
        plan.form = ArgForm::Archive;
    }
    if (plan.command.empty()) {
        return fail(FillIn(ctx.tr("kein Packer für %s", "no unpacker for %s"), {plan.format}));
    }

    const std::string& copy_option = ctx.settings.options.copy_path;
    if (copy_option.empty()) {
        return fail(ctx.tr("kein Kopierverzeichnis eingestellt", "no copy directory set"));
    }
    const std::string copy = std::filesystem::absolute(copy_option, ec).string();
    if (ec || !is_directory(copy)) {
        return fail(FillIn(ctx.tr("Kopierverzeichnis %s fehlt", "copy directory %s missing"),
                           {copy_option}));
    }
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
    const std::string target = make_target(copy, stem);
    if (target.empty()) {
        return fail(FillIn(ctx.tr("Verzeichnis für %s kann nicht angelegt werden",
                                  "cannot create a directory for %s"),
                           {stem}));
    }

    PackerCall call;
    call.command = plan.command;
    call.args = PackerArgs(plan.form, target, archive);
    call.work_dir = target;
    call.shown_path = archive;
    call.keep_std_handles = true;
    call.no_time_limit = true;
    // No cap of its own: the run is only stopped before it fills the disk.
    call.max_output = std::numeric_limits<std::uint64_t>::max() / 2;
    const PackerResult run = RunPacker(ctx, call);
    result.exit_code = run.run == CommandRun::Finished ? run.exit_code : -1;

    // An empty directory is no use to anyone; what did come out is kept.
    const bool empty = is_empty_directory(target);
    if (empty) ::rmdir(target.c_str());
    if (!empty) result.target = target;
    if (run.run == CommandRun::NotStarted) {
        return fail(FillIn(ctx.tr("%s konnte nicht gestartet werden", "%s could not be started"),
                           {SplitCommandWords(plan.command).front()}));
    }
    if (run.aborted) return fail(ctx.tr("Entpacken abgebrochen", "unpacking aborted"));
    if (run.too_large)
        return fail(ctx.tr("Entpacken abgebrochen: Platte fast voll",
                           "unpacking stopped: disk almost full"));
    if (empty) return fail(ctx.tr("nichts entpackt", "nothing unpacked"));
    return result;
}

}  // namespace orbisto
