#include "platform/berkeley_sockets.h"

namespace kvx::net {

namespace berkeley {

sockaddr_in toSockaddr(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.address);
    address.sin_port = htons(endpoint.port);
    return address;
}

Endpoint fromSockaddr(const sockaddr_in& address) {
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

bool setOption(Socket socket, int level, int name) {
    const int one = 1;
    return ::setsockopt(socket, level, name, reinterpret_cast<const char*>(&one), sizeof one) == 0;
}

} // namespace berkeley

using berkeley::fromSockaddr;
using berkeley::toSockaddr;

std::optional<std::uint32_t> parseIpv4(const std::string& text) {
    in_addr address{};
    if (::inet_pton(AF_INET, text.c_str(), &address) != 1)
        return std::nullopt;
    return ntohl(address.s_addr);
}

std::string ipv4Text(std::uint32_t address) {
    in_addr in{};
    in.s_addr = htonl(address);
    char buffer[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &in, buffer, sizeof buffer);
    return buffer;
}

bool setNoDelay(Socket socket) {
    return berkeley::setOption(socket, IPPROTO_TCP, TCP_NODELAY);
}

bool setBroadcast(Socket socket) {
    return berkeley::setOption(socket, SOL_SOCKET, SO_BROADCAST);
}

bool bind(Socket socket, const Endpoint& local) {
    const sockaddr_in address = toSockaddr(local);
    return ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool listen(Socket socket, int backlog) {
    return ::listen(socket, backlog) == 0;
}

std::optional<Endpoint> localEndpoint(Socket socket) {
    sockaddr_in address{};
    berkeley::AddressLength length = sizeof address;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return std::nullopt;
    return fromSockaddr(address);
}

Socket accept(Socket listener, Endpoint& peer) {
    sockaddr_in address{};
    berkeley::AddressLength length = sizeof address;
    const Socket socket = ::accept(listener, reinterpret_cast<sockaddr*>(&address), &length);
    if (socket == kNoSocket)
        return kNoSocket;
    peer = fromSockaddr(address);
    return socket;
}

void closeWakeChannel(WakeChannel& channel) {
    close(channel.readEnd);
    close(channel.writeEnd);
}

} // namespace kvx::net
