// Declared in extractors.h: the version resource of a program as text.
#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <string_view>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/pe_reader.h"
#include "fileinfo/utf16_text.h"
#include "platform/byte_io.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

// More of a version resource is never read.
constexpr std::uint32_t kVersionMaxBytes = 66000;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoBytes = 52;

// The string tables tried, in this order; the first that has a company name
// is used.
constexpr std::array<std::string_view, 4> kVersionTables = {"040904E4", "040704E4", "040904B0",
                                                            "040704B0"};

struct VersionLabel {
    std::string_view key;
    std::string_view label;
};
constexpr std::array<VersionLabel, 3> kVersionLabels = {{
    {"ProductName", "\r\nProduct:"},
    {"FileDescription", "\r\nDescription:"},
    {"Comments", "\r\nComment:"},
}};

std::size_t version_align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

// One block of a version resource: a length, a value length, (32-bit
// programs: a type,) a key, the value and the child blocks, each part
// aligned to four bytes from the resource's start.
struct VersionBlock {
    std::size_t end = 0;  // one past the block, inside its parent
    std::u16string key;
    std::uint16_t value_length = 0;  // as stored: characters of text or bytes
    std::size_t value_at = 0;
    std::size_t value_end = 0;
    std::size_t children_at = 0;
};

// The resource bytes, UTF-16 (32-bit programs) or 8-bit (16-bit programs).
class VersionResource {
  public:
    VersionResource(std::span<const std::uint8_t> data, bool wide) : data_(data), wide_(wide) {}

    std::optional<VersionBlock> root() const { return block_at(0, data_.size()); }

    // The child of `parent` whose key matches, compared without case as
    // Windows compares them.
    std::optional<VersionBlock> child(const VersionBlock& parent, std::string_view key) const {
        std::size_t at = parent.children_at;
        while (at < parent.end) {
            const std::optional<VersionBlock> b = block_at(at, parent.end);
            if (!b) return {};
            if (version_key_equal(b->key, key)) return b;
            at = version_align4(b->end);  // every block is longer than zero bytes
        }
        return {};
    }

    // The text value of a block up to its NUL: UTF-8 for a 32-bit program,
    // the 8-bit bytes of a 16-bit one; `units` gets its length in characters.
    std::string text(const VersionBlock& b, std::size_t& units) const {
        const auto bytes = data_.subspan(b.value_at, b.value_end - b.value_at);
        if (wide_) {
            units = utf16_length(bytes, false);
            return utf16_to_utf8(bytes, false);
        }
        const auto* p = reinterpret_cast<const char*>(bytes.data());
        units = strnlen(p, bytes.size());
        return std::string(p, units);
    }

    std::span<const std::uint8_t> value(const VersionBlock& b) const {
        return data_.subspan(b.value_at, b.value_end - b.value_at);
    }

  private:
    static bool version_key_equal(const std::u16string& a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const char16_t x = a[i] >= u'a' && a[i] <= u'z' ? a[i] - 32 : a[i];
            const char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
            if (x != static_cast<unsigned char>(y)) return false;
        }
        return true;
    }

    std::optional<VersionBlock> block_at(std::size_t at, std::size_t limit) const {
        ByteReader r(data_.first(limit));
        r.seek(at);
        const std::uint16_t length = r.u16le();
        VersionBlock b;
        b.value_length = r.u16le();
        const std::uint16_t type = wide_ ? r.u16le() : 0;
        if (!r.ok() || length <= r.pos() - at) return {};
        // A block that claims more than its parent holds ends with the parent.
        b.end = std::min<std::size_t>(at + length, limit);
        ByteReader k(data_.first(b.end));
        k.seek(r.pos());
        for (;;) {
            const std::uint16_t c = wide_ ? k.u16le() : k.u8();
            if (!k.ok()) return {};
            if (c == 0) break;
            b.key += static_cast<char16_t>(c);
        }
        b.value_at = std::min(version_align4(k.pos()), b.end);
        const std::size_t value_bytes =
            wide_ && type == 1 ? std::size_t{b.value_length} * 2 : b.value_length;
        b.value_end = std::min(b.value_at + value_bytes, b.end);
        b.children_at = version_align4(b.value_at + value_bytes);
        return b;
    }

    std::span<const std::uint8_t> data_;
    bool wide_;
};

}  // namespace

int ExtractVersionText(FileInfoJob& job, std::string& out, int budget) {
    out.clear();
    const ExeHeader exe = read_exe_header(job.file);
    const std::optional<ResourceSpan> span = find_version_resource(job.file, exe);
    if (!span || span->size == 0) return 0;
    std::vector<std::uint8_t> data;
    if (!job.file.read_exact(span->offset, std::min(span->size, kVersionMaxBytes), data)) return 0;
    const VersionResource resource(data, exe.kind == ExeKind::Pe);
    const std::optional<VersionBlock> root = resource.root();
    if (!root) return 0;

    // The fixed part: the file version, high word first of each half.
    const auto fixed = resource.value(*root);
    if (fixed.size() >= kFixedInfoBytes) {
        ByteReader f(fixed);
        const std::uint32_t signature = f.u32le();
        f.skip(4);
        const std::uint32_t high = f.u32le();
        const std::uint32_t low = f.u32le();
        if (signature == kFixedInfoSignature) {
            char line[64];
            std::snprintf(line, sizeof line,
                          job.english() ? "version:%u.%u.%u.%u" : "Version:%u.%u.%u.%u", high >> 16,
                          high & 0xFFFF, low >> 16, low & 0xFFFF);
            out = line;
            job.result.version_found = true;
        }
    }

    std::optional<VersionBlock> table, company;
    if (const auto files = resource.child(*root, "StringFileInfo")) {
        for (const std::string_view code : kVersionTables) {
            table = resource.child(*files, code);
            if (table && (company = resource.child(*table, "CompanyName"))) break;
        }
    }
    if (!company) return 0;

    // The values share a budget of characters; the first that does not fit
    // ends the text.
    std::size_t units = 0;
    const std::string company_name = resource.text(*company, units);
    long remaining = static_cast<long>(budget) - static_cast<long>(units);
    if (remaining >= 0) {
        out += "\r\nCompany:";
        out += company_name;
        bool complete = true;
        for (const VersionLabel& l : kVersionLabels) {
            const std::optional<VersionBlock> v = resource.child(*table, l.key);
            if (!v || v->value_length == 0) continue;
            const std::string value = resource.text(*v, units);
            remaining -= static_cast<long>(units);
            if (remaining < 0) {
                complete = false;
                break;
            }
            out += l.label;
            out += value;
        }
        if (complete) out += "\r\n";
    }
    NormaliseBlanks(out);
    return 1;
}

}  // namespace orbisto
