#include "gui/thumbnail_pixmap.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "fileinfo/thumbnail.h"

namespace orbisto::gui {

QImage thumbnail_image(std::span<const std::uint8_t> stored) {
    if (stored.empty()) return {};
    Picture picture;
    std::string error;
    if (!DecodeThumbnail(stored, picture, error) || picture.bits != 24) return {};
    QImage image(picture.width, picture.height, QImage::Format_BGR888);
    if (image.isNull()) return {};
    // The picture's rows are stored bottom row first, the image's top first.
    const auto row_bytes = static_cast<std::size_t>(picture.width) * 3;
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.row_from_top(y), row_bytes);
    }
    return image;
}

}  // namespace orbisto::gui
