#include "ConnectionOptions.h"

#include "KerberosCheck.h"

#include <algorithm>

namespace tw::samr {

const std::array<ConnectionOptionName, 6> kConnectionOptions = {{
    {"", "--connect", "", "Manages real servers over SAMR."},
    {"", "--local", "HOST", "The server that stands for \"Local Computer\" (default 127.0.0.1)."},
    {"-p", "--port", "N", "The SMB port (default 445)."},
    {"-U", "--user", "NAME",
     "Signs in as NAME ([DOMAIN\\]NAME[%PASSWORD]; the password leaves the process list at "
     "once)."},
    {"-A", "--authentication-file", "FILE",
     "Signs in with FILE's username =, password = and domain = lines."},
    {"-k", "--kerberos", "", "Signs in with Kerberos: the ticket cache, or a ticket made from the password."},
}};

namespace {

// The option `argument` names, and its value when attached ("-p445",
// "--port=445"); null when it names none of them.
const ConnectionOptionName* named(std::string_view argument, std::optional<std::string>& value) {
    for (const ConnectionOptionName& option : kConnectionOptions) {
        if (argument == option.longName ||
            (!option.shortName.empty() && argument == option.shortName))
            return &option;
        if (option.valueName.empty())
            continue;
        const std::string attached = std::string(option.longName) + "=";
        if (argument.starts_with(attached)) {
            value = std::string(argument.substr(attached.size()));
            return &option;
        }
        if (!option.shortName.empty() && argument.size() > 2 &&
            argument.starts_with(option.shortName)) {
            value = std::string(argument.substr(2));
            return &option;
        }
    }
    return nullptr;
}

std::optional<std::string> apply(const ConnectionOptionName& option, const std::string& value,
                                 std::optional<Secret> password, ConnectionOptions& options) {
    SamrConnection& connection = options.connection;
    if (option.longName == "--connect") {
        options.connect = true;
        return std::nullopt;
    }
    options.given = true;
    if (option.longName == "--local") {
        connection.localHost = value;
    } else if (option.longName == "--port") {
        return SetPort(connection, value);
    } else if (option.longName == "--user") {
        if (auto error = SetUser(connection, value))
            return "-U: " + *error;
        if (password) {
            connection.password = std::move(*password);
            connection.hasPassword = true;
        }
    } else if (option.longName == "--authentication-file") {
        return LoadAuthenticationFile(connection, value);
    } else {
        connection.kerberos = true;
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string_view> ConnectionValueOptions() {
    std::vector<std::string_view> names;
    for (const ConnectionOptionName& option : kConnectionOptions) {
        if (option.valueName.empty() || option.longName == "--user")
            continue;
        if (!option.shortName.empty())
            names.push_back(option.shortName);
        names.push_back(option.longName);
    }
    return names;
}

std::optional<std::string> TakeConnectionOptions(std::vector<std::string>& arguments,
                                                 std::span<const std::string_view> ownValueOptions,
                                                 ArgumentPassword hidden,
                                                 ConnectionOptions& options) {
    // Every connection option leaves the arguments, also after one that
    // cannot be used: the program reads only its own. The first error counts.
    std::vector<std::string> own;
    std::optional<std::string> error;
    std::size_t users = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::optional<std::string> value;
        const ConnectionOptionName* option = named(arguments[i], value);
        if (option == nullptr) {
            own.push_back(arguments[i]);
            // The value of one of the program's own options is never an option.
            if (std::find(ownValueOptions.begin(), ownValueOptions.end(), arguments[i]) !=
                    ownValueOptions.end() &&
                i + 1 < arguments.size())
                own.push_back(arguments[++i]);
            continue;
        }
        if (!option->valueName.empty() && !value) {
            if (i + 1 >= arguments.size()) {
                error = error.value_or("Missing value after '" + arguments[i] + "'.");
                break;
            }
            value = arguments[++i];
        }
        std::optional<Secret> password;
        if (option->longName == "--user" && users < hidden.passwords.size())
            password = std::move(hidden.passwords[users]);
        users += option->longName == "--user" ? 1 : 0;
        if (auto why = apply(*option, value.value_or(""), std::move(password), options))
            error = error.value_or(*why);
    }
    arguments = std::move(own);
    if (hidden.error)
        return hidden.error;
    if (error)
        return error;
    if (options.given && !options.connect)
        return "the connection options need --connect";
    if (!options.connect)
        return std::nullopt;
    if (auto why = KerberosRefusal(options.connection))
        return why;
    return TakePasswordFromEnvironment(options.connection);
}

} // namespace tw::samr
