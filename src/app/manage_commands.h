// The headless commands that change the catalogued media: rename, rm,
// assign, lend, return, pack, unpack and reindex. Each goes through the
// catalogue functions the window uses, so their rules and messages are the
// window's; a message of those functions goes to standard error. Exit
// status 0 done, 1 refused or failed (the reason on standard error), 2 a
// usage error.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// orbisto rename MEDIUM NAME
int run_rename(Context& ctx, const std::vector<std::string>& args);
// orbisto rm [--yes] MEDIUM...: asks on a terminal; refuses without one
// unless --yes is given.
int run_rm(Context& ctx, const std::vector<std::string>& args);
// orbisto assign MEDIUM CATEGORY (0: no category)
int run_assign(Context& ctx, const std::vector<std::string>& args);
// orbisto lend MEDIUM --to NAME [--from D] [--until D]
int run_lend(Context& ctx, const std::vector<std::string>& args);
// orbisto return MEDIUM
int run_return(Context& ctx, const std::vector<std::string>& args);
// orbisto pack / orbisto unpack: every catalogue stored compressed or plain.
int run_pack(Context& ctx, const std::vector<std::string>& args);
int run_unpack(Context& ctx, const std::vector<std::string>& args);
// orbisto reindex: the fast-load index rebuilt from the catalogue files.
int run_reindex(Context& ctx, const std::vector<std::string>& args);

// Prints "orbisto: COMMAND: TEXT" on standard error and returns kExitFailure.
int command_failure(std::string_view command, std::string_view text);

}  // namespace orbisto::app
