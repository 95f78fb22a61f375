#include "hosts/CommandLine.h"

#include "platform/TextConvert.h"

#ifdef _WIN32
#include "platform/win32/WinHeaders.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#endif

namespace tw::hosts {

#ifdef _WIN32

namespace {

UINT consoleOutputCodePage = 0;

void RestoreConsoleOutputCodePage() {
    ::SetConsoleOutputCP(consoleOutputCodePage);
}

} // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    ::LocalFree(wide);
    return arguments;
}

void PrepareConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DWORD mode = 0;
    if (::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
        // The console's code page belongs to the user: given back at exit.
        consoleOutputCodePage = ::GetConsoleOutputCP();
        if (consoleOutputCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
            std::atexit(&RestoreConsoleOutputCodePage);
    }
}

#else

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareConsole() {}

#endif

} // namespace tw::hosts
