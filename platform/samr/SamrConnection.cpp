#include "SamrConnection.h"

#include "platform/SmallFile.h"
#include "platform/TextConvert.h"

#include <cstdlib>
#include <string.h> // explicit_bzero

namespace tw::samr {

namespace {

std::string_view trimmed(std::string_view text) {
    const char* blanks = " \t\r\n";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Why a name, domain or password cannot be sent as given: a NUL would cut
// it short (another name), bytes that are not UTF-8 would reach the server
// as some other text or not at all.
std::optional<std::string> unusable(std::string_view what, std::string_view text) {
    if (text.find('\0') != std::string_view::npos)
        return std::string(what) + " holds a NUL character";
    if (!IsUtf8(text))
        return std::string(what) + " is not valid UTF-8";
    return std::nullopt;
}

// "[DOMAIN\]NAME" into `user` and, when it names one, `domain`; unchanged
// when a part cannot be used.
std::optional<std::string> setName(std::string& user, std::string& domain, std::string_view name) {
    auto slash = name.find('\\');
    if (slash == std::string_view::npos)
        slash = name.find('/');
    std::optional<std::string_view> named;
    if (slash != std::string_view::npos) {
        named = name.substr(0, slash);
        name.remove_prefix(slash + 1);
        if (auto why = unusable("the domain", *named))
            return why;
    }
    if (auto why = unusable("the user name", name))
        return why;
    if (named)
        domain = std::string(*named);
    user = std::string(name);
    return std::nullopt;
}

} // namespace

std::optional<std::string> TakePasswordFromEnvironment(SamrConnection& connection) {
    char* password = std::getenv("PASSWD");
    if (password == nullptr)
        return std::nullopt;
    const std::string_view text(password);
    std::optional<std::string> why = unusable("PASSWD", text);
    if (!why && !connection.HasCredentials()) {
        connection.password.Assign(text);
        connection.hasPassword = true;
    }
    // The environment block itself, which /proc/PID/environ shows, not only the variable.
    explicit_bzero(password, text.size());
    unsetenv("PASSWD");
    return why;
}

std::optional<std::string> SetPort(SamrConnection& connection, const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos || std::stoi(text) < 1 ||
        std::stoi(text) > 65535)
        return "the port must be a number from 1 to 65535, not \"" + text + "\"";
    connection.port = std::stoi(text);
    return std::nullopt;
}

std::optional<std::string> SetUser(SamrConnection& connection, std::string_view text) {
    const auto percent = text.find('%');
    if (percent != std::string_view::npos) {
        if (auto why = unusable("the password", text.substr(percent + 1)))
            return why;
    }
    if (auto why = setName(connection.user, connection.domain, text.substr(0, percent)))
        return why;
    if (percent != std::string_view::npos) {
        connection.password.Assign(text.substr(percent + 1));
        connection.hasPassword = true;
    }
    return std::nullopt;
}

std::optional<std::string> LoadAuthenticationFile(SamrConnection& connection,
                                                  const std::string& path) {
    std::string content;
    if (auto why = win::ReadSmallFile(path, content, kAuthenticationFileLimit))
        return "the authentication file " + path + " " + *why;
    std::optional<std::string> error = ReadAuthenticationText(connection, content, path);
    win::Forget(content);
    return error;
}

std::optional<std::string> ReadAuthenticationText(SamrConnection& connection,
                                                  std::string_view content,
                                                  const std::string& path) {
    std::string user = connection.user, domain = connection.domain;
    Secret password;
    bool any = false, hasPassword = false;
    std::optional<std::string> error;
    std::string_view rest = content;
    if (content.size() > kAuthenticationFileLimit)
        return "the authentication file " + path + " is larger than " +
               win::SizeText(kAuthenticationFileLimit);
    for (int number = 1; !rest.empty() && !error; ++number) {
        const auto end = rest.find('\n');
        std::string_view text = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (text.empty() || text[0] == '#' || text[0] == ';')
            continue;
        const std::string at =
            "the authentication file " + path + " (line " + std::to_string(number) + ")";
        const auto equals = text.find('=');
        const std::string_view key = trimmed(text.substr(0, equals));
        if (equals == std::string_view::npos ||
            (key != "username" && key != "password" && key != "domain")) {
            error = "the authentication file " + path + " is not one (line " +
                    std::to_string(number) +
                    "): it takes \"username =\", \"password =\" and \"domain =\" lines";
            break;
        }
        const std::string_view value = trimmed(text.substr(equals + 1));
        if (key == "username") {
            if (auto why = setName(user, domain, value))
                error = at + ": " + *why;
        } else if (key == "domain") {
            if (auto why = unusable("the domain", value))
                error = at + ": " + *why;
            domain = std::string(value);
        } else {
            if (auto why = unusable("the password", value))
                error = at + ": " + *why;
            password.Assign(value);
            hasPassword = true;
        }
        any = true;
    }
    if (error)
        return error;
    if (!any)
        return "the authentication file " + path + " names no user";
    connection.user = std::move(user);
    connection.domain = std::move(domain);
    if (hasPassword) {
        connection.password = std::move(password);
        connection.hasPassword = true;
    }
    return std::nullopt;
}

} // namespace tw::samr
