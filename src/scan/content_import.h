// A Catalog made from a file list instead of a medium: a FILES.BBS- or
// INDEX-style list becomes a new medium.
#pragma once

#include <string>

#include "text/list_text.h"

namespace orbisto {

struct ScanContext;

// "Aus Beschreibungsdatei gewonnen": the medium description of an import.
inline constexpr const char* kImportDescription = "Aus Beschreibungsdatei gewonnen";

// Reads the list at `path` (valid UTF-8 as it is, anything else as
// Windows-1252, with convert_dos_text first from the DOS code page), builds a new
// Catalog from it (the first line names the medium, every entry becomes a
// file of the root with the current time), stores it as a new medium with
// its MediaList entry and fast-load index, and loads it. A changed Catalog
// is offered for saving first. Returns the catalogue number, or -1 when
// nothing was stored (the reason has been shown through the Frontend).
int ImportContentFile(ScanContext& ctx, const std::string& path, ContentFormat format);

}  // namespace orbisto
