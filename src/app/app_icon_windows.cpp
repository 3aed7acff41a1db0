#include "app_icon.h"

// Qt for Windows has no SVG reader here: the icon comes as pictures drawn from the SVG at build time.
static void loadPictures() {
    Q_INIT_RESOURCE(app_icon);
}

namespace kvx {

QIcon applicationIcon() {
    loadPictures();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/app/kvx100-manager-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace kvx
