#include "ArgumentPassword.h"

#include "ConnectionOptions.h"

#include "platform/TextConvert.h"

#include <algorithm>
#include <cstring>
#include <string.h> // explicit_bzero

namespace tw::samr {

namespace {

// The value of -U within `argument` when it carries one itself.
char* attachedUserValue(char* argument) {
    if (std::strncmp(argument, "--user=", 7) == 0)
        return argument + 7;
    if (std::strncmp(argument, "-U", 2) == 0 && argument[2] != '\0')
        return argument + 2;
    return nullptr;
}

} // namespace

ArgumentPassword HidePasswordArguments(int argc, char** argv,
                                       std::span<const std::string_view> ownValueOptions) {
    std::vector<std::string_view> valueOptions = ConnectionValueOptions();
    valueOptions.insert(valueOptions.end(), ownValueOptions.begin(), ownValueOptions.end());
    ArgumentPassword taken;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        char* value = attachedUserValue(argv[i]);
        if (value == nullptr && (argument == "-U" || argument == "--user") && i + 1 < argc)
            value = argv[++i];
        else if (value == nullptr && std::find(valueOptions.begin(), valueOptions.end(),
                                               argument) != valueOptions.end())
            ++i; // the value of another option, even when it reads "-U"
        if (value == nullptr)
            continue;
        char* percent = std::strchr(value, '%');
        // Read as text of the locale later: bytes that are not UTF-8 would
        // become another name.
        if (!IsUtf8(std::string_view(value, percent ? percent - value : std::strlen(value))))
            taken.error = "the user name of -U is not valid UTF-8";
        std::optional<Secret>& password = taken.passwords.emplace_back();
        if (percent == nullptr)
            continue;
        const std::string_view text(percent + 1);
        if (!IsUtf8(text))
            taken.error = "the password of -U is not valid UTF-8";
        else
            password.emplace(text);
        explicit_bzero(percent, text.size() + 1);
    }
    if (taken.error)
        taken.passwords.clear();
    return taken;
}

} // namespace tw::samr
