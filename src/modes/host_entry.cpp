#include "host_entry.h"

#include "controls/ip_address_edit.h"
#include "core/qt_text.h"
#include "core/server_client_queries.h"
#include "ui/device_field.h"
#include "ui/window_load.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace kvx {
namespace {

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
    showDeviceText(port, host.port);
}

std::optional<ServerList> readServerList(WindowLoad& load, const QueryStep& step) {
    const QueryOutcome outcome = load.run(step, ReplyForm::List);
    if (!outcome)
        return std::nullopt;
    return parseServerList(outcome.reply);
}

bool sendHostAddress(DeviceSession& session, Prompter& prompter, const IpAddressEdit& address,
                     const QLineEdit& port) {
    return bool(
        runQuery(session, prompter, kHostSet, hostSetCommand(toStd(address.text()), deviceFieldBytes(port))));
}

} // namespace kvx
