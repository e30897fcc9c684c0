#include <cstdio>
#include <string_view>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

// The comments are looked for in this many bytes at the start of the file.
constexpr std::size_t kOggHead = 2048;
// A value ends after this many bytes, or before a control byte or one of
// 0x80 and above.
constexpr std::size_t kOggValueMax = 100;

struct OggKey {
    std::string_view key;  // upper case
    const char* label;     // the same in both languages
};

constexpr OggKey kOggKeys[] = {
    {"ARTIST=", " Artist:"}, {"ALBUM=", " Album:"},     {"TITLE=", " Titel:"},
    {"DATE=", " Jahr:"},     {"GENRE=", " Kategorie:"}, {"COMMENT=", " Kommentar:"},
};

// Where the key first occurs in the bytes, in any case; npos when it does not.
std::size_t ogg_find(std::span<const std::uint8_t> data, std::string_view key) {
    for (std::size_t i = 0; i + key.size() <= data.size(); ++i) {
        std::size_t k = 0;
        while (k < key.size() &&
               upper_german_ascii(data[i + k]) == static_cast<unsigned char>(key[k]))
            ++k;
        if (k == key.size()) return i;
    }
    return std::string_view::npos;
}

std::string ogg_value(std::span<const std::uint8_t> data, std::size_t from) {
    ByteReader r(data);
    r.seek(from);
    std::string value;
    while (value.size() < kOggValueMax && r.remaining() > 0) {
        const std::uint8_t b = r.u8();
        if (b < 0x20 || b >= 0x80) break;
        value.push_back(static_cast<char>(b));
    }
    return value;
}

}  // namespace

int ExtractOgg(FileInfoJob& job) {
    std::vector<std::uint8_t> head;
    if (!job.file.read_exact(0, kOggHead, head)) return 0;
    FileInfoResult& r = job.result;
    r.scratch_text.clear();
    bool found = false;
    if (ogg_find(std::span(head).first(4), "OGGS") == 0) {
        for (const OggKey& k : kOggKeys) {
            const std::size_t at = ogg_find(head, k.key);
            if (at == std::string_view::npos) continue;
            // Values stop at the first byte outside printable ASCII, so the
            // text stays ASCII and the UTF-8 "ä" below keeps it valid UTF-8.
            r.scratch_text += k.label + ogg_value(head, at + k.key.size()) + "\r\n";
            found = true;
        }
    }
    // The playing time comes from the multimedia service, whatever the bytes say.
    if (MciLength(job)) {
        const int t = r.length_tenths;
        const int minutes = (t % 36000) / 600;
        char line[64];
        std::snprintf(line, sizeof line, "\r\n%s:%02d:%02d:%02d,%01d",
                      job.english() ? "length" : "Länge", t / 36000, minutes,
                      (t % 36000 - minutes * 600) / 10, (t % 36000 - minutes * 600) % 10);
        r.scratch_text += line;
        found = true;
    }
    return found ? 1 : 0;
}

}  // namespace orbisto
