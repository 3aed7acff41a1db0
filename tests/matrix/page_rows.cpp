#include "fault_matrix.h"

namespace kvx::test {

std::vector<CommandRow> pageRows() {
    return {};
}

void addPageDrivers(DriverMap&) {}

} // namespace kvx::test
