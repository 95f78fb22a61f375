// How to reach and sign in to the servers whose accounts the SAMR backend
// manages, and the ways an administrator gives them: a user name (with
// Samba's "NAME%PASSWORD" form), Samba's authentication file and the
// PASSWD variable.
#pragma once

#include "Secret.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tw::samr {

// The largest authentication file read: a few short lines.
constexpr std::size_t kAuthenticationFileLimit = 64 * 1024;

struct SamrConnection {
    std::string localHost = "127.0.0.1"; // the server that stands for the local computer
    int port = 445;
    std::string user;   // empty: the running user
    std::string domain; // empty: the server's own
    Secret password;
    bool hasPassword = false;
    bool kerberos = false;
    // How long a connection, and each call on it, waits for the server to
    // answer; 0 is the standard limit (tests shorten it).
    int answerSeconds = 0;

    // Whether a password or a ticket is at hand, so that a call can sign in.
    bool HasCredentials() const { return kerberos || hasPassword; }
};

// "[DOMAIN\]NAME[%PASSWORD]", as Samba's tools take -U. Why it cannot be
// used (a part that holds a NUL or is not UTF-8, never the part itself);
// nothing is changed then.
std::optional<std::string> SetUser(SamrConnection& connection, std::string_view text);

// The SMB port as a command line gives it: a whole number from 1 to 65535.
// An error text otherwise, and the port stays as it was.
std::optional<std::string> SetPort(SamrConnection& connection, const std::string& text);

// Reads "username =", "password =" and "domain =" lines (Samba's format; the
// user name may be "DOMAIN\NAME"). An error text naming the file (and the
// line) when it is missing, no regular file, larger than 64 KB, not such a
// file, or holds a value that is not UTF-8 or holds a NUL; nothing is
// changed then.
std::optional<std::string> LoadAuthenticationFile(SamrConnection& connection,
                                                  const std::string& path);

// The same from the file's content, read already; `path` names it in errors.
std::optional<std::string> ReadAuthenticationText(SamrConnection& connection,
                                                  std::string_view content,
                                                  const std::string& path);

// Without a password or a ticket, the password in the environment variable
// PASSWD, as Samba's tools take it. The variable's text is overwritten where
// the environment holds it and the variable removed, whether it is taken or
// not. An error text when it is not UTF-8.
std::optional<std::string> TakePasswordFromEnvironment(SamrConnection& connection);

} // namespace tw::samr
