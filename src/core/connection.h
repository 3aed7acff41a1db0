#pragma once

#include "core/device_link.h"
#include "core/device_session.h"

#include <string>
#include <utility>

namespace kvx {

class Transcript;

// The connection half of a session over its own link, echoing into `transcript`. The owner connects and
// logs in through link(), then says what it connected to and reads the capability line.
class Connection : public virtual DeviceConnection {
public:
    // The transcript outlives the connection.
    Connection(DeviceLink::Timing timing, Transcript& transcript);

    std::string transact(std::string_view command, int waitSeconds) override;
    bool inTransaction() const override { return transactionRunning() || m_rebooting; }
    // A transaction (or the login's exchange on the link) alone, without the reboot's hold: the requests
    // that act on the connection wait for its end, while those that end a reboot must run inside the
    // hold.
    bool transactionRunning() const { return m_inTransaction || m_link.waiting(); }
    // Runs while the link waits; without one (kvx100ctl) the wait simply blocks.
    void setWaitHook(DeviceLink::WaitHook hook) { m_link.setWaitHook(std::move(hook)); }
    bool supportsCommand(std::string_view keyword) const override;
    VersionCode versionCode() const override { return m_versionCode; }
    void setVersionCode(VersionCode code) override { m_versionCode = code; }
    const DeviceRecord& deviceRecord() const override { return m_record; }
    unsigned unaskedReplies() const override { return m_link.unaskedReplies(); }
    bool lookForUnasked(std::chrono::milliseconds wait) override;
    int& readingDepth() override { return m_readingDepth; }
    // Holds the page timers until endRebootHold().
    void closeConnection() override;
    // To the address and control port of the record.
    Reopen reopenConnection(std::chrono::milliseconds bound) override;

    void setDeviceRecord(const DeviceRecord& record) { m_record = record; }
    // Asks the logged-in device for the commands it knows ("help").
    void readCapabilities();
    const std::string& capabilityLine() const { return m_capabilityLine; }
    // A login on the new connection, or the failed attempt that hands over to the reconnect request.
    void endRebootHold() { m_rebooting = false; }

    DeviceLink& link() { return m_link; }
    Transcript& transcript() { return m_transcript; }

private:
    DeviceLink m_link;
    Transcript& m_transcript;
    DeviceRecord m_record;
    std::string m_capabilityLine;
    VersionCode m_versionCode = kVersionCodeUnknown;
    bool m_inTransaction = false;
    int m_readingDepth = 0;
    // From the reboot dropping the connection until a login on a new one.
    bool m_rebooting = false;
};

} // namespace kvx
