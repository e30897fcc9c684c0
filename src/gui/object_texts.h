// The texts a view shows for an entry of a Catalog (an object reference: a
// record index, the high bit set for a directory): the name with the
// thumbnail mark, the size and date columns, and the description with the
// compression ratio of an expanded archive, the CRC prefix and the desktop's
// file-type description.
#pragma once

#include <QString>
#include <cstdint>

#include "catalog/catalog.h"
#include "catalog/catalog_tree.h"

namespace orbisto::gui {

struct RowOptions {
    bool english = false;
    bool group_digits = true;           // the size and count texts in groups of three
    bool show_crc = false;              // keep the "CRC:%08X" start of a comment
    bool type_names = false;            // a file without a comment shows its type's description
    const CatalogTree* tree = nullptr;  // finds an expanded archive's file for its ratio
};

QString object_name(const Catalog& cat, std::uint32_t ref);
QString object_size(const Catalog& cat, std::uint32_t ref, const RowOptions& o);
QString object_date(const Catalog& cat, std::uint32_t ref, const RowOptions& o);
QString object_time(const Catalog& cat, std::uint32_t ref);
QString object_description(const Catalog& cat, std::uint32_t ref, const RowOptions& o);
// The raw comment of an object (no prefix, no type name).
std::string_view object_comment(const Catalog& cat, std::uint32_t ref);
bool object_has_comment(const Catalog& cat, std::uint32_t ref);
float object_size_kb(const Catalog& cat, std::uint32_t ref);
std::uint64_t object_time_value(const Catalog& cat, std::uint32_t ref);
std::uint32_t object_flags(const Catalog& cat, std::uint32_t ref);
// The desktop's description of a file name's type in the interface
// language, "" when it has none (the one reader the output uses as well).
QString type_description(std::string_view file_name, bool english);
// A FILETIME as a local date or time text.
QString date_text(std::uint64_t filetime, bool english);
QString time_text(std::uint64_t filetime);

}  // namespace orbisto::gui
