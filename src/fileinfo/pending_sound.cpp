#include "fileinfo/extractors.h"

// Not yet read: these formats give no information until their reader lands.
namespace orbisto {


int ExtractWav(FileInfoJob&) { return 0; }
int ExtractVoc(FileInfoJob&) { return 0; }
int ExtractModuleTitle(FileInfoJob&, std::size_t) { return 0; }
int ExtractMidi(FileInfoJob&) { return 0; }
int ExtractCdTrack(FileInfoJob&) { return 0; }
int ExtractFli(FileInfoJob&) { return 0; }
int ExtractCursorTitle(FileInfoJob&) { return 0; }
}  // namespace orbisto
