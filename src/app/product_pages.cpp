#include "product_pages.h"

#include "pages/information_page.h"
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
    pages.bluetooth = named(new Page(parent), "bluetoothPage");
    pages.connections = named(new TimedPage(parent), "connectionsPage");
    pages.neighborhoods = named(new TimedPage(parent), "neighborhoodsPage");
    pages.repeater = named(new Page(parent), "repeaterPage");
    pages.information = new InformationPage(session, prompter, parent);
    return pages;
}

} // namespace kvx
