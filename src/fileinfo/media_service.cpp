#include "fileinfo/media_service.h"

#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/codepage.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace orbisto {

namespace {

// The time a single file may cost the service: a file that takes longer
// (a damaged stream that makes the demuxer search) gives no answer.
constexpr auto kMediaTimeBudget = std::chrono::seconds(3);
// Bytes the service may read to recognise a file and its streams.
constexpr std::int64_t kMediaProbeBytes = 2 << 20;

// The demuxers the service may use. Playlists and other formats that open
// further files or addresses named inside a file are not among them.
constexpr const char* kMediaDemuxers =
    "aiff,au,asf,avi,mov,mp4,m4a,3gp,mpeg,mpegvideo,mpegts,ogg,wav,mp3,matroska,webm,flv,flac,"
    "m4v,h264,hevc,mpeg4,voc";

// The extensions the service handles, with the demuxer that must be present
// for each: the device table of the platform's media player.
struct MediaExtension {
    const char* extension;  // upper case
    const char* demuxer;
};
constexpr MediaExtension kMediaExtensions[] = {
    {"AIF", "aiff"},  {"AIFF", "aiff"}, {"AIFC", "aiff"}, {"AU", "au"},     {"SND", "au"},
    {"ASF", "asf"},   {"WMV", "asf"},   {"WMA", "asf"},   {"AVI", "avi"},   {"WAV", "wav"},
    {"MPG", "mpeg"},  {"MPEG", "mpeg"}, {"MPE", "mpeg"},  {"M1V", "mpeg"},  {"M2V", "mpeg"},
    {"MP2", "mp3"},   {"MP3", "mp3"},   {"MPA", "mp3"},   {"VOB", "mpeg"},  {"DAT", "mpeg"},
    {"MOV", "mov"},   {"QT", "mov"},    {"MP4", "mov"},   {"M4A", "mov"},   {"OGG", "ogg"},
    {"OGM", "ogg"},   {"OGV", "ogg"},   {"OGA", "ogg"},   {"MKV", "matroska"},
};

struct MediaDeadline {
    std::chrono::steady_clock::time_point end;
};

int media_interrupt(void* opaque) {
    const auto* d = static_cast<const MediaDeadline*>(opaque);
    return std::chrono::steady_clock::now() > d->end ? 1 : 0;
}

// Seconds of a stream or file duration in its time base; negative when unknown.
double media_seconds(std::int64_t value, AVRational base) {
    if (value == AV_NOPTS_VALUE || value < 0) return -1;
    return static_cast<double>(value) * av_q2d(base);
}

class AvMediaService final : public MediaService {
  public:
    AvMediaService() { av_log_set_level(AV_LOG_QUIET); }

    bool handles(std::string_view extension) override {
        const std::string upper = upper_ascii(extension);
        for (const MediaExtension& e : kMediaExtensions) {
            if (upper == e.extension) return av_find_input_format(e.demuxer) != nullptr;
        }
        return false;
    }

    std::optional<MediaFacts> length(const std::string& path) override {
        AVFormatContext* ctx = avformat_alloc_context();
        if (!ctx) return std::nullopt;
        MediaDeadline deadline{std::chrono::steady_clock::now() + kMediaTimeBudget};
        ctx->interrupt_callback.callback = media_interrupt;
        ctx->interrupt_callback.opaque = &deadline;
        ctx->probesize = kMediaProbeBytes;
        ctx->max_analyze_duration = 5 * AV_TIME_BASE;
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        av_dict_set(&options, "format_whitelist", kMediaDemuxers, 0);
        // The "file:" prefix: a name with a colon is never taken for another protocol.
        const std::string url = "file:" + path;
        const int opened = avformat_open_input(&ctx, url.c_str(), nullptr, &options);
        av_dict_free(&options);
        if (opened < 0) return std::nullopt;  // ctx is freed by the failed open
        std::optional<MediaFacts> facts;
        if (avformat_find_stream_info(ctx, nullptr) >= 0) facts = facts_of(ctx);
        avformat_close_input(&ctx);
        return facts;
    }

  private:
    static std::optional<MediaFacts> facts_of(const AVFormatContext* ctx) {
        double seconds = media_seconds(ctx->duration, AVRational{1, AV_TIME_BASE});
        const AVStream* video = nullptr;
        for (unsigned i = 0; i < ctx->nb_streams; ++i) {
            const AVStream* st = ctx->streams[i];
            if (seconds < 0) {
                const double s = media_seconds(st->duration, st->time_base);
                if (s > seconds) seconds = s;
            }
            if (!video && st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
                !(st->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
                video = st;
            }
        }
        if (seconds < 0 || !std::isfinite(seconds) || seconds > 1e7) return std::nullopt;
        MediaFacts f;
        f.length_ms = static_cast<std::int64_t>(seconds * 1000.0);
        if (video) {
            if (video->nb_frames > 0) {
                f.frames = video->nb_frames;
            } else if (video->avg_frame_rate.num > 0 && video->avg_frame_rate.den > 0) {
                f.frames = std::llround(seconds * av_q2d(video->avg_frame_rate));
            }
        }
        return f;
    }
};

}  // namespace

std::unique_ptr<MediaService> make_media_service() { return std::make_unique<AvMediaService>(); }

std::string video_codec_description(std::string_view fourcc) {
    if (fourcc.size() != 4) return {};
    const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
    const auto b = [&](int i) { return static_cast<unsigned>(static_cast<unsigned char>(fourcc[i])); };
    const AVCodecID id = av_codec_get_id(tables, MKTAG(b(0), b(1), b(2), b(3)));
    if (id == AV_CODEC_ID_NONE) return {};
    const AVCodecDescriptor* d = avcodec_descriptor_get(id);
    return d && d->long_name ? d->long_name : std::string();
}

bool MediaDeviceCache::lookup(MediaService& service, std::string_view extension) {
    const std::string upper = upper_ascii(extension);
    for (std::size_t i = 0; i < count_; ++i) {
        if (entries_[i].extension == upper) return true;
    }
    if (!service.handles(upper)) return false;
    // Only extensions the service handles are remembered; when the table is
    // full, further ones are asked again each time.
    if (count_ < kCapacity) entries_[count_++].extension = upper;
    return true;
}

}  // namespace orbisto
