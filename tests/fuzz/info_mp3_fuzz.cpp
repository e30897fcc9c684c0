// The MP3 reader on arbitrary files and scanner lengths: it reads only what
// the file holds, allocates no more than the file could fill, and either
// finds a frame header or says nothing at all.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "info_fuzz_session.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    FileInfoSession& session = fuzz::info_session();
    const std::span<const std::uint8_t> bytes(data, size);
    // The last four bytes choose the length the scanner passes: the file's
    // own, less, more, or absurdly more.
    std::uint32_t v = 0;
    for (std::size_t i = size >= 4 ? size - 4 : 0; i < size; ++i) v = (v << 8) | data[i];
    std::uint64_t size_bytes = size;
    switch (v & 3) {
        case 1:
            size_bytes -= (v >> 2) % (size + 1);
            break;
        case 2:
            size_bytes += v >> 2;
            break;
        case 3:
            size_bytes = UINT64_MAX - (v >> 2);
            break;
        default:
            break;
    }
    Options options;
    options.file_information = true;
    options.image_information = (v & 4) != 0;

    FileInfoResult result;
    MemorySource src(bytes);
    FileInfoJob job{options, session, src, "a.mp3", size_bytes, result, nullptr};
    const int found = ExtractMp3(job);
    if (found != 0 && found != 1) __builtin_trap();
    if (!found && (!result.scratch_text.empty() || result.mp3_bitrate_kbps != 0)) __builtin_trap();
    if (found && (result.scratch_text.size() >= 4096 || result.length_tenths < 0 ||
                  result.mp3_length_s != static_cast<std::uint32_t>(result.length_tenths)))
        __builtin_trap();
    // The tag buffer never outgrows what a file of this size could hold.
    if (session.id3_buffer.size() > (1u << 20) + 1000 && size < (1u << 20)) __builtin_trap();

    result.clear();
    MemorySource again(bytes);
    const int collected = CollectFileInfo(options, session, again, "a.mp3", size_bytes, result);
    if (collected != found) __builtin_trap();
    return 0;
}
