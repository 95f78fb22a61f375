// Authentication files: any bytes as the content of -A's file. Either the
// credentials are taken, every part whole (UTF-8, no NUL, so never cut short
// into another name), or a one-line error names the file and nothing changes.
#include "FuzzCheck.h"
#include "platform/TextConvert.h"
#include "platform/samr/SamrConnection.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace tw;
using tw::fuzz::Require;

namespace {

bool whole(std::string_view text) {
    return text.find('\0') == std::string_view::npos && IsUtf8(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    samr::SamrConnection connection;
    connection.user = "before";
    connection.password.Assign("kept");
    connection.hasPassword = true;
    const auto error = samr::ReadAuthenticationText(connection, content, "auth.conf");
    if (error) {
        Require(error->rfind("the authentication file auth.conf ", 0) == 0, "the file is named");
        Require(error->find('\n') == std::string::npos, "an error is one line");
        Require(connection.user == "before" && connection.domain.empty() &&
                    connection.password.View() == "kept",
                "a refused file changes nothing");
        return 0;
    }
    Require(whole(connection.user) && whole(connection.domain) && whole(connection.password.View()),
            "every part taken is whole UTF-8");
    Require(connection.hasPassword, "a password is still at hand");
    return 0;
}
