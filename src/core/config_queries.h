#pragma once

#include "core/query.h"

// The exchanges of the backup, the restore and the device log.
namespace kvx {

// Each of the backup's queries; the command comes from its list of queries.
extern const QueryStep kBackupQuery;

// The restore is offered only while no Bluetooth serial connection is up.
extern const QueryStep kRestoreConnectionCheck;
// Restore lines, built from the file: a setting (silence ends the restore and asks for a new
// connection), a route (silence ends it, the connection is kept), the RS232 mode (anything but "+OK"
// means the console switch is not in data mode), and lines whose reply is not looked at.
extern const QueryStep kRestoreSetting;
extern const QueryStep kRestoreRoute;
extern const QueryStep kRestoreSerialMode;
extern const QueryStep kRestoreUnchecked;

extern const QueryStep kLogQuery;

} // namespace kvx
