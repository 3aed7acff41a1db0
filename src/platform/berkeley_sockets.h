#pragma once

// The Berkeley socket calls both systems share, for the platform files only: the system's headers,
// the one type that differs, and the conversions and options written once.

#include "platform/net.h"

#ifdef _WIN32
// winsock2.h must come before windows.h.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace kvx::net::berkeley {

#ifdef _WIN32
using AddressLength = int;
#else
using AddressLength = socklen_t;
#endif

sockaddr_in toSockaddr(const Endpoint& endpoint);
Endpoint fromSockaddr(const sockaddr_in& address);
// Switches a yes-or-no option on.
bool setOption(Socket socket, int level, int name);

} // namespace kvx::net::berkeley
