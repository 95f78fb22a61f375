#include "KerberosCheck.h"

#include "KerberosTicket.h"

#include <arpa/inet.h>
#include <chrono>

namespace tw::samr {

bool IsAddress(const std::string& host) {
    unsigned char address[16];
    std::string bare = host;
    if (bare.size() > 2 && bare.front() == '[' && bare.back() == ']')
        bare = bare.substr(1, bare.size() - 2);
    return inet_pton(AF_INET, bare.c_str(), address) == 1 ||
           inet_pton(AF_INET6, bare.c_str(), address) == 1;
}

KerberosProblem CheckKerberos(const std::string& host, std::int64_t now) {
    if (IsAddress(host))
        return KerberosProblem::Address;
    switch (tw_kerberos_ticket_state(now, nullptr, 0)) {
    case TW_TICKET_USABLE:
        return KerberosProblem::NoProblem;
    case TW_TICKET_EXPIRED:
        return KerberosProblem::Expired;
    case TW_TICKET_NONE:
        break;
    }
    return KerberosProblem::NoTicket;
}

KerberosProblem CheckKerberos(const std::string& host) {
    using namespace std::chrono;
    return CheckKerberos(host,
                         duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
}

std::string Describe(KerberosProblem problem, const std::string& host) {
    switch (problem) {
    case KerberosProblem::NoProblem:
        break;
    case KerberosProblem::NoTicket:
        return "-k: there is no Kerberos ticket to sign in with (run kinit first)";
    case KerberosProblem::Expired:
        return "-k: the Kerberos ticket has expired (run kinit again)";
    case KerberosProblem::Address:
        return "-k: a Kerberos ticket names the server, so give its name, not the address " + host;
    }
    return {};
}

KerberosProblem CheckKerberos(const SamrConnection& connection, const std::string& host) {
    if (!connection.kerberos)
        return KerberosProblem::NoProblem;
    // A password makes a ticket of its own: only the server's name matters.
    if (connection.hasPassword)
        return IsAddress(host) ? KerberosProblem::Address : KerberosProblem::NoProblem;
    return CheckKerberos(host);
}

std::optional<std::string> KerberosRefusal(const SamrConnection& connection) {
    const KerberosProblem problem = CheckKerberos(connection, connection.localHost);
    if (problem == KerberosProblem::NoProblem)
        return std::nullopt;
    return Describe(problem, connection.localHost);
}

win::NET_API_STATUS StatusOf(KerberosProblem problem) {
    switch (problem) {
    case KerberosProblem::NoProblem:
        break;
    case KerberosProblem::NoTicket:
        return win::SEC_E_NO_CREDENTIALS;
    case KerberosProblem::Expired:
        return win::SEC_E_CONTEXT_EXPIRED;
    case KerberosProblem::Address:
        return win::SEC_E_WRONG_PRINCIPAL;
    }
    return win::NERR_Success;
}

} // namespace tw::samr
