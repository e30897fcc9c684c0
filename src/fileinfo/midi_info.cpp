// MIDI (.mid, and .rmi: a RIFF "RMID" file holding one): the playing time
// worked out from the Standard MIDI File itself, and the copyright text.
// Declared in extractors.h.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

// The whole file is read at once; songs are small, and anything above this
// is not a MIDI file worth the memory (16 MiB).
constexpr std::uint64_t kMidiMaxFileBytes = 16u << 20;
// At most this much of the copyright text is kept.
constexpr std::size_t kMidiCopyrightMax = 4040;
// Microseconds per quarter note until the first tempo event (120 bpm).
constexpr std::uint32_t kMidiDefaultTempo = 500000;

struct MidiTempo {
    std::uint64_t tick;
    std::uint32_t us_per_quarter;
};

struct MidiTrack {
    std::uint64_t end_tick = 0;  // its End of Track, or its last event
    std::vector<MidiTempo> tempos;
};

struct MidiSong {
    std::uint16_t format = 0;
    std::uint16_t division = 0;
    std::vector<MidiTrack> tracks;
    bool copyright_found = false;
    std::string copyright;
};

std::string_view midi_tag(std::span<const std::uint8_t> four) {
    return {reinterpret_cast<const char*>(four.data()), four.size()};
}

// A variable-length quantity: seven bits a byte, high bit set on all but the
// last, at most four bytes.
bool midi_vlq(ByteReader& in, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t b = in.u8();
        if (!in.ok()) return false;
        value = (value << 7) | (b & 0x7Fu);
        if (!(b & 0x80u)) return true;
    }
    return false;
}

// The data bytes of a channel message of this status.
std::size_t midi_channel_data_bytes(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Walks one track's events; false when they run past the chunk or are not
// MIDI. Running status survives meta and system-exclusive events, which
// some writers rely on.
bool midi_read_track(std::span<const std::uint8_t> chunk, bool first, MidiSong& song,
                     MidiTrack& track) {
    ByteReader in(chunk);
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (in.remaining() > 0) {
        std::uint32_t delta = 0;
        if (!midi_vlq(in, delta)) return false;
        tick += delta;
        const std::uint8_t b = in.u8();
        if (!in.ok()) return false;
        if (b == 0xFF) {
            const std::uint8_t type = in.u8();
            std::uint32_t length = 0;
            if (!in.ok() || !midi_vlq(in, length)) return false;
            const std::span<const std::uint8_t> data = in.bytes(length);
            if (!in.ok()) return false;
            if (type == 0x2F) {  // End of Track: what follows in the chunk is not played
                track.end_tick = tick;
                return true;
            }
            if (type == 0x51 && length == 3) {
                track.tempos.push_back({tick, (std::uint32_t{data[0]} << 16) |
                                                  (std::uint32_t{data[1]} << 8) | data[2]});
            } else if (type == 0x02 && first && !song.copyright_found) {
                song.copyright_found = true;
                ByteReader text(data.first(std::min(data.size(), kMidiCopyrightMax)));
                song.copyright = text.fixed_string(text.size());
            }
        } else if (b == 0xF0 || b == 0xF7) {
            std::uint32_t length = 0;
            if (!midi_vlq(in, length) || !in.skip(length)) return false;
        } else if (b >= 0xF0) {
            return false;  // system common and real-time messages have no place in a file
        } else if (b & 0x80u) {
            running = b;
            if (!in.skip(midi_channel_data_bytes(b))) return false;
        } else {
            // Running status: b is the first data byte of a repeated status.
            if (!running || !in.skip(midi_channel_data_bytes(running) - 1)) return false;
        }
        track.end_tick = tick;
    }
    return true;
}

// The Standard MIDI File in the file: all of it, or the "data" chunk of a
// RIFF "RMID" file. Empty when neither.
std::span<const std::uint8_t> midi_find_smf(std::span<const std::uint8_t> file) {
    ByteReader in(file);
    const std::string_view tag = midi_tag(in.bytes(4));
    if (tag == "MThd") return file;
    if (tag != "RIFF") return {};
    in.skip(4);  // the RIFF length; the chunks are walked within the file instead
    if (midi_tag(in.bytes(4)) != "RMID") return {};
    while (in.ok() && in.remaining() >= 8) {
        const std::string_view id = midi_tag(in.bytes(4));
        const std::uint32_t length = in.u32le();
        if (id == "data") {
            const std::span<const std::uint8_t> data = in.bytes(length);
            return in.ok() ? data : std::span<const std::uint8_t>();
        }
        in.skip(std::size_t{length} + (length & 1u));  // chunks are padded to even lengths
    }
    return {};
}

// Reads the header and every announced track; false for anything else than
// a complete song of format 0, 1 or 2.
bool midi_read_song(std::span<const std::uint8_t> smf, MidiSong& song) {
    ByteReader in(smf);
    if (midi_tag(in.bytes(4)) != "MThd") return false;
    const std::uint32_t header_length = in.u32be();
    if (!in.ok() || header_length < 6 || header_length > in.remaining()) return false;
    ByteReader header(in.bytes(header_length));
    song.format = header.u16be();
    const std::uint16_t track_count = header.u16be();
    song.division = header.u16be();
    if (song.format > 2 || track_count == 0 || song.division == 0) return false;
    while (song.tracks.size() < track_count) {
        // A song that ends before its last announced track is cut off.
        if (in.remaining() < 8) return false;
        const std::string_view id = midi_tag(in.bytes(4));
        const std::uint32_t length = in.u32be();
        const std::span<const std::uint8_t> chunk = in.bytes(length);
        if (!in.ok()) return false;
        if (id != "MTrk") continue;  // chunks of other kinds are skipped
        MidiTrack& track = song.tracks.emplace_back();
        if (!midi_read_track(chunk, song.tracks.size() == 1, song, track)) return false;
    }
    return true;
}

// a * b + sum, saturating at the largest value.
std::uint64_t midi_add_product(std::uint64_t sum, std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product) || __builtin_add_overflow(sum, product, &sum)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return sum;
}

// Microseconds from the start to end_tick, times the ticks per quarter note,
// through a tempo map sorted by tick.
std::uint64_t midi_scaled_us(const std::vector<MidiTempo>& tempos, std::uint64_t end_tick) {
    std::uint64_t sum = 0, at = 0;
    std::uint32_t tempo = kMidiDefaultTempo;
    for (const MidiTempo& t : tempos) {
        if (t.tick >= end_tick) break;
        sum = midi_add_product(sum, t.tick - at, tempo);
        at = t.tick;
        tempo = t.us_per_quarter;
    }
    return midi_add_product(sum, end_tick - at, tempo);
}

// The playing time in milliseconds.
std::uint64_t midi_song_ms(const MidiSong& song) {
    if (song.division & 0x8000u) {
        // Time code: frames per second (negative, 29 standing for 29.97) and
        // ticks per frame; tempo events do not apply.
        const int fps = -static_cast<std::int8_t>(song.division >> 8);
        const unsigned ticks_per_frame = song.division & 0xFFu;
        if (fps <= 0 || ticks_per_frame == 0) return 0;
        std::uint64_t end = 0;
        for (const MidiTrack& t : song.tracks) end = std::max(end, t.end_tick);
        const std::uint64_t per_hundred_s = std::uint64_t{ticks_per_frame} *
                                            (fps == 29 ? 2997u : static_cast<unsigned>(fps) * 100u);
        return midi_add_product(0, end, 100000) / per_hundred_s;
    }
    const std::uint64_t ticks_per_quarter = song.division;
    if (song.format == 2) {
        // Each track is a song of its own with its own tempo map: the file
        // lasts as long as its longest one.
        std::uint64_t longest = 0;
        for (const MidiTrack& t : song.tracks) {
            longest = std::max(longest, midi_scaled_us(t.tempos, t.end_tick));
        }
        return longest / ticks_per_quarter / 1000;
    }
    // The tracks play together under one tempo map, whichever track holds
    // the tempo events; at equal ticks the later track's event wins.
    std::vector<MidiTempo> tempos;
    std::uint64_t end = 0;
    for (const MidiTrack& t : song.tracks) {
        tempos.insert(tempos.end(), t.tempos.begin(), t.tempos.end());
        end = std::max(end, t.end_tick);
    }
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const MidiTempo& a, const MidiTempo& b) { return a.tick < b.tick; });
    return midi_scaled_us(tempos, end) / ticks_per_quarter / 1000;
}

}  // namespace

int ExtractMidi(FileInfoJob& job) {
    // Switched off with the multimedia service, as where a sequencer times
    // the song: catalogues made with the same settings agree.
    if (job.options.no_mci) return 0;
    const std::uint64_t size = job.file.size();
    if (size > kMidiMaxFileBytes) return 0;
    std::vector<std::uint8_t> file;
    if (!job.file.read_exact(0, static_cast<std::size_t>(size), file)) return 0;
    MidiSong song;
    if (!midi_read_song(midi_find_smf(file), song)) return 0;
    const std::uint64_t tenths = midi_song_ms(song) / 100;
    job.result.length_tenths = static_cast<std::int32_t>(
        std::min<std::uint64_t>(tenths, std::numeric_limits<std::int32_t>::max()));
    job.result.scratch_text = song.copyright;
    return 1;
}

}  // namespace orbisto
