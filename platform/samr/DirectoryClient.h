// The user objects of an Active Directory domain controller over LDAP, where
// SAMR leaves something out: Samba's domain controller hands out a user's
// descriptor over SAMR without its DACL and does not write one, so the
// change-password right is read and written in nTSecurityDescriptor.
//
// Signed in as the SAMR connection is, always with a security layer (signed
// and sealed; never a simple bind, never in clear text): with -k the ticket
// cache through SASL GSSAPI; with a password, where the server is named by
// a name and not an address, a Kerberos ticket got from the password in
// memory (the realm from the directory's naming context) through GSSAPI,
// and else, or when that fails, NTLM through SASL GSS-SPNEGO (the
// gss-ntlmssp mechanism). Port 389 of the SAMR server's host, by the name
// the SAMR connection used (Kerberos needs the DC's name). Nothing is sent
// before signing in but the anonymous read of the rootDSE.
#pragma once

#include "Secret.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tw::samr {

struct DirectoryTarget {
    std::string host;
    std::string user;   // empty: the running user
    std::string domain; // empty: the server's own
    const Secret* password = nullptr;
    bool kerberos = false;
    int answerSeconds = 20; // for the connection and each request
};

// What a request came to: an NTSTATUS of SamrStatus.h (0 = success), and in
// words what the directory said, for the one who has to understand a failure.
struct DirectoryAnswer {
    std::uint32_t status = 0;
    std::string detail;
    bool ok() const { return status == 0; }
};

class DirectoryClient {
public:
    // Connects, signs in and finds the domain's naming context (rootDSE's
    // defaultNamingContext). A directory that cannot be reached or signed in
    // to with a security layer answers kNtNotSupported: the right is then
    // out of this program's reach on that server.
    static std::unique_ptr<DirectoryClient> Open(const DirectoryTarget& target,
                                                 DirectoryAnswer& answer);
    ~DirectoryClient();
    DirectoryClient(const DirectoryClient&) = delete;
    DirectoryClient& operator=(const DirectoryClient&) = delete;

    // The DACL, in a security descriptor, of the user object whose
    // sAMAccountName is `account` (SD-flags control: DACL only), and its DN.
    DirectoryAnswer ReadDacl(const std::string& account, std::string& dn,
                             std::vector<std::uint8_t>& descriptor);
    // Replaces the object's DACL and nothing else (the same control).
    DirectoryAnswer WriteDacl(const std::string& dn, std::span<const std::uint8_t> descriptor);

    // The security strength factor of the connection's layer (bits).
    unsigned SecurityStrength() const { return ssf_; }
    // How it signed in, in words ("LDAP signed in with NTLM, security layer
    // of 64 bits").
    const std::string& Description() const { return description_; }

private:
    struct Handle;
    explicit DirectoryClient(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
    unsigned ssf_ = 0;
    std::string description_;
};

} // namespace tw::samr
