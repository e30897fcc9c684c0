// A medium named on the command line: by its catalogue number ("12") or by
// its name ("Holiday 2024"), looked up in the media list.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// The catalogue number of the medium `word` names: a number that is in the
// media list, else the one medium of that name (case as given, then case
// ignored). Empty with a reason in the interface language when there is no
// such medium or the name is not unique. The media list must be built.
std::optional<int> resolve_medium(const Context& ctx, std::string_view word, std::string& error);

}  // namespace orbisto::app
