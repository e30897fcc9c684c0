// The catalogue layer's view of a run: the environment plus the current
// Catalog, the media list, the categories, the work-area limits and which of
// them a fill of the Catalog ran into, and the observer that is told when
// any of these change.
#pragma once

#include "catalog/catalog.h"
#include "catalog/categories.h"
#include "catalog/media_list.h"
#include "catalog/session_observer.h"
#include "catalog/work_limits.h"
#include "settings/environment.h"

namespace orbisto {

struct CatalogContext : Environment {
    CatalogContext(Frontend& fe, SessionObserver& obs) : Environment(fe), observer(obs) {}

    SessionObserver& observer;
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
