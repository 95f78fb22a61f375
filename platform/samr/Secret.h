// A password as the program holds it: in one buffer of its own that is
// overwritten whenever the text is replaced or let go, so no copy of it is
// left behind in freed memory. Moving hands the buffer on; copying makes a
// second one, wiped in its turn.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <utility>

namespace tw::samr {

class Secret {
public:
    Secret() = default;
    explicit Secret(std::string_view text) { Assign(text); }
    Secret(const Secret& other) { Assign(other.View()); }
    Secret(Secret&& other) noexcept
        : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0)) {}
    Secret& operator=(const Secret& other);
    Secret& operator=(Secret&& other) noexcept;
    ~Secret() { Wipe(); }

    // Replaces the text; the old one is overwritten first.
    void Assign(std::string_view text);
    // Overwrites the text and leaves it empty.
    void Wipe();

    std::string_view View() const { return {bytes_.get() ? bytes_.get() : "", size_}; }
    // Terminated, for the C interface.
    const char* c_str() const { return bytes_ ? bytes_.get() : ""; }
    bool empty() const { return size_ == 0; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
};

} // namespace tw::samr
