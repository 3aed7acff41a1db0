#include "app_icon.h"

// Resources of a static library are only linked in when something asks for them by name.
static QString iconPath() {
    Q_INIT_RESOURCE(app);
    return QStringLiteral(":/app/kvx100-manager.svg");
}

namespace kvx {

QIcon applicationIcon() {
    return QIcon(iconPath());
}

} // namespace kvx
