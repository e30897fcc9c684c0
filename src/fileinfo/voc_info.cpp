// Creative VOC: the sample rate of the first sound-data block. Declared in
// extractors.h.
#include <cstdint>
#include <string_view>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

// The file header; the blocks follow it.
constexpr std::size_t kVocHeaderBytes = 26;
// Its signature as far as it is compared ("Creative Voice File" without its
// last letter).
constexpr std::string_view kVocSignature = "Creative Voice Fil";
// A block header: type, 24-bit length, and for a sound-data block the time
// constant and the packing.
constexpr std::size_t kVocBlockBytes = 6;
constexpr std::uint8_t kVocSoundData = 1;
constexpr std::uint8_t kVocRepeatStart = 6;

}  // namespace

int ExtractVoc(FileInfoJob& job) {
    std::vector<std::uint8_t> head;
    if (!job.file.read_exact(0, kVocHeaderBytes, head)) return 0;
    if (std::string_view(reinterpret_cast<const char*>(head.data()), kVocSignature.size()) !=
        kVocSignature) {
        return 0;
    }
    std::vector<std::uint8_t> block;
    std::uint64_t at = kVocHeaderBytes;
    if (!job.file.read_exact(at, kVocBlockBytes, block)) return 0;
    // A repeat block (its whole body is the count) comes before the sound it
    // repeats.
    if (block[0] == kVocRepeatStart) {
        at += kVocBlockBytes;
        if (!job.file.read_exact(at, kVocBlockBytes, block)) return 0;
    }
    ByteReader in(block);
    if (in.u8() != kVocSoundData) return 0;
    in.skip(3);
    const unsigned time_constant = in.u8();
    if (!in.ok()) return 0;
    // The time constant is 256 - 1000000 / rate, so the divisor is 1..256.
    job.result.sample_rate = static_cast<std::int32_t>(1000000 / (256 - time_constant));
    return 1;
}

}  // namespace orbisto
