// The archive layer's view of a run: the catalogue layer's plus what the
// packers have found out during this run.
#pragma once

#include <vector>

#include "catalog/catalog_context.h"

namespace orbisto {

struct PackerState {
    // The packer test's result per program of the packer table (0 missing,
    // 1 on the search path, 2 registered); empty when not tested, and then
    // every program counts as available.
    std::vector<int> found;
    bool unconfined_logged = false;  // the missing Landlock was logged
    // A work tree could not be removed (reported after the scan).
    bool delete_failed = false;
};

struct ArchiveContext : virtual CatalogContext {
    ArchiveContext(Frontend& fe, SessionObserver& obs) : CatalogContext(fe, obs) {}

    PackerState packers;

  protected:
    ~ArchiveContext() = default;
};

}  // namespace orbisto
