#include "product_pages.h"

#include "pages/bluetooth_page.h"
#include "pages/connections_page.h"
#include "pages/information_page.h"
#include "pages/neighborhoods_page.h"
#include "pages/operation_mode_page.h"
#include "pages/page.h"

namespace kvx {

PageSet createProductPages(DeviceSession& session, Prompter& prompter, QWidget* parent) {
    const auto named = [](auto* page, const char* name) {
        page->setObjectName(QLatin1String(name));
        return page;
    };
    PageSet pages;
    pages.operationMode = new OperationModePage(session, prompter, parent);
    auto* bluetooth = new BluetoothPage(session, prompter, parent);
    pages.bluetooth = bluetooth;
    pages.connections = new ConnectionsPage(session, prompter, parent);
    pages.neighborhoods = new NeighborhoodsPage(session, prompter, parent);
    pages.repeater = named(new Page(parent), "repeaterPage");
    auto* information = new InformationPage(session, prompter, parent);
    information->setBluetoothNameSource([bluetooth] { return bluetooth->appliedName(); });
    pages.information = information;
    return pages;
}

} // namespace kvx
