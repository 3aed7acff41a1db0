#pragma once

#include "core/query.h"

// The Vertex Mode and Serial Port Setup (RS232) windows' exchanges with the device.
namespace kvx {

extern const QueryStep kVertexQuery;
// "Vertex PORT MAX", built by the window; Parsed: the device repeats the values it took.
extern const QueryStep kVertexSet;

// Neither serial exchange posts the reconnect request.
extern const QueryStep kSerialLineQuery; // Parsed: the line's settings
extern const QueryStep kSerialLineSet;   // "rs232 ...", built by the window

} // namespace kvx
