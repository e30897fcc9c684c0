// The steps every picture reader shares once it has a decoded picture: the
// thumbnail made and encoded into the job's result, and the status texts.
#pragma once

#include <string>

#include "fileinfo/file_info.h"
#include "fileinfo/picture.h"

namespace orbisto {

struct Options;

// Makes the thumbnail of a decoded picture and stores its JPEG stream in
// job.result.thumbnail; failures go to the status line (no thumbnail).
void store_picture_thumbnail(FileInfoJob& job, const Picture& decoded);

// Whether the thumbnail box of the options is one a thumbnail can be made
// for (1 to 10000 pixels each way), and the status text when it is not.
bool thumbnail_box_usable(const Options& options);
std::string silly_box_text(const Options& options, std::string_view path);

// "nicht genug Speicher um %d Bytes für %s zu reservieren" and its kin.
std::string picture_memory_text(std::size_t bytes, std::string_view path);

}  // namespace orbisto
