#include "ScenarioOptions.h"

#include "ScenarioRunner.h"
#include "hosts/OneLine.h"

#include <optional>

namespace tw::scenario {

namespace {

ScenarioOptions Refused(const std::string& why) {
    ScenarioOptions options;
    options.action = ScenarioOptions::Action::Refuse;
    options.refusal = hosts::OneLine(why);
    return options;
}

} // namespace

#ifdef TW_SCENARIO_SAMR
ScenarioOptions ParseScenarioOptions(const std::vector<std::string>& arguments,
                                     samr::ArgumentPassword hidden) {
#else
ScenarioOptions ParseScenarioOptions(const std::vector<std::string>& arguments) {
#endif
    ScenarioOptions options;
    bool connectionOption = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string arg = arguments[i];
        std::optional<std::string> value;
        if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
        }
        const bool takesValue = arg == "--toolkit" || arg == "--local" || arg == "-p" ||
                                arg == "--port" || arg == "-U" || arg == "--user" || arg == "-A" ||
                                arg == "--authentication-file";
        if (takesValue && !value) {
            if (i + 1 >= arguments.size())
                return Refused("option " + arg + " needs a value");
            value = arguments[++i];
        }
        if (arg == "--toolkit") {
            options.toolkit = *value;
        } else if (arg == "-h" || arg == "--help") {
            options.action = ScenarioOptions::Action::Help;
            return options;
        } else if (arg == "--connect") {
            options.connect = true;
        } else if (takesValue || arg == "-k" || arg == "--kerberos") {
#ifdef TW_SCENARIO_SAMR
            connectionOption = true;
            samr::SamrConnection& connection = options.connection;
            if (arg == "--local") {
                connection.localHost = *value;
            } else if (arg == "-p" || arg == "--port") {
                if (auto error = samr::SetPort(connection, *value))
                    return Refused(*error);
            } else if (arg == "-U" || arg == "--user") {
                if (auto error = samr::SetUser(connection, *value))
                    return Refused(arg + ": " + *error);
            } else if (arg == "-A" || arg == "--authentication-file") {
                if (auto error = samr::LoadAuthenticationFile(connection, *value))
                    return Refused(*error);
            } else {
                connection.kerberos = true;
            }
#else
            return Refused("this build does not reach real servers: " + arg);
#endif
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Refused("unknown option " + arg);
        } else {
            options.files.push_back(arg);
        }
    }
    if (connectionOption && !options.connect)
        return Refused("the connection options need --connect");
    if (options.connect && !CanConnect())
        return Refused("this build does not reach real servers");
#ifdef TW_SCENARIO_SAMR
    if (hidden.error)
        return Refused(*hidden.error);
    if (hidden.password) {
        options.connection.password = std::move(*hidden.password);
        options.connection.hasPassword = true;
    }
    if (options.connect) {
        if (auto error = samr::TakePasswordFromEnvironment(options.connection))
            return Refused(*error);
        if (!options.connection.HasCredentials())
            return Refused(
                "--connect needs a password (-U NAME%PASSWORD, -A FILE or PASSWD) or -k");
        if (auto why = samr::KerberosRefusal(options.connection))
            return Refused(*why);
    }
#endif
    return options;
}

} // namespace tw::scenario
