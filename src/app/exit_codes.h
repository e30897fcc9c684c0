// The exit statuses of the program and its headless commands, in one place
// so that scripts can rely on them.
#pragma once

namespace orbisto::app {

inline constexpr int kExitSuccess = 0;
// Nothing (or not all of it) was done; the reason went to standard error.
inline constexpr int kExitFailure = 1;
// "find" found nothing (or could not print its hits).
inline constexpr int kExitNoHits = 1;
// A usage error: unknown or malformed option, missing argument.
inline constexpr int kExitUsage = 2;
// A run mode this build does not offer yet.
inline constexpr int kExitNotAvailable = 3;

}  // namespace orbisto::app
