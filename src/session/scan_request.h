// Scans requested without dialogs: the command-line run modes /drive and
// /update, the automatic scan of an arriving medium and dropped paths.
#pragma once

#include <string>

namespace orbisto {

struct Context;

inline constexpr int kRequestScanNew = 2;
inline constexpr int kRequestUpdate = 3;

// Runs request 2 (scan `path` as a new medium) or 3 (update the catalogued
// medium in `path`). Returns the catalogue number stored, or -1 when nothing
// was stored (the reason has been shown through the Frontend).
int HandleScanRequest(Context& ctx, int code, const std::string& path);

}  // namespace orbisto
