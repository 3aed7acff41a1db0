#include "bluetooth_state.h"

#include "sim/arguments.h"

#include <algorithm>
#include <cmath>

namespace kvx::sim {
namespace {

constexpr std::chrono::seconds kSwapEvery{5};

// Scan modes: the word the manager sends, and the form the device reports after "+OK ".
struct ScanWord {
    std::string_view sent;
    std::string_view reported;
};
constexpr ScanWord kScanWords[] = {
    {"Inquiry page", "inquiry page"}, {"Inquiry", "inquiry "}, {"Page", " page"}, {"noscan", "noscan"}};

} // namespace

BluetoothState::BluetoothState(const DeviceOptions& options)
    : m_name(options.btName)
    , m_localAddress(options.btAddress)
    , m_churn(options.linkChurn) {
    for (const LinkInfo& link : options.links)
        addLink(link);
    m_neighbours = options.neighbours;
}

void BluetoothState::registerCommands(CommandTable& table) {
    table.add("BTName", this, &BluetoothState::onName, "btname");
    table.add("Maxdt", this, &BluetoothState::onMaxDt, "maxdt");
    table.add("Linkto", this, &BluetoothState::onLinkTimeout, "linkto");
    table.add("Scan", this, &BluetoothState::onScan, "scan");
    table.add("Secu", this, &BluetoothState::onSecurity, "secu");
    table.add("Pair", this, &BluetoothState::onPairable, "pair");
    table.add("Pin", this, &BluetoothState::onPin);
    table.add("Stat", this, &BluetoothState::onLocalStatus);
    table.add("List", this, &BluetoothState::onLinks);
    table.add("disc", this, &BluetoothState::onDisconnect);
    table.add("pinq", this, &BluetoothState::onPeriodicInquiry);
    table.add("ngbrh", this, &BluetoothState::onNeighbours);
    table.add("Pinq", this, &BluetoothState::onInquirySettings);
    table.add("list", this, &BluetoothState::onSerialCheck);
}

void BluetoothState::addLink(LinkInfo link) {
    const int quality = link.quality;
    m_links.push_back({m_nextIndex++, std::move(link), quality, std::chrono::steady_clock::now()});
}

void BluetoothState::addNeighbour(NeighbourInfo neighbour) {
    m_neighbours.push_back(std::move(neighbour));
}

std::vector<LinkInfo> BluetoothState::links() const {
    std::vector<LinkInfo> result;
    for (const Link& link : m_links)
        result.push_back(link.info);
    return result;
}

// Queries answer "+OK " and the value at the position the manager cuts at; sets answer "+OK" alone.
std::string BluetoothState::onName(std::string_view argument) {
    return setting(m_name, argument, {}, true);
}

std::string BluetoothState::onMaxDt(std::string_view argument) {
    // The value at position 8, and behind the first "x".
    return setting(m_maxDt, argument, "max ", numberWithin(argument, 0, 14));
}

// The value stands at position 17 with the unit behind it, and a saved configuration gives it back
// with the unit, so the device takes both "20" and "20 sec".
std::string BluetoothState::onLinkTimeout(std::string_view argument) {
    if (argument.empty())
        return "+OK Link timeout " + m_linkTimeout + " sec\r\n";
    if (argument.ends_with(" sec"))
        argument.remove_suffix(4);
    return setting(m_linkTimeout, argument, {}, numberWithin(argument, 1, 30));
}

std::string BluetoothState::onScan(std::string_view argument) {
    if (argument.empty())
        return "+OK " + std::string(kScanWords[m_scan].reported) + "\r\n";
    for (int i = 0; i < 4; ++i) {
        if (sameIgnoringCase(argument, kScanWords[i].sent)) {
            m_scan = i;
            return kOk;
        }
    }
    return kRefused;
}

std::string BluetoothState::onSecurity(std::string_view argument) {
    return setting(m_security, argument, {}, argument == "low" || argument == "high");
}

std::string BluetoothState::onPairable(std::string_view argument) {
    return setting(m_pairable, argument, {}, argument == "on" || argument == "off");
}

// A PIN is write-only; Bluetooth allows at most 16 characters.
std::string BluetoothState::onPin(std::string_view argument) {
    if (argument.empty() || argument.size() > 16)
        return kRefused;
    m_pin = std::string(argument);
    return kOk;
}

void BluetoothState::drift() {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - m_lastDrift).count();
    m_lastDrift = now;
    m_localTx += static_cast<std::uint64_t>(seconds * 40);
    m_localRx += static_cast<std::uint64_t>(seconds * 55);
    if (!m_churn)
        return;
    // Now and then the oldest link drops and its device connects again under a new index, as handhelds
    // walking out of range and back do.
    if (!m_links.empty() && now - m_lastSwap >= kSwapEvery) {
        m_lastSwap = now;
        Link link = std::move(m_links.front());
        m_links.erase(m_links.begin());
        link.index = m_nextIndex++;
        link.since = now;
        m_links.push_back(std::move(link));
    }
    for (Link& link : m_links) {
        link.info.tx += static_cast<std::uint64_t>(seconds * (100 + 37 * link.index));
        link.info.rx += static_cast<std::uint64_t>(seconds * (80 + 53 * link.index));
        // A slow swing around where the link started, so its indicator changes colour now and then.
        const double t = std::chrono::duration<double>(now - link.since).count();
        link.info.quality = std::clamp(
            link.baseQuality + static_cast<int>(std::lround(8 * std::sin(t / 3 + link.index))), 150, 255);
    }
}

std::string BluetoothState::onLocalStatus(std::string_view) {
    drift();
    return "0|" + m_localAddress + "|" + std::to_string(m_localTx) + "|" + std::to_string(m_localRx) +
           "|0|0\r\n" + kOk;
}

std::string BluetoothState::onLinks(std::string_view) {
    drift();
    std::string reply;
    for (const Link& link : m_links) {
        const LinkInfo& i = link.info;
        reply += std::to_string(link.index) + "|0|" + i.port + "|" + i.address + "|" + i.name + "|" +
                 std::to_string(i.tx) + "|" + std::to_string(i.rx) + "|" + std::to_string(i.quality) + "|" +
                 std::to_string(i.signal) + "\r\n";
    }
    return reply + kOk;
}

std::string BluetoothState::onDisconnect(std::string_view argument) {
    const auto it = std::find_if(m_links.begin(), m_links.end(),
                                 [&](const Link& link) { return std::to_string(link.index) == argument; });
    if (it == m_links.end())
        return "-ERR No such connection\r\n";
    m_links.erase(it);
    return kOk;
}

std::string BluetoothState::onPeriodicInquiry(std::string_view argument) {
    const std::vector<std::string_view> parts = words(argument);
    if (parts.empty())
        return "+OK " + std::string(m_inquiryOn ? "On" : "Off") + " " + m_inquiryInterval + " " +
               m_inquiryLength + " " + m_accessCode + "\r\n";
    if (parts[0] == "off" && parts.size() == 1) {
        m_inquiryOn = false;
        return kOk;
    }
    // A restored configuration sends the timing along with "off" as well.
    if ((parts[0] != "on" && parts[0] != "off") || parts.size() != 4 || !numberWithin(parts[1], 1, 3600) ||
        !numberWithin(parts[2], 1, 60) || (parts[3] != "0x9E8B33" && parts[3] != "0x9E8B00"))
        return kRefused;
    m_inquiryOn = parts[0] == "on";
    m_inquiryInterval = std::string(parts[1]);
    m_inquiryLength = std::string(parts[2]);
    m_accessCode = std::string(parts[3]);
    m_inquirySince = std::chrono::steady_clock::now();
    return kOk;
}

// The settings of the periodic inquiry in the words "pinq" takes, the state set off by two blanks, so
// that a configuration backup reads each value bare.
std::string BluetoothState::onInquirySettings(std::string_view) {
    return "+OK " + std::string(m_inquiryOn ? "on" : "off") + "  " + m_inquiryInterval + " " +
           m_inquiryLength + " " + m_accessCode + "\r\n";
}

std::string BluetoothState::onSerialCheck(std::string_view) {
    return m_serialConnectionActive ? "-ERR Bluetooth serial connection active\r\n" : kOk;
}

// While the inquiry runs, one more neighbour turns up every second, as they answer one after another.
std::string BluetoothState::onNeighbours(std::string_view) {
    std::size_t found = m_neighbours.size();
    if (m_inquiryOn) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - m_inquirySince)
                                 .count();
        found = std::min(found, static_cast<std::size_t>(seconds) + 1);
    }
    // With churn the devices in range answer in a changing order, as they come and go.
    const std::size_t shift =
        m_churn && found > 0
            ? static_cast<std::size_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                           std::chrono::steady_clock::now().time_since_epoch())
                                           .count() /
                                       kSwapEvery.count()) %
                  found
            : 0;
    std::string reply;
    for (std::size_t i = 0; i < found; ++i) {
        const NeighbourInfo& n = m_neighbours[(i + shift) % found];
        reply += n.address + " " + n.classOfDevice + " " + n.name + "\r\n";
    }
    return reply + kOk;
}

} // namespace kvx::sim
