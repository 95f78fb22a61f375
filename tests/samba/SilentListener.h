// A socket on 127.0.0.1 that the system accepts connections for and that
// nobody ever reads: a server that takes the connection and never answers.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tw::test {

class SilentListener {
public:
    SilentListener() {
        socket_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket_ >= 0 && bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            listen(socket_, 8) == 0 &&
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentListener() {
        if (socket_ >= 0)
            close(socket_);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    // 0 when the socket could not be made.
    int port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

} // namespace tw::test
