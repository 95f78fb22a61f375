// What stands in the way of signing in to a server with Kerberos (-k),
// found before anything is sent: no ticket and no password to make one,
// only expired tickets, or a server named by its address, which no ticket
// names.
#pragma once

#include "SamrConnection.h"

#include "platform/WinTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tw::samr {

enum class KerberosProblem { NoProblem, NoTicket, Expired, Address };

// The tickets of the default cache (KRB5CCNAME) at `now` (seconds since
// 1970), for `host`.
KerberosProblem CheckKerberos(const std::string& host, std::int64_t now);
KerberosProblem CheckKerberos(const std::string& host);
// What stands in the way of the connection's sign-in to `host`: nothing
// without -k; with a password (which a ticket is made of, in memory) only an
// address; else the ticket cache too.
KerberosProblem CheckKerberos(const SamrConnection& connection, const std::string& host);

// In words, for a command line's error: what is wrong and what to do.
std::string Describe(KerberosProblem problem, const std::string& host);
// For a command line: why the connection's ticket cannot sign in to its
// local server, in words; nothing without -k, or when it can.
std::optional<std::string> KerberosRefusal(const SamrConnection& connection);

// The status a call reports for it, with Windows' own message: "No
// credentials are available in the security package", "The context has
// expired and can no longer be used.", "The target principal name is
// incorrect.".
win::NET_API_STATUS StatusOf(KerberosProblem problem);

// Whether `host` is an IPv4 or IPv6 address rather than a name.
bool IsAddress(const std::string& host);

} // namespace tw::samr
