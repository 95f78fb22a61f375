// Reading a file the user names (a machine description, a scenario, a
// language file, an authentication file) whole and safely: a FIFO or a
// device never blocks the open, only a regular file is read, and never more
// than a limit, so a huge or endless file cannot fill the memory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace tw::win {

constexpr std::size_t kSmallFileLimit = 1 << 20;

// Reads the file at `path` into `bytes`. Why it could not otherwise
// ("is not a regular file", "is larger than 1 MB", "cannot be opened: ..."),
// to follow the file's name in a message; `bytes` is empty then.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::string& bytes,
                                         std::size_t limit = kSmallFileLimit);

// Overwrites a text that may hold a secret (a file's content, a password),
// then empties it.
void Forget(std::string& bytes);

// "1 MB", "64 KB", "100 bytes": a limit as messages name it.
std::string SizeText(std::size_t bytes);

} // namespace tw::win
