#include "Secret.h"

#include <string.h> // explicit_bzero

#include <utility>

namespace tw::samr {

Secret& Secret::operator=(const Secret& other) {
    if (this != &other)
        Assign(other.View());
    return *this;
}

Secret& Secret::operator=(Secret&& other) noexcept {
    if (this != &other) {
        Wipe();
        bytes_ = std::move(other.bytes_);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void Secret::Assign(std::string_view text) {
    Wipe();
    bytes_ = std::make_unique<char[]>(text.size() + 1);
    text.copy(bytes_.get(), text.size());
    bytes_[text.size()] = '\0';
    size_ = text.size();
}

void Secret::Wipe() {
    if (bytes_)
        explicit_bzero(bytes_.get(), size_ + 1);
    bytes_.reset();
    size_ = 0;
}

} // namespace tw::samr
