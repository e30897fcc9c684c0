#include "app/medium_arg.h"

#include <charconv>
#include <vector>

#include "catalog/media_list.h"
#include "platform/codepage.h"
#include "session/context.h"

namespace orbisto::app {

namespace {

// The media whose name equals `word`, exactly or ignoring case.
std::vector<std::uint32_t> named(const Context& ctx, std::string_view word, bool ignore_case) {
    std::vector<std::uint32_t> found;
    const std::string wanted = ignore_case ? upper_german(word) : std::string(word);
    for (const MediumHeader& m : ctx.media.entries) {
        const std::string_view name = fixed_text(m.medium_name);
        if ((ignore_case ? upper_german(name) : std::string(name)) == wanted) {
            found.push_back(m.catalog_number);
        }
    }
    return found;
}

}  // namespace

std::optional<int> resolve_medium(const Context& ctx, std::string_view word, std::string& error) {
    int n = -1;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
    if (!word.empty() && ec == std::errc() && end == word.data() + word.size() && n >= 0 &&
        ctx.media.position_of(static_cast<std::uint32_t>(n))) {
        return n;
    }
    std::vector<std::uint32_t> found = named(ctx, word, false);
    if (found.empty()) found = named(ctx, word, true);
    if (found.size() == 1) return static_cast<int>(found.front());
    if (found.empty()) {
        error = ctx.tr("kein Medium '", "no medium '") + std::string(word) + "'";
    } else {
        error = std::string(ctx.tr("mehrere Medien hei\xC3\x9F"
                                   "en '",
                                   "several media are named '")) +
                std::string(word) + ctx.tr("': Nummern", "': numbers");
        for (const std::uint32_t number : found) error += " " + std::to_string(number);
    }
    return std::nullopt;
}

}  // namespace orbisto::app
