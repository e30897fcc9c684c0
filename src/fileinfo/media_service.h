// The multimedia service: playing times and frame counts of files that the
// readers do not time themselves (MIDI without a tempo map of its own, AIFF/AU,
// OGG, MPEG, QuickTime, AVI/WMV/OGM), and the names of video codecs. On this
// platform it is FFmpeg's libavformat/libavcodec. A file it cannot open, or
// that would take it too long, gives no answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orbisto {

struct MediaFacts {
    std::int64_t length_ms = 0;  // playing time in milliseconds
    std::int64_t frames = -1;    // frames of the first video stream; -1 = unknown
};

class MediaService {
  public:
    virtual ~MediaService() = default;
    // Whether the service has a reader for files of this extension (without
    // its dot, any case): the device table the readers look up first.
    virtual bool handles(std::string_view extension) = 0;
    // Opens the file, reads its playing time and closes it again.
    virtual std::optional<MediaFacts> length(const std::string& path) = 0;
};

// The libavformat service; null when the library cannot be set up.
std::unique_ptr<MediaService> make_media_service();

// The long name of the video codec with this RIFF code (four characters, as
// in an AVI stream header), or empty when libavcodec does not know it.
std::string video_codec_description(std::string_view fourcc);

// The extension cache in front of MediaService::handles: up to 31 handled
// extensions are remembered for the run, further ones are asked every time.
class MediaDeviceCache {
  public:
    static constexpr std::size_t kCapacity = 31;
    // True when the service handles the extension (without its dot).
    bool lookup(MediaService& service, std::string_view extension);
    std::size_t size() const { return count_; }

  private:
    struct Entry {
        std::string extension;  // upper case
    };
    Entry entries_[kCapacity];
    std::size_t count_ = 0;
};

}  // namespace orbisto
