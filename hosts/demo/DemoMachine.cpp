#include "DemoMachine.h"

#include <cctype>
#include <utility>

namespace tw::demo {

extern const char* const kDemoMachine;

namespace {

std::string JsonEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out;
}

} // namespace

std::string DemoMachineText(const std::string& userName, const std::string& computerName) {
    std::string text = kDemoMachine;
    const std::pair<std::string, std::string> names[] = {
        {"@USER@", JsonEscaped(userName.empty() ? "demo" : userName)},
        {"@COMPUTER@", JsonEscaped(computerName.empty() ? "DEMO-PC" : computerName)}};
    for (const auto& [from, to] : names) {
        for (auto at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace tw::demo
