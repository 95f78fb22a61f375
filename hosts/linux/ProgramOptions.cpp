#include "ProgramOptions.h"

#include "hosts/OneLine.h"
#include "hosts/ProgramVersion.h"
#include "platform/SmallFile.h"
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

} // namespace

ProgramOptions ParseProgramOptions(const QStringList& arguments, samr::ArgumentPassword hidden) {
    // The connection options first, as every program reads them; the
    // parser below sees the program's own.
    std::vector<std::string> own;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        own.push_back(arguments[i].toStdString());
    samr::ConnectionOptions connection;
    const std::optional<std::string> connectionError =
        samr::TakeConnectionOptions(own, kValueOptions, std::move(hidden), connection);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Windows accounts, their flags and the account policy, in one window: on the "
        "built-in demo machine, a machine description, or real Windows and Samba servers.");
    const QCommandLineOption help({"h", "help"}, "Shows this help and ends.");
    const QCommandLineOption version({"v", "version"}, "Shows the version and ends.");
    const QCommandLineOption machine("machine", "Starts on the machine described in FILE.", "FILE");
    parser.addOptions({help, version, machine});
    // Named for the help text only: they were taken out above.
    for (const samr::ConnectionOptionName& option : samr::kConnectionOptions) {
        QStringList names;
        if (!option.shortName.empty())
            names << QString::fromUtf8(option.shortName.substr(1));
        names << QString::fromUtf8(option.longName.substr(2));
        parser.addOption(QCommandLineOption(names, QString::fromUtf8(option.help),
                                            QString::fromUtf8(option.valueName)));
    }

    QStringList rest{arguments.value(0, "tarnwick")};
    for (const std::string& argument : own)
        rest << QString::fromStdString(argument);
    if (!parser.parse(rest))
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
        options.text = VersionLine("tarnwick");
        return options;
    }
    if (!parser.positionalArguments().isEmpty())
        return Refused("unexpected argument \"" +
                       parser.positionalArguments().first().toStdString() + "\"");
    if (connectionError)
        return Refused(*connectionError);
    options.connect = connection.connect;
    options.connection = std::move(connection.connection);
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
    return options;
}

} // namespace tw::hosts
