// The catalogue layer's view of a run: the environment plus the current
// Catalog, the media list, the categories, the work-area limits and which of
// them a fill of the Catalog ran into.
#pragma once

#include "catalog/catalog.h"
#include "catalog/categories.h"
#include "catalog/media_list.h"
#include "catalog/work_limits.h"
#include "settings/environment.h"

namespace orbisto {

struct CatalogContext : Environment {
    explicit CatalogContext(Frontend& fe) : Environment(fe) {}

    WorkLimits limits;
    Catalog catalog;
    MediaList media;
    CategoryTable categories;
    // Set when a work area of the Catalog could not grow any further during
    // a scan or an import (cleared at the start of each).
    ScanLimitsHit limits_hit;

  protected:
    ~CatalogContext() = default;
};

}  // namespace orbisto
