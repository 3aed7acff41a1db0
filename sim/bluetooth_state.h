#pragma once

#include "sim/command_table.h"
#include "sim/options.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kvx::sim {

// The device's own Bluetooth settings, its live connections and what its periodic inquiry found.
class BluetoothState {
public:
    // The name, address, links, neighbours and churn the options give.
    explicit BluetoothState(const DeviceOptions& options);

    void registerCommands(CommandTable& table);

    void addLink(LinkInfo link);
    void addNeighbour(NeighbourInfo neighbour);
    // Counters and link quality drift over time, and links drop and come back under new indexes, so that a
    // refreshing list shows movement.
    void setChurn(bool churn) { m_churn = churn; }
    std::vector<LinkInfo> links() const;
    std::string name() const { return m_name; }
    // "list" answers "-ERR" while a Bluetooth serial connection is active.
    void setSerialConnectionActive(bool active) { m_serialConnectionActive = active; }

private:
    struct Link {
        int index;
        LinkInfo info;
        int baseQuality;
        std::chrono::steady_clock::time_point since;
    };

    std::string onName(std::string_view argument);
    std::string onMaxDt(std::string_view argument);
    std::string onLinkTimeout(std::string_view argument);
    std::string onScan(std::string_view argument);
    std::string onSecurity(std::string_view argument);
    std::string onPairable(std::string_view argument);
    std::string onPin(std::string_view argument);
    std::string onLocalStatus(std::string_view argument);
    std::string onLinks(std::string_view argument);
    std::string onDisconnect(std::string_view argument);
    std::string onPeriodicInquiry(std::string_view argument);
    std::string onNeighbours(std::string_view argument);
    std::string onInquirySettings(std::string_view argument);
    std::string onSerialCheck(std::string_view argument);
    void drift();

    std::string m_name;
    std::string m_localAddress;
    std::string m_maxDt = "7";
    std::string m_linkTimeout = "20";
    int m_scan = 0; // index into the scan words: inquiry page, inquiry, page, noscan
    std::string m_security = "low";
    std::string m_pairable = "on";
    std::string m_pin = "0000";
    std::uint64_t m_localTx = 0;
    std::uint64_t m_localRx = 0;
    bool m_serialConnectionActive = false;

    std::vector<Link> m_links;
    int m_nextIndex = 1;
    bool m_churn = false;
    std::chrono::steady_clock::time_point m_lastDrift = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_lastSwap = std::chrono::steady_clock::now();

    bool m_inquiryOn = false;
    std::string m_inquiryInterval = "10";
    std::string m_inquiryLength = "5";
    std::string m_accessCode = "0x9E8B33";
    std::chrono::steady_clock::time_point m_inquirySince{};
    std::vector<NeighbourInfo> m_neighbours;
};

} // namespace kvx::sim
