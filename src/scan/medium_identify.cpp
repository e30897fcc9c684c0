// PLACEHOLDER while identification and the drive dialogs are being written.
#include "scan/medium_identify.h"

namespace orbisto {

std::size_t IdentifyMedium(const Context&, std::string_view, std::uint32_t) { return 0; }
std::ptrdiff_t FindDuplicateMedium(const Context&) { return -1; }
int ChooseDriveForScan(Context&) { return -1; }
int ChooseDriveForUpdate(Context&) { return -1; }
int ChooseDriveForIdentify(Context&) { return -1; }
int ScanNewMediumCommand(Context&) { return -1; }
int UpdateCurrentMediumCommand(Context&, bool) { return -1; }
int IdentifyMediumCommand(Context&, bool) { return -1; }
void MediumArrived(Context&, const std::vector<int>&) {}

}  // namespace orbisto
