#include "host_entry.h"

#include "controls/ip_address_edit.h"
#include "core/device_session.h"
#include "core/prompter.h"
#include "modes/change_commands.h"
#include "core/client_mode_replies.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace kvx {
namespace {

constexpr int kSetHostWait = 10;

QString text(const char* source) {
    return QCoreApplication::translate("kvx::HostEntry", source);
}

} // namespace

std::optional<QString> missingHostEntry(const IpAddressEdit& address, const QString& port) {
    const bool addressMissing = address.filledCount() < IpAddressEdit::kOctetCount;
    if (addressMissing && port.isEmpty())
        return text(QT_TRANSLATE_NOOP("kvx::HostEntry", "Fill the HOST IP Address and HOST Port Number."));
    if (addressMissing)
        return text(QT_TRANSLATE_NOOP("kvx::HostEntry", "Fill the HOST IP Address."));
    if (port.isEmpty())
        return text(QT_TRANSLATE_NOOP("kvx::HostEntry", "Fill the HOST Port Number."));
    return std::nullopt;
}

void showHostAddress(const HostAddress& host, IpAddressEdit& address, QLineEdit& port) {
    const Octets& o = host.octets;
    address.setOctets({o[0], o[1], o[2], o[3]});
    port.setText(QString::fromStdString(host.port));
}

std::optional<ServerList> readServerList(DeviceSession& session, Prompter& prompter,
                                         const QString& refusedText) {
    const std::string reply = session.transact("Serv\r\n", 1);
    if (reply.empty()) {
        prompter.message(text(QT_TRANSLATE_NOOP(
            "kvx::HostEntry", "Get Server host address is timeout. Check Lumeno-KVX and Try again.")));
        session.postReconnect();
        return std::nullopt;
    }
    ServerList list = parseServerList(reply);
    if (list.outcome == ServerList::Outcome::Refused) {
        prompter.message(refusedText);
        return std::nullopt;
    }
    return list;
}

bool sendHostAddress(DeviceSession& session, Prompter& prompter, const IpAddressEdit& address,
                     const QString& port) {
    return sendChange(
        session, prompter, "Serv " + address.text().toStdString() + ":" + port.toStdString() + "\r\n",
        kSetHostWait,
        text(QT_TRANSLATE_NOOP("kvx::HostEntry",
                               "Set Server host address is timeout. Check Lumeno-KVX and Try again.")),
        text(QT_TRANSLATE_NOOP("kvx::HostEntry", "Client Mode Setup Fail. Try again.")));
}

} // namespace kvx
