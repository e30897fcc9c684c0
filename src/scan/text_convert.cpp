// PLACEHOLDER while the converters are being written.
#include "scan/text_convert.h"

namespace orbisto {

bool LooksLikeText(std::string_view) { return true; }
void OemToAnsiIfNeeded(std::string&, bool) {}
void StripCharacter(std::string&, char) {}
void ApplyCleanUp(std::string&, CleanUp) {}
void NormaliseBlanks(std::string&) {}
std::size_t FindCI(std::string_view text, std::string_view part, std::size_t from) {
    return text.find(part, from);
}
bool ContainsCI(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}
bool EndsWithCI(std::string_view text, std::string_view suffix) { return text.ends_with(suffix); }
void HtmlToText(std::string&) {}
void XmlToText(std::string&) {}
void RtfToText(Frontend&, std::string&) {}

}  // namespace orbisto
