#pragma once

#include <QIcon>

namespace kvx {

// Drawn rather than stored, so it stays sharp at every size the desktop asks for.
QIcon applicationIcon();

} // namespace kvx
