// Declared in fileinfo/extractors.h: MPEG and MPEG-2 films. The multimedia
// service measures the playing time and counts the frames; the frame count
// goes into scratch_text, where the MPEG-2 text shows it.
#include <string>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "fileinfo/media_tenths.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

// Length and, when the service counted them, frames of the film.
int mpeg_store_facts(FileInfoJob& job, bool device_required) {
    const std::optional<MediaFacts> facts = media_facts(job, device_required);
    if (!facts) return 0;
    job.result.length_tenths = media_tenths(facts->length_ms);
    // A film whose frames cannot be counted keeps its length.
    if (facts->frames >= 0) job.result.scratch_text = std::to_string(facts->frames);
    return 1;
}

// A ".DAT" file is a video CD track only in a RIFF wrapper; other files of
// that extension are data and are not handed to the service.
bool mpeg_dat_without_riff(FileInfoJob& job) {
    const std::size_t slash = job.path.rfind('/');
    const std::size_t dot = job.path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return false;
    }
    if (upper_german(job.path.substr(dot)) != ".DAT") return false;
    std::vector<std::uint8_t> magic;
    return !job.file.read_exact(0, 4, magic) || std::string(magic.begin(), magic.end()) != "RIFF";
}

}  // namespace

int ExtractMpeg(FileInfoJob& job) {
    if (mpeg_dat_without_riff(job)) return 0;
    return mpeg_store_facts(job, true);
}

// The service is asked even when it names no reader for the extension: it
// reads a program stream whatever the file is called.
int ExtractMpeg2(FileInfoJob& job) {
    return mpeg_store_facts(job, false);
}

}  // namespace orbisto
