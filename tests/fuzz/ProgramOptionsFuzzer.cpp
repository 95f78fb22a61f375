// tarnwick's command line: any arguments (split at NUL bytes, as a process
// gets them) through the same steps as its main: the password of -U taken out
// of the argument memory, then the parser. It never crashes or hangs; a
// refusal is one line; what it takes to sign in is whole UTF-8.
#include "FuzzCheck.h"
#include "common/ArgumentMemory.h"
#include "hosts/linux/ProgramOptions.h"
#include "platform/TextConvert.h"

#include <string>
#include <vector>

using namespace tw;
using tw::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tests::ArgumentMemory given("tarnwick", {reinterpret_cast<const char*>(data), size});
    samr::ArgumentPassword hidden =
        samr::HidePasswordArguments(given.argc(), given.pointers.data(), hosts::kValueOptions);
    QStringList arguments;
    for (char* argument : given.pointers)
        arguments << QString::fromUtf8(argument);
    const hosts::ProgramOptions options = hosts::ParseProgramOptions(arguments, std::move(hidden));
    if (options.action == hosts::ProgramOptions::Action::Refuse) {
        Require(options.text.rfind("tarnwick: ", 0) == 0, "a refusal names the program");
        Require(options.text.find('\n') == std::string::npos, "a refusal is one line");
    }
    if (options.action == hosts::ProgramOptions::Action::Run && options.connect) {
        const samr::SamrConnection& c = options.connection;
        Require(IsUtf8(c.user) && c.user.find('\0') == std::string::npos && IsUtf8(c.domain) &&
                    IsUtf8(c.password.View()),
                "credentials are whole UTF-8");
    }
    return 0;
}
