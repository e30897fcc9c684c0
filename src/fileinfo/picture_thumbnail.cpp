#include "fileinfo/picture_thumbnail.h"

#include "fileinfo/thumbnail.h"
#include "settings/settings.h"

namespace orbisto {

std::string picture_memory_text(std::size_t bytes, std::string_view path) {
    return "nicht genug Speicher um " + std::to_string(bytes) + " Bytes f\xC3\xBCr " +
           std::string(path) + " zu reservieren";
}

bool thumbnail_box_usable(const Options& o) {
    return o.thumbnail_width >= 1 && o.thumbnail_width <= 10000 && o.thumbnail_height >= 1 &&
           o.thumbnail_height <= 10000;
}

std::string silly_box_text(const Options& o, std::string_view path) {
    return "Keine Scherze bitte " + std::to_string(o.thumbnail_width) + "x" +
           std::to_string(o.thumbnail_height) +
           ", ist bl\xC3\xB6"
           "dsinn " +
           std::string(path);
}

void store_picture_thumbnail(FileInfoJob& job, const Picture& decoded) {
    const Options& o = job.options;
    Picture thumbnail;
    std::string error;
    if (!make_thumbnail_picture(decoded, o, thumbnail, error)) {
        if (error == "box") {
            job.status(silly_box_text(o, job.path));
        } else if (error == "memory") {
            job.status(picture_memory_text(
                decoded.stride() * static_cast<std::size_t>(decoded.height), job.path));
        } else if (error != "size") {
            job.status("kann " + std::string(job.path) + " nicht skalieren: " + error);
        }
        return;
    }
    std::vector<std::uint8_t> jpeg = encode_thumbnail(thumbnail, o.thumbnail_quality);
    if (jpeg.empty()) {
        job.status("kann " + std::string(job.path) + " nicht skalieren: JPEG");
        return;
    }
    job.result.thumbnail = std::move(jpeg);
}

}  // namespace orbisto
