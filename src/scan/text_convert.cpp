// RTF descriptions to text: the reader's text replaces the document, and a
// malformed document is reported once.
#include "scan/text_convert.h"

#include "scan/rtf_reader.h"
#include "startup/frontend.h"

namespace orbisto {

void RtfToText(Frontend& frontend, std::string& text) {
    rtf::Result r = rtf::read(text);
    text = std::move(r.text);
    if (!r.error.empty()) frontend.message(r.error, "RTF-Error", Buttons::Ok, Icon::Exclamation);
}

}  // namespace orbisto
