// RTF descriptions to text: the reader's text replaces the document, and a
// malformed document is reported once.
#include "text/text_convert.h"

#include "settings/frontend.h"
#include "text/rtf_reader.h"

namespace orbisto {

void RtfToText(Frontend& frontend, std::string& text) {
    rtf::Result r = rtf::read(text);
    text = std::move(r.text);
    if (!r.error.empty()) frontend.message(r.error, "RTF-Error", Buttons::Ok, Icon::Exclamation);
}

}  // namespace orbisto
