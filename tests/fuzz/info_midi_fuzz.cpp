// The MIDI reader on arbitrary files (Standard MIDI Files and RIFF "RMID"
// wrappers): a playing time is never negative, the copyright text never
// longer than its limit nor holding a zero byte, and the dispatch agrees.
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
    Options options;
    options.file_information = true;

    FileInfoResult result;
    MemorySource src(bytes);
    FileInfoJob job{options, session, src, "a.mid", size, result, nullptr};
    const int found = ExtractMidi(job);
    if (found != 0 && found != 1) __builtin_trap();
    if (result.length_tenths < 0) __builtin_trap();
    if (result.scratch_text.size() > 4040) __builtin_trap();
    if (result.scratch_text.find('\0') != std::string::npos) __builtin_trap();

    result.clear();
    MemorySource again(bytes);
    if (CollectFileInfo(options, session, again, "a.rmi", size, result) != found) __builtin_trap();
    return 0;
}
