#include "NetBufferPool.h"

namespace tw::win {

void* NetBufferPool::allocate(std::size_t bytes) {
    std::size_t units = (bytes + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
    auto block = std::make_unique<std::max_align_t[]>(units == 0 ? 1 : units);
    void* address = block.get();
    live_.emplace(address, std::move(block));
    return address;
}

bool NetBufferPool::release(void* buffer) {
    auto it = live_.find(buffer);
    if (it == live_.end()) {
        ++badFrees_;
        return false;
    }
    live_.erase(it);
    return true;
}

} // namespace tw::win
