#include "metrics_report.h"

#include "core/bluetooth_queries.h"
#include "core/bluetooth_settings.h"
#include "core/connection_status.h"
#include "core/file_io.h"
#include "core/page_queries.h"
#include "core/qt_text.h"
#include "core/vocabulary.h"
#include "fleet/printable.h"

#include <QCoreApplication>
#include <QDir>
#include <charconv>
#include <chrono>
#include <initializer_list>
#include <set>
#include <utility>

namespace kvx::ctl {

using namespace kvx::fleet;
namespace {

// The length of the UTF-8 sequence `text` starts with, 0 when it starts with none (an overlong form,
// a surrogate, beyond U+10FFFF, cut short). For a byte of 0x80 and above.
std::size_t utf8Length(std::string_view text) {
    const auto at = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned lead = at(0);
    unsigned low = 0x80; // the second byte's range; the others' is always 0x80 to 0xbf
    unsigned high = 0xbf;
    std::size_t length = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : low;
        high = lead == 0xed ? 0x9f : high;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : low;
        high = lead == 0xf4 ? 0x8f : high;
    } else {
        return 0;
    }
    if (at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (at(i) < 0x80 || at(i) > 0xbf)
            return 0;
    return length;
}

// A label value, escaped in two layers at once. The value itself shows a backslash as \\ and a control
// byte (C0, DEL, the two bytes of a C1 character) or a byte that is no UTF-8 as \xNN: so two names or
// addresses never become one series, a scraper never refuses the file for a byte it cannot read, and
// nothing raw reaches a terminal. The text format then escapes that value's backslashes and double
// quotes (no line feed is left to escape).
std::string labelValue(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    const auto escaped = [&](unsigned char byte) {
        out.append("\\\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xf]);
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\') {
            out += "\\\\\\\\";
        } else if (byte == '"') {
            out += "\\\"";
        } else if (byte < 0x20 || byte == 0x7f) {
            escaped(byte);
        } else if (byte < 0x80) {
            out += char(byte);
        } else if (const std::size_t length = utf8Length(text.substr(i)); length == 0) {
            escaped(byte);
        } else {
            // U+0080 to U+009F are control characters as well.
            const bool control = byte == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0;
            for (std::size_t k = 0; k < length; ++k) {
                if (control)
                    escaped(static_cast<unsigned char>(text[i + k]));
                else
                    out += text[i + k];
            }
            i += length;
            continue;
        }
        ++i;
    }
    return out;
}

using Labels = std::initializer_list<std::pair<const char*, std::string_view>>;

// One metric family: its HELP and TYPE lines once, then the samples of every device.
class Family {
public:
    Family(const char* name, const char* type, const char* help)
        : m_name(name)
        , m_type(type)
        , m_help(help) {}

    void add(Labels labels, const std::string& value) {
        m_samples += m_name;
        const char* separator = "{";
        for (const auto& [label, text] : labels) {
            m_samples += separator + std::string(label) + "=\"" + labelValue(text) + "\"";
            separator = ",";
        }
        m_samples += "} " + value + "\n";
    }

    // Nothing for a family without samples.
    std::string text() const {
        if (m_samples.empty())
            return {};
        return "# HELP " + m_name + " " + m_help + "\n# TYPE " + m_name + " " + m_type + "\n" + m_samples;
    }

private:
    std::string m_name;
    const char* m_type;
    const char* m_help;
    std::string m_samples;
};

std::string number(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string number(bool value) {
    return value ? "1" : "0";
}

std::string exposition(const std::vector<DeviceOutcome>& outcomes) {
    Family up{"kvx_up", "gauge",
              "1 when the device was read whole, else 0 (not reached, login refused or a query failed)."};
    Family login{
        "kvx_login_success", "gauge",
        "1 when the device accepted the login, 0 when it refused it; absent when it was not reached."};
    Family duration{"kvx_scrape_duration_seconds", "gauge", "Time taken to read the device."};
    Family info{"kvx_device_info", "gauge", "The device's identity, firmware and Bluetooth name; always 1."};
    Family mode{"kvx_operation_mode", "gauge", "1 for the device's operation mode, 0 for the others."};
    Family links{"kvx_links", "gauge", "Live Bluetooth links of the device."};
    Family quality{"kvx_link_quality", "gauge", "Link quality as the device reports it."};
    Family signal{"kvx_link_signal", "gauge", "Signal strength as the device reports it."};
    // The device's Tx and Rx columns state no unit, and the manager shows them as sent, so the names
    // claim neither bytes nor packets.
    Family transmitted{"kvx_link_transmitted_total", "counter", "The device's Tx count for the link."};
    Family received{"kvx_link_received_total", "counter", "The device's Rx count for the link."};

    for (const DeviceOutcome& o : outcomes) {
        const DeviceMetrics& m = o.metrics;
        const std::string_view device = o.host;
        up.add({{"device", device}}, number(m.up));
        if (m.loginAccepted)
            login.add({{"device", device}}, number(*m.loginAccepted));
        duration.add({{"device", device}}, number(m.scrapeSeconds));
        // Only from a whole scrape: labels left empty by a failure would start a series of their own.
        if (m.up) {
            const DeviceRecord& r = m.identity;
            info.add({{"device", device},
                      {"firmware", m.firmware},
                      {"model", r.modelCode},
                      {"serial", r.serialNumber},
                      {"mac", r.macAddress},
                      {"name", m.btName}},
                     "1");
        }
        if (m.mode)
            for (std::size_t i = 0; i < modeTable().size(); ++i)
                mode.add({{"device", device}, {"mode", modeTable()[i].keyword}}, number(int(i) == *m.mode));
        if (m.linksComplete)
            links.add({{"device", device}}, std::to_string(m.links.size()));
        // Two rows of one address would give one series twice, and a scraper refuses the whole file for
        // that; the first row stands for the address.
        std::set<std::string_view> seen;
        for (const LinkSample& link : m.links) {
            if (!seen.insert(link.address).second)
                continue;
            const Labels labels = {{"device", device}, {"link", link.address}};
            quality.add(labels, std::to_string(link.quality));
            signal.add(labels, std::to_string(link.signal));
            if (link.transmitted)
                transmitted.add(labels, std::to_string(*link.transmitted));
            if (link.received)
                received.add(labels, std::to_string(*link.received));
        }
    }

    std::string text;
    for (const Family* family :
         {&up, &login, &duration, &info, &mode, &links, &quality, &signal, &transmitted, &received})
        text += family->text();
    return text;
}

} // namespace

bool reportMetrics(const Invocation& run, const std::vector<DeviceOutcome>& outcomes, Console& console) {
    for (const DeviceOutcome& o : outcomes)
        if (!o.ok)
            console.err << o.host << ": " << o.step << ": " << printableMessages(o.messages) << "\n";
    const std::string text = exposition(outcomes);
    if (run.settings.file.isEmpty()) {
        console.out << text;
        return true;
    }
    QString error;
    if (!replaceFile(QDir(run.settings.file).filePath(QStringLiteral("kvx100ctl.prom")), text, error)) {
        console.err << "kvx100ctl: The file cannot be written: " << toStd(error) << "\n";
        return false;
    }
    return true;
}

} // namespace kvx::ctl
