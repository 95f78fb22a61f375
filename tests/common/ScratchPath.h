// A path in the temporary folder that belongs to this test process alone.
// CTest runs each test case as its own process, several at a time, so a fixed
// name would let one case's set-up truncate the file another case is reading.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

namespace tw::tests {

inline std::string ScratchPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / (name + "." + std::to_string(getpid()));
}

} // namespace tw::tests
