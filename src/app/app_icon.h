#pragma once

#include <QIcon>

namespace kvx {

// The SVG the desktop's icon theme installs as well, so the window and its launcher show one
// picture, sharp at every size and scale the desktop asks for.
QIcon applicationIcon();

} // namespace kvx
