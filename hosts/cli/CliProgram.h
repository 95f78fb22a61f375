// tarnwick-cli's commands on a platform: the account service, the policy
// rules and the error texts of the window, printed for scripts as text or
// JSON. Exit statuses: 0 done, 1 a call failed (or a write was not kept),
// 2 a bad command line or a value outside its field's range.
#pragma once

#include "CliCommand.h"

#include "account/CNetUser.h"
#include "common/mCommon.h"
#include "platform/Platform.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

namespace tw::cli {

class CliProgram {
public:
    // `progressOnTerminal`: standard error is a terminal, where a listing
    // that takes longer than a second shows how far it got.
    CliProgram(win::Platform& platform, mCommon& common, std::ostream& out, std::ostream& err,
               bool progressOnTerminal = false);

    int Run(const CliCommand& command);

private:
    int UserList(const CliCommand& command);
    int UserShow(const CliCommand& command);
    int UserSet(const CliCommand& command);
    int PolicyShow(const CliCommand& command);
    int PolicySet(const CliCommand& command);
    int ExpiryWarning(const CliCommand& command);

    // A failed call: its status text on standard error, and with --json the
    // error object on standard output; exit status 1.
    int Failed(const CliCommand& command, std::int32_t status);
    // The same with the message given (a RuntimeError's description).
    int Failed(const CliCommand& command, std::int32_t status, const std::string& message);
    int Refused(const std::string& text);
    // Why the account's change-password right cannot be read or written
    // here; none where it can.
    std::optional<std::u16string> ChangeRightUnknown();
    std::string Text(std::u16string_view key, std::u16string_view def,
                     std::initializer_list<LocArg> args = {});
    // A control's caption from the language file, as the window shows it.
    std::string Caption(std::u16string_view control, std::u16string_view english);
    // A policy field as the window's messages name it, in the language file's words.
    std::u16string LocalFieldName(PolicyField field);
    std::string DateText(double serial);

    win::Platform& platform_;
    mCommon& common_;
    CNetUser user_;
    std::ostream& out_;
    std::ostream& err_;
    bool progressOnTerminal_;
};

} // namespace tw::cli
