#include "fileinfo/picture_decoders.h"

// Formats whose decoder has not landed yet: not readable.
namespace orbisto {

bool read_gif_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_gif(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_tiff_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_tiff(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_jpeg_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_jpeg(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }

}  // namespace orbisto
