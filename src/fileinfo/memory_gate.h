// One memory budget shared by picture decodes that run at the same time. A
// decode holds the bytes it will allocate while it runs; one that would pass
// the budget waits until others have given theirs back, so that decoding on
// several cores never needs more than one decode alone may have.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace orbisto {

class MemoryGate {
  public:
    explicit MemoryGate(std::size_t budget) : budget_(budget) {}
    MemoryGate(const MemoryGate&) = delete;
    MemoryGate& operator=(const MemoryGate&) = delete;

    // Bytes held until the Hold ends; a hold on no gate holds nothing.
    class Hold {
      public:
        Hold(MemoryGate* gate, std::size_t bytes);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        MemoryGate* gate_;
        std::size_t bytes_;
    };

    std::size_t held() const;

  private:
    void acquire(std::size_t bytes);
    void release(std::size_t bytes);

    const std::size_t budget_;
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::size_t used_ = 0;
};

}  // namespace orbisto
