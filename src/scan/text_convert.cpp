// PLACEHOLDER while the HTML, XML and RTF converters are being written.
#include "scan/text_convert.h"

namespace orbisto {

void HtmlToText(std::string&) {}
void XmlToText(std::string&) {}
void RtfToText(Frontend&, std::string&) {}

}  // namespace orbisto
