// Tracker modules (MOD, S3M, XM): the title at the start of the file.
// Declared in extractors.h.
#include <cstdint>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"

namespace orbisto {

// No signature is tested: the extension chose the reader. An XM title of 50
// bytes holds the format's signature text, the module name, an end-of-text
// byte and the start of the tracker's name, all shown as they stand.
int ExtractModuleTitle(FileInfoJob& job, std::size_t count) {
    std::vector<std::uint8_t> head;
    if (!job.file.read_exact(0, count, head)) return 0;
    ByteReader in(head);
    job.result.scratch_text = in.fixed_string(count);
    return 1;
}

}  // namespace orbisto
