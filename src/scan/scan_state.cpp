#include "scan/scan_state.h"

#include "catalog/catalog_context.h"
#include "catalog/long_operation.h"
#include "platform/volumes.h"
#include "scan/old_catalog_index.h"

namespace orbisto {

ScanState::ScanState() = default;
ScanState::~ScanState() = default;

Volumes& ScanState::volumes() {
    if (installed_volumes) return *installed_volumes;
    if (!own_volumes_) own_volumes_ = std::make_unique<SystemVolumes>();
    return *own_volumes_;
}

}  // namespace orbisto
