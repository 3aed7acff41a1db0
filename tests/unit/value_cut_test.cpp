#include "core/bluetooth_settings.h"
#include "core/client_mode_replies.h"
#include "core/server_mode_replies.h"
#include "core/station_address.h"
#include "core/vertex_settings.h"

#include <functional>
#include <gtest/gtest.h>

using namespace kvx;

// Every value a window cuts from a reply and may send back stops at the reply's first line end, so
// the text behind it can never go out as a command of its own.
TEST(ValueCut, EveryValueSentBackStopsAtALineEnd) {
    struct Case {
        const char* name;
        std::function<std::string(std::string_view)> cut;
        std::string_view normalised;
        std::string expected;
    };
    const Case cases[] = {
        {"default port", defaultPortFrom, "+OK 9\r\n1", "9"},
        {"default port, LF", defaultPortFrom, "+OK 90\n1", "90"},
        {"keep-alive", keepAliveFrom, "+OK KATO 30\r\nReboot", "30"},
        {"interval", intervalFrom, "+OK REPEAT every 3000\r\nReboot ms", "3000"},
        {"reconnect", reconnectFrom, "+OK PERSIST on\rReboot", "on"},
        {"vertex port", [](std::string_view r) { return vertexValuesFrom(r).port; }, "+OK PORT 91\r\nMAX 7",
         "91"},
        {"vertex maximum", [](std::string_view r) { return vertexValuesFrom(r).maximum; },
         "+OK PORT 9100 MAX \n", ""},
        {"name", [](std::string_view r) { return valueFrom(r, kQueryValuePosition); }, "+OK KVX\r\nReboot",
         "KVX"},
        {"max dt", [](std::string_view r) { return valueFrom(r, kMaxDtValuePosition); }, "+OK max 7\nReboot",
         "7"},
        {"link timeout", linkTimeoutFrom, "+OK Link timeout 2\r\nReboot sec", "2"},
        {"station", [](std::string_view r) { return stationInputFrom(r).value_or("?"); },
         "+OK 00:11\r\nReboot", "0011"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.cut(c.normalised), c.expected) << c.name;
}
