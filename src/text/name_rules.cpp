#include "text/name_rules.h"

#include "text/text_convert.h"

namespace orbisto {

namespace {

bool is_word_char(char c) {
    return c != ' ' && c != ',' && c != ';' && c != '|' && c != '*' && c != '.' && c != '\t';
}

}  // namespace

bool ends_with_ci(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsCI(text.substr(text.size() - suffix.size()), suffix);
}

bool extension_in_list(std::string_view list, std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == name.size()) return false;
    const std::string_view ext = name.substr(dot + 1);
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && !is_word_char(list[i])) ++i;
        std::size_t end = i;
        while (end < list.size() && is_word_char(list[end])) ++end;
        if (end > i && EqualsCI(list.substr(i, end - i), ext)) return true;
        i = end;
    }
    return false;
}

}  // namespace orbisto
