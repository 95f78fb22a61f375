// tarnwick-scenario [--toolkit headless|qt|win32] [--connect OPTIONS] FILE...
// Runs each scenario file against the window's real logic on the simulated
// platform, or with --connect on real servers over SAMR; prints PASS/FAIL per
// file and a total; exits 0 only when all passed, 2 for a bad command line.
// The output and the exit code are the same on every system and toolkit.
#include "CommandLine.h"
#include "ScenarioRunner.h"

#ifdef TW_SCENARIO_SAMR
#include "platform/samr/SamrConnection.h"
#ifdef TW_SCENARIO_SAMR
#include "platform/samr/KerberosCheck.h"
#endif
#endif

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

void Usage(std::FILE* out) {
    std::fprintf(out, "usage: tarnwick-scenario [--toolkit %s] FILE...\n",
                 tw::scenario::AvailableToolkits());
    if (tw::scenario::CanConnect()) {
        std::fprintf(
            out,
            "       tarnwick-scenario [--toolkit ...] --connect [--local HOST] [-p PORT]\n"
            "           [-U [DOMAIN\\]NAME[%%PASSWORD]] [-A FILE] [-k] FILE...\n"
            "  --connect                   run on real servers over SAMR\n"
            "  --local HOST                the server for \"Local Computer\" (127.0.0.1)\n"
            "  -p, --port N                the SMB port (445)\n"
            "  -U, --user [DOMAIN\\]NAME    sign in as NAME (NAME%%PASSWORD, or PASSWD holds it)\n"
            "  -A, --authentication-file F username =, password =, domain = lines\n"
            "  -k, --kerberos              sign in with the Kerberos ticket cache\n");
    }
}

int Refuse(const std::string& message) {
    std::fprintf(stderr, "tarnwick-scenario: %s\n", message.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    tw::scenario::PrepareConsole();
    const std::vector<std::string> arguments = tw::scenario::Utf8Arguments(argc, argv);
    std::string toolkitName = "headless";
    std::vector<std::string> files;
    bool connect = false, connectionOption = false;
#ifdef TW_SCENARIO_SAMR
    tw::samr::SamrConnection connection;
#endif
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
                return Refuse("option " + arg + " needs a value");
            value = arguments[++i];
        }
        if (arg == "--toolkit") {
            toolkitName = *value;
        } else if (arg == "-h" || arg == "--help") {
            Usage(stdout);
            return 0;
        } else if (arg == "--connect") {
            connect = true;
        } else if (takesValue || arg == "-k" || arg == "--kerberos") {
#ifdef TW_SCENARIO_SAMR
            connectionOption = true;
            if (arg == "--local") {
                connection.localHost = *value;
            } else if (arg == "-p" || arg == "--port") {
                if (auto error = tw::samr::SetPort(connection, *value))
                    return Refuse(*error);
            } else if (arg == "-U" || arg == "--user") {
                tw::samr::SetUser(connection, *value);
            } else if (arg == "-A" || arg == "--authentication-file") {
                if (auto error = tw::samr::LoadAuthenticationFile(connection, *value))
                    return Refuse(*error);
            } else {
                connection.kerberos = true;
            }
#else
            return Refuse("this build does not reach real servers: " + arg);
#endif
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Refuse("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (connectionOption && !connect)
        return Refuse("the connection options need --connect");
    if (connect && !tw::scenario::CanConnect())
        return Refuse("this build does not reach real servers");
#ifdef TW_SCENARIO_SAMR
    if (connect)
        tw::samr::TakePasswordFromEnvironment(connection);
    if (connect && !connection.HasCredentials())
        return Refuse("--connect needs a password (-U NAME%PASSWORD, -A FILE or PASSWD) or -k");
    if (connect && connection.kerberos) {
        const tw::samr::KerberosProblem problem = tw::samr::CheckKerberos(connection.localHost);
        if (problem != tw::samr::KerberosProblem::None)
            return Refuse(tw::samr::Describe(problem, connection.localHost));
    }
    const tw::samr::SamrConnection* target = connect ? &connection : nullptr;
#else
    const tw::samr::SamrConnection* target = nullptr;
#endif
    const tw::scenario::ToolkitFactory factory =
        tw::scenario::ToolkitNamed(toolkitName, argc, argv);
    if (factory == nullptr) {
        std::fprintf(stderr, "tarnwick-scenario: toolkit \"%s\" is not available here\n",
                     toolkitName.c_str());
        return 2;
    }
    if (files.empty()) {
        Usage(stderr);
        return 2;
    }
    int passed = 0;
    int failed = 0;
    for (const std::string& file : files) {
        const tw::scenario::ScenarioResult result =
            tw::scenario::RunScenarioFile(file, factory, target);
        if (result.passed) {
            ++passed;
            std::printf("PASS %s\n", result.name.c_str());
        } else {
            ++failed;
            std::printf("FAIL %s: %s\n", result.name.c_str(), result.message.c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
