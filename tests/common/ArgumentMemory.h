// A program's arguments in writable memory laid out as a process gets them:
// each NUL-terminated in memory of its own, the program's name first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw::tests {

struct ArgumentMemory {
    explicit ArgumentMemory(std::vector<std::string> given) : text(std::move(given)) {
        for (std::string& argument : text)
            pointers.push_back(argument.data());
    }
    // `program`, then the bytes split at NULs (64 arguments at most).
    ArgumentMemory(const char* program, std::string_view bytes)
        : ArgumentMemory(Split(program, bytes)) {}
    int argc() const { return static_cast<int>(pointers.size()); }

    std::vector<std::string> text;
    std::vector<char*> pointers;

private:
    static std::vector<std::string> Split(const char* program, std::string_view rest) {
        std::vector<std::string> arguments{program};
        while (!rest.empty() && arguments.size() < 64) {
            const std::size_t nul = rest.find('\0');
            arguments.emplace_back(rest.substr(0, nul));
            rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
        }
        return arguments;
    }
};

} // namespace tw::tests
