#include "ScenarioOptions.h"

#include "ScenarioRunner.h"
#include "hosts/OneLine.h"

#include <optional>
#include <utility>

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
ScenarioOptions ParseScenarioOptions(const std::vector<std::string>& given,
                                     samr::ArgumentPassword hidden) {
    // The connection options first, as every program reads them.
    std::vector<std::string> arguments = given;
    samr::ConnectionOptions connection;
    const std::optional<std::string> connectionError =
        samr::TakeConnectionOptions(arguments, kValueOptions, std::move(hidden), connection);
#else
ScenarioOptions ParseScenarioOptions(const std::vector<std::string>& arguments) {
#endif
    ScenarioOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string arg = arguments[i];
        if (arg.rfind("--toolkit=", 0) == 0) {
            options.toolkit = arg.substr(10);
        } else if (arg == "--toolkit") {
            if (i + 1 >= arguments.size())
                return Refused("option --toolkit needs a value");
            options.toolkit = arguments[++i];
        } else if (arg == "-h" || arg == "--help") {
            options.action = ScenarioOptions::Action::Help;
            return options;
        } else if (arg.size() > 1 && arg[0] == '-') {
#ifndef TW_SCENARIO_SAMR
            if (arg == "--connect")
                return Refused("this build does not reach real servers");
#endif
            return Refused("unknown option " + arg);
        } else {
            options.files.push_back(arg);
        }
    }
#ifdef TW_SCENARIO_SAMR
    if (connectionError)
        return Refused(*connectionError);
    options.connect = connection.connect;
    options.connection = std::move(connection.connection);
    // No sign-in dialog here: the credentials must be at hand.
    if (options.connect && !options.connection.HasCredentials())
        return Refused("--connect needs a password (-U NAME%PASSWORD, -A FILE or PASSWD) or -k");
#endif
    return options;
}

} // namespace tw::scenario
