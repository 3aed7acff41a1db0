#include "port_queries.h"

#include <QtGlobal>

namespace kvx {
namespace {

using S = QueryStep::Success;
constexpr const char* kVertex = "kvx::VertexModeWindow";
constexpr const char* kSerial = "kvx::SerialPortWindow";

} // namespace

const QueryStep kVertexQuery{
    "Vertex\r\n",
    10,
    S::NormalisedStartsWithOk,
    kVertex,
    QT_TRANSLATE_NOOP("kvx::VertexModeWindow", "Get Vertex Mode is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::VertexModeWindow", "Get Vertex is Failed. Try again."),
};
const QueryStep kVertexSet{
    "",
    10,
    S::Parsed,
    kVertex,
    QT_TRANSLATE_NOOP("kvx::VertexModeWindow", "Set Vertex Mode is timeout. Check Lumeno-KVX and Try again."),
    QT_TRANSLATE_NOOP("kvx::VertexModeWindow", "Vertex Mode Setup Fail. Try again."),
};

const QueryStep kSerialLineQuery{
    "rs232\r\n",
    1,
    S::Parsed,
    kSerial,
    QT_TRANSLATE_NOOP("kvx::SerialPortWindow", "Can't get RS232 configuration."),
    QT_TRANSLATE_NOOP("kvx::SerialPortWindow", "Can't get RS232 configuration."),
    false,
};
const QueryStep kSerialLineSet{
    "",
    1,
    S::ContainsOk,
    kSerial,
    QT_TRANSLATE_NOOP("kvx::SerialPortWindow", "Setting RS232 failed."),
    QT_TRANSLATE_NOOP("kvx::SerialPortWindow", "Setting RS232 failed."),
    false,
};

} // namespace kvx
