#include "connection.h"

#include <QtGlobal>

namespace kvx {

Connection::Connection(DeviceLink::Timing timing, Transcript& transcript)
    : m_link(timing)
    , m_transcript(transcript) {}

std::string Connection::transact(std::string_view command, int waitSeconds) {
    Q_ASSERT(!m_inTransaction);
    m_inTransaction = true;
    std::string reply = m_link.transact(command, waitSeconds, m_transcript);
    m_inTransaction = false;
    return reply;
}

bool Connection::lookForUnasked(std::chrono::milliseconds wait) {
    Q_ASSERT(!m_inTransaction);
    return m_link.lookForUnasked(wait, m_transcript);
}

bool Connection::supportsCommand(std::string_view keyword) const {
    return capabilityLineSupports(m_capabilityLine, keyword);
}

void Connection::readCapabilities() {
    m_capabilityLine = capabilityLineFrom(transact("help\r\n", 2));
}

void Connection::closeConnection() {
    m_rebooting = true;
    m_link.close();
}

DeviceConnection::Reopen Connection::reopenConnection(std::chrono::milliseconds bound) {
    if (!m_link.create())
        return Reopen::CreateFailed;
    return m_link.connectTo(m_record.ipAddress, leadingDecimal(m_record.controlPort), bound)
               ? Reopen::Connected
               : Reopen::ConnectFailed;
}

} // namespace kvx
