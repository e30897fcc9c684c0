#include "fileinfo/memory_gate.h"

#include <algorithm>

namespace orbisto {

MemoryGate::Hold::Hold(MemoryGate* gate, std::size_t bytes) : gate_(gate), bytes_(bytes) {
    if (gate_) gate_->acquire(bytes_);
}

MemoryGate::Hold::~Hold() {
    if (gate_) gate_->release(bytes_);
}

std::size_t MemoryGate::held() const {
    std::lock_guard lock(mutex_);
    return used_;
}

void MemoryGate::acquire(std::size_t bytes) {
    std::unique_lock lock(mutex_);
    // A request larger than the whole budget (the callers check against
    // it first) still runs once nothing else is held, so nobody waits for
    // ever; holders never wait for anything while they hold.
    freed_.wait(lock, [&] { return used_ == 0 || bytes <= budget_ - std::min(used_, budget_); });
    used_ += bytes;
}

void MemoryGate::release(std::size_t bytes) {
    {
        std::lock_guard lock(mutex_);
        used_ -= bytes;
    }
    freed_.notify_all();
}

}  // namespace orbisto
