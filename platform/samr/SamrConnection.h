// How to reach and sign in to the servers whose accounts the SAMR backend
// manages, and the two ways an administrator gives them: a user name (with
// Samba's "NAME%PASSWORD" form) and Samba's authentication file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw::samr {

struct SamrConnection {
    std::string localHost = "127.0.0.1"; // the server that stands for the local computer
    int port = 445;
    std::string user;   // empty: the running user
    std::string domain; // empty: the server's own
    std::string password;
    bool hasPassword = false;
    bool kerberos = false;

    SamrConnection() = default;
    SamrConnection(const SamrConnection&) = default;
    SamrConnection& operator=(const SamrConnection&) = default;
    ~SamrConnection(); // wipes the password

    // Whether a password or a ticket is at hand, so that a call can sign in.
    bool HasCredentials() const { return kerberos || hasPassword; }
};

// "[DOMAIN\]NAME[%PASSWORD]", as Samba's tools take -U.
void SetUser(SamrConnection& connection, std::string_view text);

// The SMB port as a command line gives it: a whole number from 1 to 65535.
// An error text otherwise, and the port stays as it was.
std::optional<std::string> SetPort(SamrConnection& connection, const std::string& text);

// Reads "username =", "password =" and "domain =" lines (Samba's format; the
// user name may be "DOMAIN\NAME"). An error text naming the file when it is
// missing, unreadable or not such a file; nothing is changed then.
std::optional<std::string> LoadAuthenticationFile(SamrConnection& connection,
                                                  const std::string& path);

// Without a password or a ticket, the password in the environment variable
// PASSWD, as Samba's tools take it; the variable is removed.
void TakePasswordFromEnvironment(SamrConnection& connection);

// Wipes a text that held a secret.
void Wipe(std::string& secret);

} // namespace tw::samr
