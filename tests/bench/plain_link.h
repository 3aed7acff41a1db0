#pragma once

#include "platform/net.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvx::test {

// A logged-in plain socket to a device on loopback: the floor every transaction stands on.
class PlainLink {
public:
    explicit PlainLink(std::uint16_t port)
        : m_socket(net::open(net::Type::Stream)) {
        net::connectWithin(m_socket, {0x7F000001, port}, std::chrono::seconds(5));
        net::setNoDelay(m_socket);
        exchange({}); // greeting
        exchange("User admin\r\n");
        exchange("Pass admin\r\n");
    }
    ~PlainLink() { net::close(m_socket); }
    PlainLink(const PlainLink&) = delete;
    PlainLink& operator=(const PlainLink&) = delete;

    // Until the last line received begins with "+OK" or "-ERR" (every reply ends so, lists included).
    std::string exchange(const std::string& line) {
        if (!line.empty())
            net::send(m_socket, line.data(), line.size());
        std::string reply;
        char buffer[65536];
        while (true) {
            const std::ptrdiff_t n = net::receive(m_socket, buffer, sizeof buffer);
            if (n <= 0)
                return reply;
            reply.append(buffer, static_cast<std::size_t>(n));
            if (line.empty())
                return reply;
            if (!reply.ends_with("\r\n"))
                continue;
            const std::size_t start = reply.rfind('\n', reply.size() - 3);
            const std::string_view last =
                std::string_view(reply).substr(start == std::string::npos ? 0 : start + 1);
            if (last.starts_with("+OK") || last.starts_with("-ERR"))
                return reply;
        }
    }

private:
    net::Socket m_socket;
};

} // namespace kvx::test
