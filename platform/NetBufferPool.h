// The buffers a network-management layer hands out: one real
// allocation each, tracked until NetApiBufferFree, so that tests see leaks and
// bad frees as counts instead of undefined behaviour.
#pragma once

#include "NetBuffer.h"

#include <cstddef>
#include <memory>
#include <unordered_map>

namespace tw::win {

class NetBufferPool {
public:
    // Zero-filled, aligned for any record.
    void* allocate(std::size_t bytes);
    // False (and counted) when `buffer` is not a live buffer of this pool.
    bool release(void* buffer);
    // allocate() for a NetBufferBuilder.
    NetBufferAllocator allocator() {
        return [this](std::size_t bytes) { return allocate(bytes); };
    }

    std::size_t outstanding() const { return live_.size(); }
    std::size_t badFrees() const { return badFrees_; }

private:
    std::unordered_map<void*, std::unique_ptr<std::max_align_t[]>> live_;
    std::size_t badFrees_ = 0;
};

} // namespace tw::win
