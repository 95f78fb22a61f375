// A console program's command line and console, the same on every system:
// arguments as UTF-8, output as the bytes written (UTF-8 text, "\n" line
// ends).
#pragma once

#include <string>
#include <vector>

namespace tw::hosts {

// The arguments after the program's name, as UTF-8. On Windows they are read
// from the wide command line, so any path or name reaches the program whole, whatever
// the ANSI code page.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output and error pass bytes through unchanged (a Windows program
// would turn "\n" into "\r\n"); a Windows console shows them as UTF-8.
void PrepareConsole();

} // namespace tw::hosts
