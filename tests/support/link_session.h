#pragma once

#include "core/device_session.h"
#include "logged_in_link.h"

namespace kvx::test {

// A session over a real logged-in link to a simulated device, for windows that run a whole exchange
// against it; the requests are only counted.
class LinkSession : public DeviceSession {
public:
    explicit LinkSession(sim::DeviceOptions options = {}, DeviceLink::Timing timing = {})
        : m_link(std::move(options), timing)
        , capabilityLine(capabilityLineFrom(m_link.ask("help"))) {}

    std::string transact(std::string_view command, int waitSeconds) override {
        return m_link.link.transact(command, waitSeconds, m_link.transcript);
    }
    bool inTransaction() const override { return false; }
    bool supportsCommand(std::string_view keyword) const override {
        return capabilityLineSupports(capabilityLine, keyword);
    }
    VersionCode versionCode() const override { return m_versionCode; }
    void setVersionCode(VersionCode code) override { m_versionCode = code; }
    const DeviceRecord& deviceRecord() const override { return m_record; }
    void runSearchWindow() override {}
    void closeConnection() override {}
    Reopen reopenConnection(std::chrono::milliseconds) override { return Reopen::ConnectFailed; }
    void postReconnect() override { ++reconnects; }
    void postRelogin() override {}
    void postClose() override {}

    // Asks the device directly, as another manager would.
    std::string ask(const std::string& line) { return m_link.ask(line); }
    sim::SimulatedDevice& device() { return *m_link.device; }

private:
    LoggedInLink m_link;
    DeviceRecord m_record;
    VersionCode m_versionCode = kVersionCodeUnknown;

public:
    std::string capabilityLine;
    int reconnects = 0;
};

} // namespace kvx::test
