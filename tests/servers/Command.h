// What the fixtures of real servers share: a server's own tool run to its
// end, a server process started and stopped, and whether a port takes
// connections.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace tw::test {

// Runs `command` (the program looked up in PATH) with `input` on its standard
// input and its output and errors gathered in files of `folder`, after
// `prepare` in the child; its output, with its errors unless `errors` takes
// them apart. Throws when it fails unless `status` takes its exit code.
std::string RunCommand(const std::vector<std::string>& command, const std::string& input,
                       const std::string& folder, int* status,
                       const std::function<void()>& prepare = {}, std::string* errors = nullptr);

// Starts `command` in a process group of its own that dies with this
// process, its output and errors appended to `log` (thrown away when it is
// empty), after `prepare` in the child; its process ID.
pid_t StartGroup(const std::vector<std::string>& command, const std::string& log = {},
                 const std::function<void()>& prepare = {});
// Asks the group to end, gives it 5 s, kills what is left of it and reaps
// the process StartGroup started.
void StopGroup(pid_t pid);

// Whether a TCP connection to the IPv4 `address` and `port` is taken.
bool Listening(const std::string& address, int port);

} // namespace tw::test
