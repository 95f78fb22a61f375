// What the fixtures of real servers share: a server's own tool run to its
// end, and whether a port takes connections.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tw::test {

// Runs `command` (the program looked up in PATH) with `input` on its standard
// input and its output and errors gathered in files of `folder`, after
// `prepare` in the child; its output. Throws when it fails unless `status`
// takes its exit code.
std::string RunCommand(const std::vector<std::string>& command, const std::string& input,
                       const std::string& folder, int* status,
                       const std::function<void()>& prepare = {});

// Whether a TCP connection to the IPv4 `address` and `port` is taken.
bool Listening(const std::string& address, int port);

} // namespace tw::test
