#include "bluetooth_state.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kvx::sim {
namespace {

constexpr std::string_view kOk = "+OK\r\n";
constexpr std::chrono::seconds kSwapEvery{5};
constexpr std::string_view kRefused = "-ERR Invalid value\r\n";

// Scan modes: the word the manager sends, and the form the device reports after "+OK ".
struct ScanWord {
    std::string_view sent;
    std::string_view reported;
};
constexpr ScanWord kScanWords[] = {
    {"Inquiry page", "inquiry page"}, {"Inquiry", "inquiry "}, {"Page", " page"}, {"noscan", "noscan"}};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A whole decimal number within bounds, nothing else.
bool numberWithin(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int value = std::stoi(std::string(text));
    return value >= low && value <= high;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', position);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = text.find(' ', start);
        out.push_back(text.substr(start, end - start));
        position = end == std::string_view::npos ? text.size() : end;
    }
    return out;
}

} // namespace

BluetoothState::BluetoothState(std::string name, std::string localAddress)
    : m_name(std::move(name))
    , m_localAddress(std::move(localAddress)) {}

void BluetoothState::registerCommands(CommandTable& table) {
    const auto bind = [this](std::string (BluetoothState::*handler)(std::string_view)) {
        return [this, handler](std::string_view argument) {
            return (this->*handler)(argument);
        };
    };
    table.add("BTName", bind(&BluetoothState::onName));
    table.add("Maxdt", bind(&BluetoothState::onMaxDt));
    table.add("Linkto", bind(&BluetoothState::onLinkTimeout));
    table.add("Scan", bind(&BluetoothState::onScan));
    table.add("Secu", bind(&BluetoothState::onSecurity));
    table.add("Pair", bind(&BluetoothState::onPairable));
    table.add("Pin", bind(&BluetoothState::onPin));
    table.add("Stat", bind(&BluetoothState::onLocalStatus));
    table.add("List", bind(&BluetoothState::onLinks));
    table.add("disc", bind(&BluetoothState::onDisconnect));
    table.add("pinq", bind(&BluetoothState::onPeriodicInquiry));
    table.add("ngbrh", bind(&BluetoothState::onNeighbours));
    table.add("Pinq", bind(&BluetoothState::onInquirySettings));
    table.alias("btname", "BTName");
    table.alias("maxdt", "Maxdt");
    table.alias("linkto", "Linkto");
    table.alias("scan", "Scan");
    table.alias("secu", "Secu");
    table.alias("pair", "Pair");
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
    if (argument.empty())
        return "+OK " + m_name + "\r\n";
    m_name = std::string(argument);
    return std::string(kOk);
}

std::string BluetoothState::onMaxDt(std::string_view argument) {
    if (argument.empty())
        return "+OK max " + m_maxDt + "\r\n"; // the value at position 8, and behind the first "x"
    if (!numberWithin(argument, 0, 14))
        return std::string(kRefused);
    m_maxDt = std::string(argument);
    return std::string(kOk);
}

// The value stands at position 17 with the unit behind it, and a saved configuration gives it back
// with the unit, so the device takes both "20" and "20 sec".
std::string BluetoothState::onLinkTimeout(std::string_view argument) {
    if (argument.empty())
        return "+OK Link timeout " + m_linkTimeout + " sec\r\n";
    if (argument.ends_with(" sec"))
        argument.remove_suffix(4);
    if (!numberWithin(argument, 1, 30))
        return std::string(kRefused);
    m_linkTimeout = std::string(argument);
    return std::string(kOk);
}

std::string BluetoothState::onScan(std::string_view argument) {
    if (argument.empty())
        return "+OK " + std::string(kScanWords[m_scan].reported) + "\r\n";
    for (int i = 0; i < 4; ++i) {
        if (sameIgnoringCase(argument, kScanWords[i].sent)) {
            m_scan = i;
            return std::string(kOk);
        }
    }
    return std::string(kRefused);
}

std::string BluetoothState::onSecurity(std::string_view argument) {
    if (argument.empty())
        return "+OK " + m_security + "\r\n";
    if (argument != "low" && argument != "high")
        return std::string(kRefused);
    m_security = std::string(argument);
    return std::string(kOk);
}

std::string BluetoothState::onPairable(std::string_view argument) {
    if (argument.empty())
        return "+OK " + m_pairable + "\r\n";
    if (argument != "on" && argument != "off")
        return std::string(kRefused);
    m_pairable = std::string(argument);
    return std::string(kOk);
}

// A PIN is write-only; Bluetooth allows at most 16 characters.
std::string BluetoothState::onPin(std::string_view argument) {
    if (argument.empty() || argument.size() > 16)
        return std::string(kRefused);
    m_pin = std::string(argument);
    return std::string(kOk);
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
           "|0|0\r\n" + std::string(kOk);
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
    return reply + std::string(kOk);
}

std::string BluetoothState::onDisconnect(std::string_view argument) {
    const auto it = std::find_if(m_links.begin(), m_links.end(),
                                 [&](const Link& link) { return std::to_string(link.index) == argument; });
    if (it == m_links.end())
        return "-ERR No such connection\r\n";
    m_links.erase(it);
    return std::string(kOk);
}

std::string BluetoothState::onPeriodicInquiry(std::string_view argument) {
    const std::vector<std::string_view> parts = words(argument);
    if (parts.empty())
        return "+OK " + std::string(m_inquiryOn ? "On" : "Off") + " " + m_inquiryInterval + " " +
               m_inquiryLength + " " + m_accessCode + "\r\n";
    if (parts[0] == "off" && parts.size() == 1) {
        m_inquiryOn = false;
        return std::string(kOk);
    }
    // A restored configuration sends the timing along with "off" as well.
    if ((parts[0] != "on" && parts[0] != "off") || parts.size() != 4 || !numberWithin(parts[1], 1, 3600) ||
        !numberWithin(parts[2], 1, 60) || (parts[3] != "0x9E8B33" && parts[3] != "0x9E8B00"))
        return std::string(kRefused);
    m_inquiryOn = parts[0] == "on";
    m_inquiryInterval = std::string(parts[1]);
    m_inquiryLength = std::string(parts[2]);
    m_accessCode = std::string(parts[3]);
    m_inquirySince = std::chrono::steady_clock::now();
    return std::string(kOk);
}

// The settings of the periodic inquiry in the words "pinq" takes, the state set off by two blanks, so
// that a configuration backup reads each value bare.
std::string BluetoothState::onInquirySettings(std::string_view) {
    return "+OK " + std::string(m_inquiryOn ? "on" : "off") + "  " + m_inquiryInterval + " " +
           m_inquiryLength + " " + m_accessCode + "\r\n";
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
    return reply + std::string(kOk);
}

} // namespace kvx::sim
