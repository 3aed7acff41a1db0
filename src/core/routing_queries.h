#pragma once

#include "core/query.h"

// The Serial Hub Mode window's exchanges: none shows a message or asks for a reconnect, and only the
// reading looks at its replies.
namespace kvx {

extern const QueryStep kRouteQuery;
// Apply and Clear start from an empty point-to-point table in manual mode.
extern const QueryStep kRoutePointToPoint;
extern const QueryStep kRouteManual;
extern const QueryStep kRouteAdd; // "route add FROM TO...", built from the table's rows

} // namespace kvx
