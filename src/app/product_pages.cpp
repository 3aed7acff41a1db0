#include "product_pages.h"

#include "pages/page.h"

namespace kvx {

PageSet createProductPages(DeviceSession&, Prompter&, QWidget* parent) {
    const auto named = [](auto* page, const char* name) {
        page->setObjectName(QLatin1String(name));
        return page;
    };
    PageSet pages;
    pages.operationMode = named(new Page(parent), "operationModePage");
    pages.bluetooth = named(new Page(parent), "bluetoothPage");
    pages.connections = named(new TimedPage(parent), "connectionsPage");
    pages.neighborhoods = named(new TimedPage(parent), "neighborhoodsPage");
    pages.repeater = named(new Page(parent), "repeaterPage");
    pages.information = named(new Page(parent), "informationPage");
    return pages;
}

} // namespace kvx
