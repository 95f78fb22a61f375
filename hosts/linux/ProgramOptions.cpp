#include "ProgramOptions.h"

#include "hosts/OneLine.h"
#include "hosts/ProgramVersion.h"
#include "platform/SmallFile.h"
#include "platform/samr/KerberosCheck.h"
#include "platform/sim/MachineLoader.h"

#include <QCommandLineParser>

namespace tw::hosts {

namespace {

ProgramOptions Refused(const std::string& why) {
    ProgramOptions options;
    options.action = ProgramOptions::Action::Refuse;
    options.text = OneLine("tarnwick: " + why);
    return options;
}

std::string VersionText() {
    const toolkit::VersionInfo v = ProgramVersion();
    char number[32];
    std::snprintf(number, sizeof number, "%d.%02d.%03d", v.Major, v.Minor, v.Revision);
    return "tarnwick (" + ToUtf8(v.Title) + ") " + number + "\n";
}

} // namespace

ProgramOptions ParseProgramOptions(const QStringList& arguments, samr::ArgumentPassword hidden) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Windows accounts, their flags and the account policy, in one window: on the "
        "built-in demo machine, a machine description, or real Windows and Samba servers.");
    const QCommandLineOption help({"h", "help"}, "Shows this help and ends.");
    const QCommandLineOption version({"v", "version"}, "Shows the version and ends.");
    const QCommandLineOption machine("machine", "Starts on the machine described in FILE.", "FILE");
    const QCommandLineOption connect("connect", "Manages real servers over SAMR.");
    const QCommandLineOption local("local",
                                   "The server that stands for \"Local Computer\" "
                                   "(default 127.0.0.1).",
                                   "HOST");
    const QCommandLineOption port({"p", "port"}, "The SMB port (default 445).", "N");
    const QCommandLineOption user({"U", "user"},
                                  "Signs in as NAME ([DOMAIN\\]NAME[%PASSWORD]; the password "
                                  "leaves the process list at once).",
                                  "NAME");
    const QCommandLineOption file({"A", "authentication-file"},
                                  "Signs in with FILE's username =, password = and domain = "
                                  "lines.",
                                  "FILE");
    const QCommandLineOption kerberos({"k", "kerberos"},
                                      "Signs in with the Kerberos ticket cache.");
    parser.addOptions({help, version, machine, connect, local, port, user, file, kerberos});

    if (!parser.parse(arguments))
        return Refused(parser.errorText().toStdString());
    ProgramOptions options;
    if (parser.isSet(help)) {
        options.action = ProgramOptions::Action::Help;
        // The parser names the program after the application object, and
        // there is none yet.
        QString text = parser.helpText();
        const qsizetype name = text.indexOf("Usage: ") + 7;
        text.replace(name, text.indexOf(" [options]") - name, "tarnwick");
        options.text = text.toStdString();
        return options;
    }
    if (parser.isSet(version)) {
        options.action = ProgramOptions::Action::Version;
        options.text = VersionText();
        return options;
    }
    if (!parser.positionalArguments().isEmpty())
        return Refused("unexpected argument \"" +
                       parser.positionalArguments().first().toStdString() + "\"");

    options.connect = parser.isSet(connect);
    const bool connectionOption = parser.isSet(local) || parser.isSet(port) || parser.isSet(user) ||
                                  parser.isSet(file) || parser.isSet(kerberos);
    if (connectionOption && !options.connect)
        return Refused("the connection options need --connect");
    if (options.connect && parser.isSet(machine))
        return Refused("--machine and --connect exclude each other");

    if (parser.isSet(machine)) {
        options.machineFile = parser.value(machine).toStdString();
        std::string content;
        if (auto why = win::ReadSmallFile(options.machineFile, content))
            return Refused("the machine description " + options.machineFile + " " + *why);
        try {
            sim::loadMachineText(content);
        } catch (const std::exception& error) {
            return Refused(options.machineFile + " is not a machine description: " + error.what());
        }
        options.machineText = std::move(content);
    }
    if (parser.isSet(local))
        options.connection.localHost = parser.value(local).toStdString();
    if (parser.isSet(port)) {
        if (auto error = samr::SetPort(options.connection, parser.value(port).toStdString()))
            return Refused(*error);
    }
    if (parser.isSet(file)) {
        if (auto error =
                samr::LoadAuthenticationFile(options.connection, parser.value(file).toStdString()))
            return Refused(*error);
    }
    if (parser.isSet(user)) {
        if (auto error = samr::SetUser(options.connection, parser.value(user).toStdString()))
            return Refused("-U: " + *error);
    }
    if (hidden.error)
        return Refused(*hidden.error);
    if (hidden.password) {
        options.connection.password = std::move(*hidden.password);
        options.connection.hasPassword = true;
    }
    options.connection.kerberos = parser.isSet(kerberos);
    if (options.connect) {
        if (auto why = samr::KerberosRefusal(options.connection))
            return Refused(*why);
        if (auto error = samr::TakePasswordFromEnvironment(options.connection))
            return Refused(*error);
    }
    return options;
}

} // namespace tw::hosts
