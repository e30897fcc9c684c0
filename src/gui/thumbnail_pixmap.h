// A stored thumbnail shown in the window: decoded by the same decoder the
// rest of the program uses and turned into a Qt image.
#pragma once

#include <QImage>
#include <cstdint>
#include <span>

namespace orbisto::gui {

// The thumbnail at the start of the stored bytes (the image pool from its
// offset on); a null image when there is none or it does not decode.
QImage thumbnail_image(std::span<const std::uint8_t> stored);

}  // namespace orbisto::gui
