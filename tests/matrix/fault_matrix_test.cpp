#include "fault_matrix.h"

#include <gtest/gtest.h>

using namespace kvx::test;

#if defined(KVX_MATRIX_GROUP_pages)
TEST(FaultMatrix, StartUpOperationModeAndInformation) {
    DriverMap drivers;
    addPageDrivers(drivers);
    checkRows(pageRows(), drivers);
}

TEST(FaultMatrix, EveryRowOfTheTableHasItsDriver) {
    DriverMap drivers;
    addPageDrivers(drivers);
    addBluetoothDrivers(drivers);
    addModeDrivers(drivers);
    addConfigDrivers(drivers);
    const std::vector<CommandRow> table = commandTable();
    for (const CommandRow& row : table)
        EXPECT_EQ(drivers.count(row.sender), 1u) << row.sender << ": " << row.command;
    std::cout << "fault matrix: " << table.size() << " commands x 5 faults\n";
}
#elif defined(KVX_MATRIX_GROUP_bluetooth)
TEST(FaultMatrix, BluetoothConnectionsNeighborhoodsAndRepeater) {
    DriverMap drivers;
    addBluetoothDrivers(drivers);
    checkRows(bluetoothRows(), drivers);
}
#elif defined(KVX_MATRIX_GROUP_modes)
TEST(FaultMatrix, ModeWindowsAndRouting) {
    DriverMap drivers;
    addModeDrivers(drivers);
    checkRows(modeRows(), drivers);
}
#elif defined(KVX_MATRIX_GROUP_config)
TEST(FaultMatrix, BackupRestoreAndLog) {
    DriverMap drivers;
    addConfigDrivers(drivers);
    checkRows(configRows(), drivers);
}
#endif
