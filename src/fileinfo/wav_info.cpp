// WAV: the format chunk that directly follows the RIFF header. Declared in
// extractors.h.
#include <cstdint>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

// "RIFF", its length, "WAVE", "fmt ", the chunk's length and the 16 bytes of
// the PCM format record.
constexpr std::size_t kWavHeaderBytes = 36;
constexpr std::uint16_t kWavFormatPcm = 1;

}  // namespace

int ExtractWav(FileInfoJob& job) {
    std::vector<std::uint8_t> head;
    if (!job.file.read_exact(0, kWavHeaderBytes, head)) return 0;
    ByteReader in(head);
    if (in.fixed_string(4) != "RIFF") return 0;
    in.skip(4);
    if (in.fixed_string(8) != "WAVEfmt ") return 0;
    in.skip(4);
    // Only plain PCM: the sizes of compressed or extensible formats say
    // little about the sound.
    if (in.u16le() != kWavFormatPcm) return 0;
    const std::uint16_t channels = in.u16le();
    const std::uint32_t rate = in.u32le();
    in.skip(6);  // bytes per second, block alignment
    const std::uint16_t bits = in.u16le();
    if (!in.ok()) return 0;
    job.result.channels = channels;
    job.result.sample_rate = static_cast<std::int32_t>(rate);
    job.result.bits_per_sample = bits;
    return 1;
}

}  // namespace orbisto
