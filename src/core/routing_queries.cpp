#include "routing_queries.h"

namespace kvx {
namespace {

using S = QueryStep::Success;
constexpr const char* kRouting = "kvx::RoutingTableWindow";

} // namespace

const QueryStep kRouteQuery{"route\r\n", 3, S::AnyReply, kRouting, nullptr, nullptr, false};
const QueryStep kRoutePointToPoint{"route ptp\r\n", 3, S::AnyReply, kRouting, nullptr, nullptr, false};
const QueryStep kRouteManual{"route manual\r\n", 3, S::AnyReply, kRouting, nullptr, nullptr, false};
const QueryStep kRouteAdd{"", 10, S::AnyReply, kRouting, nullptr, nullptr, false};

} // namespace kvx
