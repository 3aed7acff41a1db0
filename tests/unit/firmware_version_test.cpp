#include "core/firmware_version.h"

#include <gtest/gtest.h>

using namespace kvx;

TEST(InformationRules, VersionTextNumberAndListChecks) {
    struct Case {
        const char* reply;
        const char* text;
        unsigned number;
        int checks;
    };
    const Case cases[] = {
        {"+OK Ver 2.1.0\r\n", "2.1.0\r\n", 21, 2},
        {"+OK Ver 1.0.2\r\n", "1.0.2\r\n", 10, 1},
        {"+OK Ver 1.5\r\n", "1.5\r\n", 15, 0},
        {"+OK Ver 2.2\r\n", "2.2\r\n", 22, 1},
        {"+OK Ver 3.0.1\r\n", "3.0.1\r\n", 30, 2},
        {"+OK Ver 2.0\r\n", "2.0\r\n", 20, 0},
        {"+OK Ver x.1.2\r\n", "x.1.2\r\n", 0, 1},
        {"+OK Ver 2\r\n", "2\r\n", 2, 0},
        {"-ERR\r\n", "", 0, 0},
        {"", "", 0, 0},
        {"+OK Ver 2.1", "2.1", 21, 1},
    };
    for (const Case& c : cases) {
        const std::string text = versionTextFromReply(c.reply);
        EXPECT_EQ(text, c.text) << c.reply;
        EXPECT_EQ(versionNumberFromText(text), c.number) << c.reply;
        EXPECT_EQ(listChecksFor(text, versionNumberFromText(text)), c.checks) << c.reply;
    }
}
