// What the JPEG readers and writers share around libjpeg: an error manager
// that turns libjpeg's fatal errors into a jump back to the caller (with the
// message kept) and keeps its warnings quiet, and a source that reads a
// FileSource in 4096-byte blocks.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>

namespace orbisto {

class FileSource;

struct JpegErrorTrap {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    bool warned = false;  // a warning (corrupt data) was seen
    jpeg_error_mgr* install();
};

// Reads the source from its start through libjpeg (jpeg_create_decompress
// done by the caller). The source object must live as long as the decode.
struct JpegFileSource {
    jpeg_source_mgr manager{};
    FileSource* file = nullptr;
    std::uint64_t offset = 0;
    std::uint8_t buffer[4096];
    void attach(j_decompress_ptr d, FileSource& f);
};

}  // namespace orbisto
