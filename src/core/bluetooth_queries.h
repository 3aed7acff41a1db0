#pragma once

#include "core/bluetooth_settings.h"
#include "core/query.h"

// The exchanges of the Bluetooth, Connections, Neighborhoods and Repeater pages, the SD List picker and
// the Repeater Mode window. The Bluetooth queries serve kvx100ctl's info as well.
namespace kvx {

// Bluetooth page: the settings read, each reply beginning with "+OK".
extern const QueryStep kBtNameQuery;
extern const QueryStep kMaxDtQuery;
extern const QueryStep kLinkTimeoutQuery;
extern const QueryStep kScanQuery;
extern const QueryStep kSecurityQuery;
extern const QueryStep kPairableQuery;
// The local radios; Parsed: a reply beginning with "-ERR" is refused.
extern const QueryStep kLocalDevicesQuery;

// Bluetooth page: Apply, each line built from the fields and answered by a bare "+OK".
extern const QueryStep kBtNameSet;
extern const QueryStep kMaxDtSet;
extern const QueryStep kLinkTimeoutSet;
extern const QueryStep kSecuritySet;
extern const QueryStep kPinSet;
extern const QueryStep kPairableSet;
// The scan mode's refusal names the mode that was asked for.
const QueryStep& scanSet(ScanMode mode);

// Connections page. A silent list ends the program: the page posts the close request itself.
extern const QueryStep kConnectionList;
extern const QueryStep kIndicatorVersionQuery; // the firmware version only gates the indicators
extern const QueryStep kDisconnect;            // "disc IDX", built by the page

// Neighborhoods page.
extern const QueryStep kPeriodicInquiryQuery; // Parsed: the inquiry's state
extern const QueryStep kPeriodicInquiryStart; // "pinq on ...", built by the page; the reply is not read
extern const QueryStep kPeriodicInquiryStop;
extern const QueryStep kNeighbourPoll; // Parsed: the neighbour list; a failed poll says nothing

// The SD List picker: whatever comes back is read as far as it goes.
extern const QueryStep kPickerList;

// Repeater page and Repeater Mode window.
extern const QueryStep kRepeaterTreeQuery; // Parsed: the repeater tree
extern const QueryStep kStationQuery;      // Parsed: the station address, when it came with "+OK"
extern const QueryStep kStationSet;        // "station ADDRESS", built by the window

} // namespace kvx
