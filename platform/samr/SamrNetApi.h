// The network-management user functions over MS-SAMR: the accounts and the
// policy of Windows and Samba servers, reached from any computer, handed out
// exactly as netapi32 hands them out (the front's checks, log and buffers
// before the SAMR server).
#pragma once

#include "SamrServer.h"

#include "platform/NetApiFront.h"
#include "platform/TextConvert.h"

#include <optional>
#include <string>

namespace tw::samr {

class SamrNetApi : public win::NetApiFront {
public:
    using SignIn = SamrServer::SignIn;

    // `now` gives the current time in seconds since 1970 (for password ages).
    // The front is given the server before the server is made; it does not
    // use it until a call.
    explicit SamrNetApi(SamrConnection connection, std::function<std::uint64_t()> now = {})
        : NetApiFront(server_), server_(std::move(connection), std::move(now)) {}

    void SetSignIn(SignIn signIn) { server_.SetSignIn(std::move(signIn)); }

    // Where the server (null, "NAME" or "\\NAME", as NetUserGetInfo takes
    // it) keeps the change-password right of account `username`; see
    // SamrServer::ChangePasswordRight. OutOfReach: UF_PASSWD_CANT_CHANGE is
    // neither read nor written there (a write of it fails with
    // ERROR_NOT_SUPPORTED and nothing else is written).
    ChangeRight ChangePasswordRight(const char16_t* servername, const char16_t* username) {
        std::u16string server = servername != nullptr ? servername : u"";
        if (server.starts_with(u"\\\\"))
            server.erase(0, 2);
        return server_.ChangePasswordRight(server, username != nullptr ? username : u"");
    }
    // ChangePasswordRight as the window asks it: why the right is out of
    // reach, or nothing.
    std::optional<std::u16string> WhyChangeRightUnknown(const std::u16string& server,
                                                        const std::u16string& account) {
        const ChangeRight right = ChangePasswordRight(server.c_str(), account.c_str());
        if (right.keeper != ChangeRightKeeper::OutOfReach)
            return std::nullopt;
        return FromUtf8(right.detail);
    }
    std::size_t Connections() const { return server_.Connections(); }

private:
    SamrServer server_;
};

} // namespace tw::samr
