// The search layer's view of a run: the catalogue layer's plus the search
// state with its hit list and the dialogs of the media-list tools.
#pragma once

#include "catalog/catalog_context.h"
#include "search/media_dialogs.h"
#include "search/search_state.h"

namespace orbisto {

struct SearchContext : virtual CatalogContext {
    SearchContext(Frontend& fe, SessionObserver& obs, MediaDialogs& dialogs)
        : CatalogContext(fe, obs), media_dialogs(dialogs) {}

    MediaDialogs& media_dialogs;
    SearchState search;

  protected:
    ~SearchContext() = default;
};

}  // namespace orbisto
