#include "fileinfo/jpeg_support.h"

#include "fileinfo/file_source.h"

// After jpeglib.h (through jpeg_support.h): the message codes and macros.
#include <jerror.h>

namespace orbisto {

namespace {

void jpeg_trap_exit(j_common_ptr c) {
    auto* trap = reinterpret_cast<JpegErrorTrap*>(c->err);
    (*c->err->format_message)(c, trap->message);
    std::longjmp(trap->jump, 1);
}

void jpeg_trap_message(j_common_ptr c, int level) {
    // Level -1 is a warning about the data (corrupt or premature end);
    // trace messages (level >= 0) are dropped.
    if (level < 0) reinterpret_cast<JpegErrorTrap*>(c->err)->warned = true;
}

void jpeg_source_init(j_decompress_ptr) {}

boolean jpeg_source_fill(j_decompress_ptr d) {
    auto* src = reinterpret_cast<JpegFileSource*>(d->src);
    const std::size_t got = src->file->read_at(src->offset, src->buffer, sizeof src->buffer);
    if (got == 0) {
        // The end of the file before the end of the picture is an error:
        // libjpeg would fill the missing rows with grey. Only a file whose
        // rows have all been read may lack its end marker.
        if (d->output_height == 0 || d->output_scanline < d->output_height) {
            ERREXIT(d, JERR_INPUT_EOF);
        }
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        src->manager.next_input_byte = src->buffer;
        src->manager.bytes_in_buffer = 2;
        return TRUE;
    }
    src->offset += got;
    src->manager.next_input_byte = src->buffer;
    src->manager.bytes_in_buffer = got;
    return TRUE;
}

void jpeg_source_skip(j_decompress_ptr d, long count) {
    auto* src = reinterpret_cast<JpegFileSource*>(d->src);
    if (count <= 0) return;
    auto n = static_cast<std::size_t>(count);
    if (n <= src->manager.bytes_in_buffer) {
        src->manager.next_input_byte += n;
        src->manager.bytes_in_buffer -= n;
        return;
    }
    n -= src->manager.bytes_in_buffer;
    src->manager.bytes_in_buffer = 0;
    src->offset += n;
}

void jpeg_source_term(j_decompress_ptr) {}

}  // namespace

jpeg_error_mgr* JpegErrorTrap::install() {
    jpeg_error_mgr* m = jpeg_std_error(&manager);
    m->error_exit = jpeg_trap_exit;
    m->emit_message = jpeg_trap_message;
    return m;
}

void JpegFileSource::attach(j_decompress_ptr d, FileSource& f) {
    file = &f;
    offset = 0;
    manager.init_source = jpeg_source_init;
    manager.fill_input_buffer = jpeg_source_fill;
    manager.skip_input_data = jpeg_source_skip;
    manager.resync_to_restart = jpeg_resync_to_restart;
    manager.term_source = jpeg_source_term;
    manager.next_input_byte = nullptr;
    manager.bytes_in_buffer = 0;
    d->src = &manager;
}

}  // namespace orbisto
