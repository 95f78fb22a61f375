// The command-line options that reach real servers, read the same way by
// every program that has them, and as Samba's tools read theirs: in the
// order given, a later option replacing what an earlier one set, field by
// field. "-A FILE -U bob" signs in as bob with the file's password;
// "-U bob -A FILE" as the file's user.
#pragma once

#include "ArgumentPassword.h"
#include "SamrConnection.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw::samr {

struct ConnectionOptionName {
    std::string_view shortName; // "-p"; empty: none
    std::string_view longName;  // "--port"
    std::string_view valueName; // "N"; empty: the option takes no value
    std::string_view help;      // one line
};

// --connect, --local, -p, -U, -A and -k.
extern const std::array<ConnectionOptionName, 6> kConnectionOptions;

// The connection options that take a value, besides -U: the values
// HidePasswordArguments skips.
std::vector<std::string_view> ConnectionValueOptions();

struct ConnectionOptions {
    bool connect = false; // --connect
    bool given = false;   // an option besides --connect
    SamrConnection connection;
};

// Takes the connection options out of `arguments` (the program's own stay,
// in their order, the values of `ownValueOptions` among them whatever they
// read) and reads them onto `options`. `hidden` is what HidePasswordArguments
// took out of the same arguments: each -U's password, in order. Then: a
// connection option without --connect is an error; with --connect, PASSWD
// serves when no password was given, and a Kerberos sign-in that cannot work
// is refused. An error text of one line when an option cannot be used.
std::optional<std::string> TakeConnectionOptions(std::vector<std::string>& arguments,
                                                 std::span<const std::string_view> ownValueOptions,
                                                 ArgumentPassword hidden,
                                                 ConnectionOptions& options);

} // namespace tw::samr
