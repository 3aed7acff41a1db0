#include "config_queries.h"

#include <QtGlobal>

namespace kvx {
namespace {

using S = QueryStep::Success;
// Every restore line waits this long, whatever it sets.
constexpr int kConfigWait = 10;
constexpr const char* kRestoreTimeout =
    QT_TRANSLATE_NOOP("ConfigRestore", "Restore is timeout. Check Lumeno-KVX and Try again.");

} // namespace

const QueryStep kBackupQuery{
    "",
    kConfigWait,
    S::AnyReply,
    "ConfigBackup",
    QT_TRANSLATE_NOOP("ConfigBackup", "Backup is timeout. Check Lumeno-KVX and Try again."),
    nullptr,
};

const QueryStep kRestoreConnectionCheck{
    "list\r\n",
    3,
    S::StartsWithOk,
    "ConfigRestore",
    QT_TRANSLATE_NOOP("ConfigRestore", "You can't restore while bluetooth serial connected."),
    QT_TRANSLATE_NOOP("ConfigRestore", "You can't restore while bluetooth serial connected."),
    false,
};

const QueryStep kRestoreSetting{"", kConfigWait, S::AnyReply, "ConfigRestore", kRestoreTimeout, nullptr};

const QueryStep kRestoreRoute{"", kConfigWait, S::AnyReply, "ConfigRestore", kRestoreTimeout, nullptr, false};

const QueryStep kRestoreSerialMode{
    "mode RS232;\r\n",
    kConfigWait,
    S::StartsWithOk,
    "ConfigRestore",
    kRestoreTimeout,
    QT_TRANSLATE_NOOP("ConfigRestore",
                      "Restore Failed!\r\nTo set Lumeno-KVX to RS232 mode, user need to change the Consolue "
                      "switch to data mode.\r\nAfter changing the data mode, please restart Lumeno-KVX."),
};

const QueryStep kRestoreUnchecked{"", kConfigWait, S::AnyReply, "ConfigRestore", nullptr, nullptr, false};

const QueryStep kLogQuery{
    "log\r\n",
    kConfigWait,
    S::AnyReply,
    "DeviceLogFetch",
    QT_TRANSLATE_NOOP("DeviceLogFetch", "Log is timeout. Check Lumeno-KVX and Try again."),
    nullptr,
};

} // namespace kvx
