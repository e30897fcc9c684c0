// One record of the CSV and dBase tables: a file of a catalogue, or a row
// of the search result. Texts are UTF-8 as the catalogue holds them.
#pragma once

#include <string>
#include <string_view>

#include "output/output_header.h"

namespace orbisto {

struct TableRecord {
    const MediumFacts* medium = nullptr;  // null for a search-result row
    std::string_view medium_name;
    std::string_view name;       // without the extension
    std::string_view extension;  // with its dot
    std::string_view size;       // the size text of the list views
    std::string_view date;       // table_date_text
    std::string_view path;
    std::string_view comment;
    // The desktop's description of the file's type, written as "(R)..."
    // when the file has no comment (empty: none).
    std::string_view type_description;
};

// A file name split before its last dot ("a.tar.gz" → "a.tar", ".gz"; a
// name that starts with its only dot has no extension: ".profile").
struct NameParts {
    std::string_view stem;
    std::string_view extension;
};
NameParts split_extension(std::string_view name);

}  // namespace orbisto
