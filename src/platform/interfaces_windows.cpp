#include "platform/interfaces.h"
#include "platform/net.h"

// winsock2.h must come before windows.h, and the helpers after both.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <cstdint>
#include <cwchar>
#include <memory>

namespace kvx::net {
namespace {

std::string utf8(const wchar_t* text) {
    if (!text)
        return {};
    const int length = static_cast<int>(std::wcslen(text));
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

unsigned flagsOf(const IP_ADAPTER_ADDRESSES& adapter) {
    unsigned flags = adapter.OperStatus == IfOperStatusUp ? kInterfaceUp : 0;
    if (adapter.IfType == IF_TYPE_SOFTWARE_LOOPBACK)
        flags |= kInterfaceLoopback;
    else if (adapter.IfType == IF_TYPE_PPP || adapter.IfType == IF_TYPE_TUNNEL)
        flags |= kInterfacePointToPoint;
    else
        flags |= kInterfaceBroadcast;
    return flags;
}

} // namespace

std::vector<InterfaceAddress> readInterfaceAddresses() {
    std::vector<InterfaceAddress> interfaces;
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    // The list can grow between asking for its size and reading it; a few tries, then nothing.
    ULONG size = 16 * 1024;
    std::unique_ptr<std::uint64_t[]> buffer; // aligned for the structures
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<std::uint64_t[]>(size / sizeof(std::uint64_t) + 1);
        result = ::GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (result != NO_ERROR)
        return interfaces;
    for (const auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter;
         adapter = adapter->Next) {
        const unsigned flags = flagsOf(*adapter);
        const std::string name = utf8(adapter->FriendlyName);
        for (const IP_ADAPTER_UNICAST_ADDRESS* a = adapter->FirstUnicastAddress; a; a = a->Next) {
            const sockaddr* socketAddress = a->Address.lpSockaddr;
            if (!socketAddress || socketAddress->sa_family != AF_INET)
                continue;
            InterfaceAddress address{name, flags, {}};
            const unsigned prefix = a->OnLinkPrefixLength;
            // A host route (/32) has no broadcast address; the system lists none for it either.
            if ((flags & kInterfaceBroadcast) && prefix < 32) {
                const std::uint32_t host =
                    ntohl(reinterpret_cast<const sockaddr_in*>(socketAddress)->sin_addr.s_addr);
                const std::uint32_t hostBits = prefix == 0 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> prefix);
                address.broadcast = ipv4Text(host | hostBits);
            }
            interfaces.push_back(std::move(address));
        }
    }
    return interfaces;
}

} // namespace kvx::net
