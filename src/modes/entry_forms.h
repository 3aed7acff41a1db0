#pragma once

#include "modes/entry_table.h"
#include "modes/entry_window.h"

// The two tables of entries and their editors: the registered devices of Server mode, each with its data
// port, and the servers of Client mode, each with its IP address and port.
namespace kvx {

extern const EntryForm kAddDeviceForm;
extern const EntryForm kModifyDeviceForm;
extern const EntryTableForm kDeviceTableForm;

extern const EntryForm kAddServerForm;
extern const EntryForm kModifyServerForm;
extern const EntryTableForm kServerTableForm;

} // namespace kvx
