// PLACEHOLDER while the scan requests are being written.
#include "scan/scan_request.h"

namespace orbisto {

int HandleScanRequest(Context&, int, const std::string&) { return -1; }

}  // namespace orbisto
