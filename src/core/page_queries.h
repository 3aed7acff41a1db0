#pragma once

#include "core/query.h"

#include <optional>

// The Operation Mode and Information pages' exchanges with the device, kvx100ctl's info among them.
namespace kvx {

// Operation Mode page.
extern const QueryStep kModeQuery; // Parsed: the reply is one of the six mode replies
// Runs kModeQuery: the mode's index in the radio order, or nothing after the query's message.
std::optional<int> queryMode(DeviceSession& session, Prompter& prompter);
// "mode KEYWORD", built by the page; a change to Repeater takes the device longer.
extern const QueryStep kModeChange;
extern const QueryStep kRepeaterModeChange;

// Information page. A refused version query is no failure: the page falls back to version 1.0.
extern const QueryStep kVersionQuery;
extern const QueryStep kListCheck; // Restore is offered while it succeeds
extern const QueryStep kReboot;

} // namespace kvx
