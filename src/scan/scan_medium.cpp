// PLACEHOLDER while the medium scan is being written.
#include "scan/scan_medium.h"

namespace orbisto {

int PrepareMedium(Context&, const std::string&) { return -1; }
void BeginScan(Context&) {}
void EndScan(Context&) {}
void EndUpdateScan(Context&) {}
void AggregateScan(Catalog&) {}
int ScanMedium(Context&, ScanMode) { return -1; }

}  // namespace orbisto
