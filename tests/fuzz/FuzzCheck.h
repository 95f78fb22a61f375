// What the fuzz targets share: a failed property stops the run loudly, so
// that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tw::fuzz {

inline void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", what);
        std::abort();
    }
}

// A program's arguments from fuzz input split at NUL bytes, as a process gets
// them: each in writable memory of its own, NUL-terminated, `program` first.
struct FuzzArguments {
    FuzzArguments(const char* program, const std::uint8_t* data, std::size_t size)
        : memory{program} {
        std::string_view rest(reinterpret_cast<const char*>(data), size);
        while (!rest.empty() && memory.size() < 64) {
            const std::size_t nul = rest.find('\0');
            memory.emplace_back(rest.substr(0, nul));
            rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
        }
        for (std::string& argument : memory)
            argv.push_back(argument.data());
    }
    int argc() const { return static_cast<int>(argv.size()); }

    std::vector<std::string> memory;
    std::vector<char*> argv;
};

} // namespace tw::fuzz
