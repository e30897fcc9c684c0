#include <string>

#include "fileinfo/extractors.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

// The extension of the job's file without its dot; empty when none.
std::string_view media_extension(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

}  // namespace

bool LookupMciDevice(FileInfoJob& job) {
    MediaService* service = job.media();
    if (!service) return false;
    const std::string_view ext = media_extension(job.path);
    return !ext.empty() && job.session.devices.lookup(*service, ext);
}

std::optional<MediaFacts> media_facts(FileInfoJob& job, bool device_required) {
    MediaService* service = job.media();
    if (!service) return std::nullopt;
    if (device_required && !LookupMciDevice(job)) return std::nullopt;
    return service->length(std::string(job.path));
}

int MciLength(FileInfoJob& job) {
    const std::optional<MediaFacts> facts = media_facts(job, true);
    if (!facts) return 0;
    job.result.length_tenths = static_cast<std::int32_t>(facts->length_ms / 100);
    return 1;
}

}  // namespace orbisto
