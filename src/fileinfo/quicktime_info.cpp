// Declared in fileinfo/extractors.h: QuickTime films, whose playing time
// the multimedia service measures.
#include "fileinfo/extractors.h"
#include "fileinfo/media_tenths.h"

namespace orbisto {

int ExtractQuickTime(FileInfoJob& job) {
    const std::optional<MediaFacts> facts = media_facts(job, true);
    if (!facts) return 0;
    job.result.length_tenths = media_tenths(facts->length_ms);
    return 1;
}

}  // namespace orbisto
