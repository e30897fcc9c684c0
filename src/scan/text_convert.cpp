// PLACEHOLDER while the RTF reader is being written.
#include "scan/text_convert.h"

namespace orbisto {

void RtfToText(Frontend&, std::string&) {}

}  // namespace orbisto
