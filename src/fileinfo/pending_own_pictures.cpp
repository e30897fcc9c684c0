#include "fileinfo/picture_decoders.h"

// Formats whose decoder has not landed yet: not readable.
namespace orbisto {

bool read_bmp_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_bmp(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_pcx_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_pcx(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_targa_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_targa(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_ilbm_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_ilbm(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_yuv12c_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_yuv12c(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_greymap_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_greymap(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_pixmap_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_pixmap(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_kips_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_kips(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_iax_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_iax(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_xbitmap_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_xbitmap(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_sprite_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_sprite(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_pseg_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_pseg(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_gemras_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_gemras(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }
bool read_portrait_header(FileSource&, PictureHeader&, std::string& e) { e = "not supported"; return false; }
bool decode_portrait(FileSource&, Picture&, std::size_t, std::string& e) { e = "not supported"; return false; }

}  // namespace orbisto
