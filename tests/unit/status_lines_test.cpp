#include "core/status_lines.h"

#include <gtest/gtest.h>

using namespace kvx;
using Ending = StatusLines::Ending;
using Lines = std::vector<std::string>;

TEST(StatusLines, LinesAndHowTheReplyEnded) {
    struct Case {
        const char* reply;
        Lines lines;
        Ending ending;
    };
    const Case cases[] = {
        {"+OK\r\n", {}, Ending::Complete},
        {"a|b\r\nc|d\r\n+OK\r\n", {"a|b", "c|d"}, Ending::Complete},
        {"a\r\nb\r\n", {"a", "b"}, Ending::EndOfReply},
        {"a\r\nb", {"a"}, Ending::Imperfect},
        {"no line end", {}, Ending::Imperfect},
        {"", {}, Ending::Imperfect},
        {"a\r\n+OK\r\nafter\r\n", {"a"}, Ending::Complete},
        {"\r\n+OK\r\n", {""}, Ending::Complete},
        {"a\n+OK\r\n", {"a\n+OK"}, Ending::EndOfReply},
        {"+OK trailing\r\n+OK\r\n", {"+OK trailing"}, Ending::Complete},
    };
    for (const Case& c : cases) {
        const StatusLines parsed = parseStatusLines(c.reply);
        EXPECT_EQ(parsed.lines, c.lines) << c.reply;
        EXPECT_EQ(parsed.ending, c.ending) << c.reply;
    }
}

TEST(StatusLines, PipeFields) {
    struct Case {
        const char* line;
        int count;
        Lines fields;
    };
    const Case cases[] = {
        {"1|A1|10|20|0|0", 6, {"1", "A1", "10", "20", "0", "0"}},
        {"whole line", 6, {"", "", "", "", "", "whole line"}},
        {"1|2|3|4|5|6|7", 9, {"1", "2", "3", "4", "5", "6", "", "", "7"}},
        {"1|2|3|4|5|6|7|8|9|10", 9, {"1", "2", "3", "4", "5", "6", "7", "8", "9|10"}},
        {"a||b", 3, {"a", "", "b"}},
        {"", 2, {"", ""}},
        {"1|2|3", 9, {"1", "2", "", "", "", "", "", "", "3"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitPipeFields(c.line, c.count), c.fields) << c.line;
}
