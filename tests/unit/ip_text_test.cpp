#include "core/ip_text.h"

#include <gtest/gtest.h>

using namespace kvx;

TEST(IpText, OctetsKeptToEightBitsAndJoined) {
    struct Case {
        const char* dotted;
        Octets octets;
        const char* text;
    };
    const Case cases[] = {
        {"192.168.0.10", {192, 168, 0, 10}, "192.168.0.10"},
        {"10.0.0.300", {10, 0, 0, 44}, "10.0.0.44"},
        {"1.2", {1, 2, 0, 0}, "1.2.0.0"},
        {"", {0, 0, 0, 0}, "0.0.0.0"},
        {"1.2.3.4.5", {1, 2, 3, 4}, "1.2.3.4"},
        {"99999999999999999999.1.1.1", {255, 1, 1, 1}, "255.1.1.1"},
        // Only leading digits count (no blank, no sign), however many zeros lead them.
        {"7.x8.-1.256", {7, 0, 0, 0}, "7.0.0.0"},
        {" 7.+7.12a.1", {0, 0, 12, 1}, "0.0.12.1"},
        {"1.00000000000000000000000042.3.4", {1, 42, 3, 4}, "1.42.3.4"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(octetsFromText(c.dotted), c.octets) << c.dotted;
        EXPECT_EQ(ipText(octetsFromText(c.dotted)), c.text) << c.dotted;
    }
}

TEST(IpText, SplitAtTheFirstColon) {
    struct Case {
        const char* text;
        const char* ip;
        const char* port;
    };
    const Case cases[] = {
        {"10.0.0.1:9100", "10.0.0.1", "9100"},
        {"10.0.0.1", "10.0.0.1", ""},
        {":80", "", "80"},
        {"a:b:c", "a", "b:c"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const IpPort split = splitIpPort(c.text);
        EXPECT_EQ(split.ip, c.ip) << c.text;
        EXPECT_EQ(split.port, c.port) << c.text;
    }
}
