// Archive recognition by signature: the first words of the file or of the data
// appended to a program, a ZIP end record near the end, and the marks of a
// cabinet or IExpress package inside a program.
#include "archive/archive_signature.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::size_t kSignatureBytes = 6;
constexpr std::uint64_t kPageBytes = 512;
constexpr std::string_view kZipEndRecord{"PK\x05\x06", 4};
constexpr std::string_view kCabinetMark{"MSCF"};
constexpr std::string_view kIExpressMark{"WEXTRACT"};
// The header mark ARJ itself writes (60 EA), taken as ARJ beside C0 AB.
constexpr std::uint16_t kArjHeaderMark = 0xEA60;

// The three words of up to 6 bytes; missing bytes count as 0.
ArchiveSignature words_of(std::string_view bytes) {
    char padded[kSignatureBytes] = {};
    bytes.copy(padded, kSignatureBytes);
    ByteReader r(padded, sizeof padded);
    ArchiveSignature sig;
    for (auto& w : sig.word) w = r.u16le();
    if (sig.word[0] == kArjHeaderMark) sig.word[0] = static_cast<std::uint16_t>(ArchiveType::ARJ);
    // The inside-a-program marker is only ever set here, never read.
    if (sig.is(ArchiveType::CabInProgram)) sig.word[0] = 0;
    return sig;
}

// Where the data appended to a program start, from the page count (word 3)
// and the bytes used in the last page (word 2, 0 meaning a full page). A
// page count of 0 describes no program at all and gives no offset.
std::optional<std::uint64_t> appended_offset(const ArchiveSignature& mz) {
    if (mz.word[2] == 0) return std::nullopt;
    const std::uint64_t last_page = mz.word[1] == 0 ? kPageBytes : mz.word[1];
    return (mz.word[2] - 1) * kPageBytes + last_page;
}

bool has_zip_end_record(const ByteSource& source) {
    const std::uint64_t size = source.size();
    const std::uint64_t from = size > kZipEndSearchBytes ? size - kZipEndSearchBytes : 0;
    return source.read(from, kZipEndSearchBytes).find(kZipEndRecord) != std::string::npos;
}

bool has_program_package_mark(const ByteSource& source, std::uint64_t data_start,
                              ClassifyMode mode) {
    if (mode == ClassifyMode::FullExpansion) {
        const std::string window = source.read(data_start, kFullSearchBytes);
        return window.find(kCabinetMark) != std::string::npos ||
               window.find(kIExpressMark) != std::string::npos;
    }
    const std::string window = source.read(kDescriptionSearchOffset, kDescriptionSearchBytes);
    return window.find(kIExpressMark) != std::string::npos;
}

// Regular files read with pread; every read is bounded by its request.
class FileSource : public ByteSource {
  public:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::string read(std::uint64_t offset, std::size_t n) const override {
        std::string out;
        if (offset >= size_) return out;
        out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset)));
        std::size_t got = 0;
        while (got < out.size()) {
            const ssize_t r =
                ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;  // the file shrank or cannot be read: what we have
            got += static_cast<std::size_t>(r);
        }
        out.resize(got);
        return out;
    }

  private:
    int fd_;
    std::uint64_t size_;
};

}  // namespace

bool ArchiveSignature::known() const {
    if (is_lha()) return true;
    switch (type()) {
        case ArchiveType::ZIP:
        case ArchiveType::ARJ:
        case ArchiveType::ACE:
        case ArchiveType::RAR:
        case ArchiveType::UC2:
        case ArchiveType::ZOO:
        case ArchiveType::I3COMP:
        case ArchiveType::CAB:
        case ArchiveType::InstallShieldCab:
        case ArchiveType::CabInProgram:
            return true;
        default:
            return false;
    }
}

std::string MemoryByteSource::read(std::uint64_t offset, std::size_t n) const {
    if (offset >= data_.size()) return {};
    return std::string(data_.substr(static_cast<std::size_t>(offset), n));
}

ArchiveSignature ClassifyArchiveSource(const ByteSource& source, ClassifyMode mode) {
    ArchiveSignature sig = words_of(source.read(0, kSignatureBytes));
    std::uint64_t data_start = 0;
    bool in_program = false;
    if (sig.is(ArchiveType::Program)) {
        const auto offset = appended_offset(sig);
        if (offset && *offset < source.size()) {
            data_start = *offset;
            in_program = true;
            sig = words_of(source.read(data_start, kSignatureBytes));
        } else {
            sig = ArchiveSignature{};  // a header pointing nowhere: nothing appended
        }
    }
    if (!sig.known() && has_zip_end_record(source)) {
        sig.word[0] = static_cast<std::uint16_t>(ArchiveType::ZIP);
    }
    // Only a cabinet appended to a program is one inside a program; a plain
    // cabinet file stays a cabinet, which the cabinet tools unpack directly.
    if (mode == ClassifyMode::FullExpansion && in_program && sig.is(ArchiveType::CAB)) {
        sig.word[0] = static_cast<std::uint16_t>(ArchiveType::CabInProgram);
    }
    if (!sig.known() && has_program_package_mark(source, data_start, mode)) {
        sig.word[0] = static_cast<std::uint16_t>(ArchiveType::CabInProgram);
    }
    return sig;
}

ArchiveSignature ClassifyArchiveBytes(std::string_view data, ClassifyMode mode) {
    return ClassifyArchiveSource(MemoryByteSource(data), mode);
}

ArchiveSignature ClassifyArchive(const std::string& path, std::uint64_t size, ClassifyMode mode) {
    // O_NOFOLLOW and O_NONBLOCK: a link or a FIFO put in the file's place
    // after the listing is neither followed nor waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    ArchiveSignature sig;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const auto present = static_cast<std::uint64_t>(st.st_size > 0 ? st.st_size : 0);
        (void)size;  // the present size is the one the reads must match
        sig = ClassifyArchiveSource(FileSource(fd, present), mode);
    }
    ::close(fd);
    return sig;
}

namespace {

bool ends_with_ci(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size()) return false;
    const std::string_view tail = name.substr(name.size() - ending.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = tail[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != ending[i]) return false;
    }
    return true;
}

}  // namespace

bool IsClassifiedArchiveName(const Options& o, std::string_view name) {
    if (o.use_exe && ends_with_ci(name, ".EXE")) return true;
    if (o.use_compress || o.use_gz) {
        for (std::string_view e : {".Z", ".1", ".2", ".3", ".4", ".5"}) {
            if (ends_with_ci(name, e)) return true;
        }
    }
    return (o.use_compress || o.use_extract) && ends_with_ci(name, ".CAB");
}

}  // namespace orbisto
