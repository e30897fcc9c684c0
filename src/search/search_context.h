// The search layer's view of a run: the catalogue layer's plus the search
// state and its hit list.
#pragma once

#include "catalog/catalog_context.h"
#include "search/search_state.h"

namespace orbisto {

struct SearchContext : virtual CatalogContext {
    explicit SearchContext(Frontend& fe) : CatalogContext(fe) {}

    SearchState search;

  protected:
    ~SearchContext() = default;
};

}  // namespace orbisto
