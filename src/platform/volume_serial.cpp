// Volume serial numbers and labels: from file-system UUIDs, from the names in
// /dev/disk/by-label, and from the primary volume descriptor of a CD.
//
// Declared in platform/volumes.h (with the drive table that uses them).
#include <array>

#include "platform/byte_io.h"
#include "platform/codepage.h"
#include "platform/volumes.h"

namespace orbisto {

std::string unescape_by_label(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int hi = hex_digit_value(name[i + 2]);
            const int lo = hex_digit_value(name[i + 3]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

std::optional<std::uint32_t> serial_from_uuid(std::string_view uuid) {
    std::uint32_t value = 0;
    int digits = 0;
    for (char c : uuid) {
        if (digits == 8) break;
        if (c == '-') continue;
        const int v = hex_digit_value(c);
        if (v < 0) break;
        value = value << 4 | static_cast<std::uint32_t>(v);
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
}

bool is_iso_primary_descriptor(std::span<const std::uint8_t> pvd) {
    if (pvd.size() != kIsoSectorSize) return false;
    ByteReader r(pvd);
    const std::uint8_t type = r.u8();
    const std::string id = r.fixed_string(5);
    return type == 1 && id == "CD001";
}

std::optional<std::uint32_t> iso_volume_serial(std::span<const std::uint8_t> pvd) {
    if (pvd.size() != kIsoSectorSize) return std::nullopt;
    // Each lane is one byte wide and wraps on its own; this is what makes the
    // serial match the one the disc shows on Windows.
    std::array<std::uint8_t, 4> lane{};
    for (size_t i = 0; i < pvd.size(); ++i)
        lane[i % 4] = static_cast<std::uint8_t>(lane[i % 4] + pvd[i]);
    return std::uint32_t{lane[0]} << 24 | std::uint32_t{lane[1]} << 16 |
           std::uint32_t{lane[2]} << 8 | std::uint32_t{lane[3]};
}

std::string iso_volume_label(std::span<const std::uint8_t> pvd) {
    ByteReader r(pvd);
    if (!r.seek(40) || !r.has(32)) return {};
    std::string label = r.fixed_string(32);
    while (!label.empty() && label.back() == ' ') label.pop_back();
    return label;
}

}  // namespace orbisto
