#pragma once

#include "app/main_window.h"

namespace kvx {

// The six pages the product shows, built for one main window.
PageSet createProductPages(DeviceSession& session, Prompter& prompter, QWidget* parent);

} // namespace kvx
