// orbisto category add|rm|mv|rename: the edits of the category tree the
// window offers, through the same functions. Categories are named by their
// index as "orbisto categories" lists it; 0 as a parent is the top level.
// Exit status 0 done, 1 refused or failed, 2 a usage error.
#pragma once

#include <string>
#include <vector>

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

//   category add NAME [--parent N]   prints the new category's index
//   category rm N [--yes]            a category with subcategories or media
//                                    asks on a terminal, else needs --yes
//   category mv N PARENT
//   category rename N NAME
int run_category(Context& ctx, const std::vector<std::string>& args);

}  // namespace orbisto::app
