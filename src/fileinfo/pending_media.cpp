#include "fileinfo/extractors.h"

// Not yet read: these formats give no information until their reader lands.
namespace orbisto {


int MciLength(FileInfoJob&) { return 0; }
bool LookupMciDevice(FileInfoJob&) { return false; }
std::optional<MediaFacts> media_facts(FileInfoJob&, bool) { return std::nullopt; }
std::unique_ptr<MediaService> make_media_service() { return nullptr; }
std::string video_codec_description(std::string_view) { return {}; }
bool MediaDeviceCache::lookup(MediaService&, std::string_view) { return false; }
}  // namespace orbisto
