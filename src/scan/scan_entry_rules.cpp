#include "scan/scan_entry_rules.h"

#include <array>
#include <cstdio>

#include "platform/codepage.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

constexpr std::array<std::string_view, 31> kArchiveExtensions = {
    ".ZIP", ".7z", ".BZ2", ".CPIO", ".RPM", ".MSI", ".DEB", ".SXW", ".ACE", ".ARJ", ".A0",
    ".A1",  ".A2", ".CAB", ".LHA",  ".LZH", ".RAR", ".UC2", ".EXE", ".TAR", ".TGZ", ".GZ",
    ".Z",   ".1",  ".2",   ".3",    ".4",   ".5",   ".HQX", ".SIT", ".ZOO"};

bool ends_with_archive_extension(std::string_view name, bool exe) {
    for (const std::string_view ext : kArchiveExtensions) {
        if (!exe && ext == ".EXE") continue;
        if (ends_with_ci(name, ext)) return true;
    }
    return false;
}

}  // namespace

bool is_expandable_archive(std::string_view name, std::string_view own_ext) {
    return ends_with_archive_extension(name, true) ||
           (!own_ext.empty() && extension_in_list(own_ext, name));
}

bool may_hold_description(std::string_view name, bool exe) {
    return ends_with_archive_extension(name, exe);
}

bool lists_kill_file(const std::vector<ListedEntry>& entries,
                     const std::vector<std::string>& kill_files) {
    if (kill_files.empty()) return false;
    for (const ListedEntry& e : entries) {
        for (const std::string& kill : kill_files) {
            if (kill.size() == e.name.size() && EqualsCI(kill, e.name)) return true;
        }
    }
    return false;
}

std::string mp3_summary_comment(const Mp3Totals& mp3) {
    if (mp3.count == 0) return {};
    const std::uint64_t s = mp3.seconds;
    char buf[128];
    std::snprintf(
        buf, sizeof buf, "MP3-Anzahl:%u L\xC3\xA4nge:%2llu:%02llu:%02llu Bitrate:%llu KBit",
        mp3.count, static_cast<unsigned long long>(s / 3600),
        static_cast<unsigned long long>((s % 3600) / 60), static_cast<unsigned long long>(s % 60),
        static_cast<unsigned long long>(mp3.bitrate_sum / mp3.count));
    return buf;
}

std::string_view recorded_name(std::string_view raw, std::string& scratch) {
    if (is_valid_utf8(raw)) return raw;
    scratch = cp1252_to_utf8(raw);
    return scratch;
}

bool any_description_setting(const Options& o) {
    if (o.use_file_id_diz || o.use_etx) return true;
    for (int s : o.own_descriptions) {
        if (s) return true;
    }
    return false;
}

}  // namespace orbisto
