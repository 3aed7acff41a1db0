#include "product_pages.h"

#include "modes/client_mode_window.h"
#include "modes/client_setting_window.h"
#include "modes/serial_port_window.h"
#include "modes/server_mode_window.h"
#include "modes/vertex_mode_window.h"
#include "pages/bluetooth_page.h"
#include "pages/connections_page.h"
#include "pages/information_page.h"
#include "pages/neighborhoods_page.h"
#include "pages/operation_mode_page.h"
#include "pages/repeater_page.h"
#include "pages/repeater_station_window.h"
#include "routing/routing_table_window.h"

namespace kvx {
namespace {

constexpr int index(OperationMode mode) {
    return static_cast<int>(mode);
}

// Which window belongs to which mode. The page keeps the long-lived windows as its children; the
// others are made for one opening each, so they read the device afresh.
void registerModeWindows(OperationModePage* page, DeviceSession& session, Prompter& prompter) {
    ModeWindowDispatch& windows = page->modeWindows();

    auto* server = new ServerModeWindow(session, prompter, page);
    windows.setSettingsWindow(index(OperationMode::Server), [server] { server->exec(); });
    auto* client = new ClientModeWindow(session, prompter, page);
    windows.setSettingsWindow(index(OperationMode::Client), [client] { client->exec(); });
    auto* clientSetting = new ClientSettingWindow(session, prompter, page);
    windows.setPreparation(index(OperationMode::Client),
                           [clientSetting] { return clientSetting->exec() == QDialog::Accepted; });

    auto* vertex = new VertexModeWindow(session, prompter, page);
    windows.setSettingsWindow(index(OperationMode::Vertex), [vertex] { vertex->exec(); });

    const auto serialPort = [&session, &prompter, page] {
        SerialPortWindow window(session, prompter, page);
        return window.exec() == QDialog::Accepted;
    };
    windows.setSettingsWindow(index(OperationMode::Rs232), serialPort);
    windows.setPreparation(index(OperationMode::Rs232), serialPort);

    windows.setSettingsWindow(index(OperationMode::SerialHub), [&session, &prompter, page] {
        RoutingTableWindow window(session, prompter, page);
        window.exec();
    });

    windows.setPreparation(index(OperationMode::Repeater), [&session, &prompter, page] {
        RepeaterStationWindow window(session, prompter, page);
        return window.exec() == QDialog::Accepted;
    });
}

} // namespace

PageSet createProductPages(DeviceSession& session, Prompter& prompter, QWidget* parent) {
    PageSet pages;
    auto* operationMode = new OperationModePage(session, prompter, parent);
    registerModeWindows(operationMode, session, prompter);
    pages.operationMode = operationMode;
    auto* bluetooth = new BluetoothPage(session, prompter, parent);
    pages.bluetooth = bluetooth;
    pages.connections = new ConnectionsPage(session, prompter, parent);
    pages.neighborhoods = new NeighborhoodsPage(session, prompter, parent);
    pages.repeater = new RepeaterPage(session, prompter, parent);
    auto* information = new InformationPage(session, prompter, parent);
    information->setBluetoothNameSource([bluetooth] { return bluetooth->appliedName(); });
    pages.information = information;
    return pages;
}

} // namespace kvx
