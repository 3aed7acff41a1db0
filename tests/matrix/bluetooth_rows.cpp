#include "fault_matrix.h"

namespace kvx::test {

std::vector<CommandRow> bluetoothRows() {
    return {};
}

void addBluetoothDrivers(DriverMap&) {}

} // namespace kvx::test
