// The network-management user functions over MS-SAMR: the accounts and the
// policy of Windows and Samba servers, reached from any computer, handed out
// exactly as netapi32 hands them out (the front's checks, log and buffers
// before the SAMR server).
#pragma once

#include "SamrServer.h"

#include "platform/NetApiFront.h"

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
    std::size_t Connections() const { return server_.Connections(); }

private:
    SamrServer server_;
};

} // namespace tw::samr
