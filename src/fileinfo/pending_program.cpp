#include "fileinfo/extractors.h"

// Not yet read: these formats give no information until their reader lands.
namespace orbisto {


int ExtractFonName(FileInfoJob&) { return 0; }
int ExtractTtfName(FileInfoJob&) { return 0; }
int ExtractAfmName(FileInfoJob&) { return 0; }
int ExtractVersionText(FileInfoJob&, std::string&, int) { return 0; }
int ExtractProgramType(FileInfoJob&) { return 0; }
}  // namespace orbisto
