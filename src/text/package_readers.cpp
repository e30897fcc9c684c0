// The readers of package descriptions called by the walk and the packer
// layer: ZIP comments, RPM and LSM descriptions, INDEX files and the text of
// the user's info command.
#include "text/package_readers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "catalog/catalog_context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "text/description_text.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Bytes a description may be read with: max_description_bytes, never more than the pool
// can still take.
std::size_t read_limit(const CatalogContext& ctx) {
    const int max_size = ctx.settings.options.max_description_bytes;
    const std::size_t limit = max_size > 0 ? static_cast<std::size_t>(max_size) : 0;
    return std::min(limit, comment_room(ctx.catalog));
}

// A ZIP comment or RPM description of this many characters or fewer, once
// cleaned, says nothing.
constexpr std::size_t kMinPackageCharacters = 4;

bool umlaut(const CatalogContext& ctx) {
    return ctx.settings.options.convert_dos_text;
}

// The checks and clean-up of texts that come from inside packages: used
// only when they look like text and keep more than `min_characters`.
bool set_cleaned_comment(CatalogContext& ctx, std::string text, std::uint32_t& comment,
                         std::size_t min_characters) {
    if (!LooksLikeText(text)) return false;
    OemToAnsiIfNeeded(text, umlaut(ctx));
    ApplyCleanUp(text, CleanUp::Full);
    if (text_characters(text) <= min_characters) return false;
    return set_description_comment(ctx, text, comment);
}

// The description text of the RPM package at `path`; nothing when the file
// cannot be opened, an empty text when it has none. A damaged header is
// reported in the status bar.
std::optional<std::string> read_rpm_description(CatalogContext& ctx, const std::string& path) {
    const auto head = read_file_part(path, 0, kRpmHeadBytes);
    if (!head) return std::nullopt;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(head->bytes.data());
    const RpmDescription d = rpm_description_offset({bytes, head->bytes.size()}, head->file_size);
    if (d.status == RpmStatus::Damaged) ctx.status("RPM defekt?");
    if (d.status != RpmStatus::Found) return std::string();
    const std::size_t max =
        static_cast<std::size_t>(std::min<std::uint64_t>(read_limit(ctx), d.end - d.offset));
    const auto raw = read_file_part(path, d.offset, max);
    if (!raw) return std::string();
    return rpm_description_text(raw->bytes);
}

}  // namespace

std::optional<FilePart> read_file_part(const std::string& path, std::uint64_t offset,
                                       std::size_t max, bool from_end) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return std::nullopt;
    struct stat st {};
    // Only regular files: a pipe or device under a package's name would block.
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    FilePart part;
    part.file_size = static_cast<std::uint64_t>(st.st_size);
    if (from_end) offset = part.file_size - std::min<std::uint64_t>(part.file_size, max);
    if (offset >= part.file_size) return part;
    const std::uint64_t left = part.file_size - offset;
    part.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, max)));
    std::size_t got = 0;
    while (got < part.bytes.size()) {
        const ssize_t n = ::pread(fd.get(), part.bytes.data() + got, part.bytes.size() - got,
                                  static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;  // the file shrank while being read
        got += static_cast<std::size_t>(n);
    }
    part.bytes.resize(got);
    return part;
}

std::size_t text_characters(std::string_view text) {
    if (!is_valid_utf8(text)) return text.size();
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool ReadZipComment(CatalogContext& ctx, const std::string& path, std::uint32_t& comment) {
    const auto tail = read_file_part(path, 0, kZipTailBytes, true);
    if (!tail) return false;
    const auto text = zip_comment_of(tail->bytes);
    if (!text) return false;
    return set_cleaned_comment(ctx, std::string(*text), comment, kMinPackageCharacters);
}

bool ReadRpmComment(CatalogContext& ctx, std::uint32_t& comment, const std::string& path) {
    auto text = read_rpm_description(ctx, path);
    if (!text) return false;
    OemToAnsiIfNeeded(*text, umlaut(ctx));
    set_description_comment(ctx, *text, comment);
    return true;
}

bool ReadRpmDescriptionInto(CatalogContext& ctx, const std::string& path, std::uint32_t& comment) {
    auto text = read_rpm_description(ctx, path);
    if (!text) return false;
    return set_cleaned_comment(ctx, std::move(*text), comment, kMinPackageCharacters);
}

std::string lsm_description(std::string_view text) {
    // Only what lies before a NUL counts, as in a NUL-terminated buffer.
    text = text.substr(0, text.find('\0'));
    static constexpr std::array<std::string_view, 5> kKeys{"Desc1", "Desc2", "Desc3", "Desc4",
                                                           "Desc5"};
    std::string joined;
    for (const std::string_view key : kKeys) {
        const std::size_t at = text.find(key);
        if (at == std::string_view::npos) continue;
        const std::size_t eq = text.find('=', at + key.size());
        if (eq == std::string_view::npos) continue;
        const std::string_view rest = text.substr(eq + 1);
        joined.append(rest.substr(0, rest.find_first_of("\r\n")));
    }
    return joined;
}

void ReadLsmComment(CatalogContext& ctx, std::uint32_t& comment, const std::string& path) {
    const int max_size = ctx.settings.options.max_description_bytes;
    const auto file =
        read_file_part(path, 0, max_size > 0 ? static_cast<std::size_t>(max_size) : 0);
    if (!file) return;
    std::string text = lsm_description(file->bytes);
    if (text.empty()) return;
    OemToAnsiIfNeeded(text, umlaut(ctx));
    set_description_comment(ctx, text, comment);
}

void ReadIndexComment(CatalogContext& ctx, std::uint32_t& comment, const std::string& dir) {
    // Media copied from elsewhere may spell the name in any case.
    const auto path = find_case_insensitive(dir, "INDEX");
    if (!path) return;
    const auto file = read_file_part(*path, 0, read_limit(ctx));
    if (!file) return;
    const std::string_view raw = file->bytes;
    std::string text;
    text.reserve(raw.size() + raw.size() / 16);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        // Unix line ends become CR LF; lines that already end in CR LF stay.
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) text.push_back('\r');
        text.push_back(raw[i]);
    }
    OemToAnsiIfNeeded(text, umlaut(ctx));
    set_description_comment(ctx, text, comment);
}

void ReadInfoFile(CatalogContext& ctx, std::uint32_t& comment) {
    if (ctx.paths.temp_dir.empty()) return;
    const auto found = find_case_insensitive(ctx.paths.temp_dir, "ORBISTO.INFO");
    if (!found) return;
    const std::string& path = *found;
    if (const auto file = read_file_part(path, 0, read_limit(ctx)); file && !file->bytes.empty())
        set_cleaned_comment(ctx, file->bytes, comment, 0);
    // The next info command must not find this text again.
    ::unlink(path.c_str());
}

}  // namespace orbisto
