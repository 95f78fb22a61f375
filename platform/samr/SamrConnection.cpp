#include "SamrConnection.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

void setName(SamrConnection& connection, std::string_view name) {
    auto slash = name.find('\\');
    if (slash == std::string_view::npos)
        slash = name.find('/');
    if (slash != std::string_view::npos) {
        connection.domain = std::string(name.substr(0, slash));
        name.remove_prefix(slash + 1);
    }
    connection.user = std::string(name);
}

} // namespace

SamrConnection::~SamrConnection() {
    Wipe(password);
}

void Wipe(std::string& secret) {
    if (!secret.empty())
        explicit_bzero(secret.data(), secret.size());
    secret.clear();
}

void TakePasswordFromEnvironment(SamrConnection& connection) {
    const char* password = std::getenv("PASSWD");
    if (connection.HasCredentials() || password == nullptr)
        return;
    connection.password = password;
    connection.hasPassword = true;
    unsetenv("PASSWD");
}

std::optional<std::string> SetPort(SamrConnection& connection, const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos || std::stoi(text) < 1 ||
        std::stoi(text) > 65535)
        return "the port must be a number from 1 to 65535, not \"" + text + "\"";
    connection.port = std::stoi(text);
    return std::nullopt;
}

void SetUser(SamrConnection& connection, std::string_view text) {
    auto percent = text.find('%');
    if (percent != std::string_view::npos) {
        Wipe(connection.password);
        connection.password = std::string(text.substr(percent + 1));
        connection.hasPassword = true;
        text = text.substr(0, percent);
    }
    setName(connection, text);
}

std::optional<std::string> LoadAuthenticationFile(SamrConnection& connection,
                                                  const std::string& path) {
    std::error_code ignored;
    std::ifstream file(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, ignored) || !file)
        return "cannot read the authentication file " + path;
    SamrConnection read = connection;
    bool any = false;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::string_view text = trimmed(line);
        if (text.empty() || text[0] == '#' || text[0] == ';')
            continue;
        auto equals = text.find('=');
        std::string_view key = trimmed(text.substr(0, equals));
        if (equals == std::string_view::npos ||
            (key != "username" && key != "password" && key != "domain")) {
            Wipe(line);
            Wipe(read.password);
            return "the authentication file " + path + " is not one (line " +
                   std::to_string(number) +
                   "): it takes \"username =\", \"password =\" and \"domain =\" lines";
        }
        std::string_view value = trimmed(text.substr(equals + 1));
        if (key == "username") {
            setName(read, value);
        } else if (key == "domain") {
            read.domain = std::string(value);
        } else {
            Wipe(read.password);
            read.password = std::string(value);
            read.hasPassword = true;
        }
        any = true;
        Wipe(line);
    }
    if (!any)
        return "the authentication file " + path + " names no user";
    connection = read;
    Wipe(read.password);
    return std::nullopt;
}

} // namespace tw::samr
