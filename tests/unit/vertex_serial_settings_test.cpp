#include "core/serial_settings.h"
#include "core/vertex_settings.h"

#include <gtest/gtest.h>

using namespace kvx;

namespace kvx {
void PrintTo(const SerialLine& line, std::ostream* out) {
    *out << line.baud << ' ' << line.dataBits << line.parity << line.stopBits << ' '
         << static_cast<int>(line.flow);
}
} // namespace kvx

TEST(VertexSettings, ValuesStandAtFixedPositions) {
    struct Case {
        const char* normalised;
        VertexValues values;
    };
    const Case cases[] = {
        {"+OK PORT 9100 MAX 7", {"9100", "7"}},
        {"+OK PORT 9100 MAX 12", {"9100", "1"}},
        {"+OK PORT 9100 MAX ", {"9100", ""}},
        {"+OK PORT 80 MAX 7", {"80 M", ""}},
        {"+OK PORT 91", {"91", ""}},
        {"+OK", {"", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vertexValuesFrom(c.normalised), c.values) << c.normalised;
}

TEST(VertexSettings, SetIsConfirmedOnlyByTheExactEcho) {
    struct Case {
        VertexValues sent;
        const char* command;
        const char* normalised;
        bool confirmed;
    };
    const Case cases[] = {
        {{"9200", "7"}, "Vertex 9200 7\r\n", "+OK PORT 9200 MAX 7", true},
        {{"9200", "7"}, "Vertex 9200 7\r\n", "+OK", false},
        {{"9200", "7"}, "Vertex 9200 7\r\n", "+OK PORT 9200 MAX 7 ", false},
        {{"9200", "7"}, "Vertex 9200 7\r\n", "+OK PORT 9100 MAX 7", false},
        {{"9200", ""}, "Vertex 9200 \r\n", "+OK PORT 9200 MAX ", true},
        {{"92 0", "x"}, "Vertex 92 0 x\r\n", "+OK PORT 92 0 MAX x", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vertexSetCommand(c.sent), c.command);
        EXPECT_EQ(vertexSetConfirmed(c.normalised, c.sent), c.confirmed) << c.normalised;
    }
}

TEST(SerialSettings, LineFromTheReply) {
    using F = FlowControl;
    struct Case {
        const char* reply;
        SerialLine line;
    };
    const Case cases[] = {
        {"+OK RS232 9600 7E2 xonoff\r\n", {"9600", '7', 'E', '2', F::XonXoff}},
        {"+OK RS232 115200 8N1 none\r\n", {"115200", '8', 'N', '1', F::None}},
        {"+OK RS232 57600 6O1 hardware\r\n", {"57600", '6', 'O', '1', F::Hardware}},
        {"+OK RS232 9600 7E2 rts\r\n", {"9600", '7', 'E', '2', F::Hardware}},
        {"+OK RS232 9600 7E2 xonoff off\r\n", {"9600", '7', 'E', '2', F::Hardware}},
        {"+OK RS232 14400 9M3 none\r\n", {"14400", '9', 'M', '3', F::None}},
        {"+OK RS232 9600 7\r\n", {"9600", '7', 'N', '1', F::Hardware}},
        {"+OK RS232 9600\r\nnone\r\n", {"9600", '8', 'N', '1', F::Hardware}},
        // A baud word that cannot be read leaves the rate unknown, not the default.
        {"+OK RS232  7E2 none\r\n", {"", '7', 'E', '2', F::None}},
        {"+OK RS232 96\t0 7E2 none\r\n", {"", '7', 'E', '2', F::None}},
        {"+OK RS232 9600 7\x01\x02 none\r\n", {"9600", '7', 'N', '1', F::None}},
        {"+OK RS232 9600 7E2 none", {"9600", '7', 'E', '2', F::None}},
        {"+OK\r\n", {"", '8', 'N', '1', F::Hardware}},
    };
    for (const Case& c : cases) {
        const std::optional<SerialLine> line = serialLineFrom(c.reply);
        ASSERT_TRUE(line) << c.reply;
        EXPECT_EQ(*line, c.line) << c.reply;
    }
    for (const char* refused : {"", "-ERR\r\n", "+ok RS232 9600 7E2 none\r\n"})
        EXPECT_FALSE(serialLineFrom(refused)) << refused;
}

TEST(SerialSettings, CommandTakesTheFrameFromTheThreeCharacters) {
    using F = FlowControl;
    struct Case {
        SerialLine line;
        const char* command;
    };
    const Case cases[] = {
        {{"57600", '7', 'O', '2', F::None}, "rs232 57600 7O2 none\r\n"},
        {{"115200", '8', 'N', '1', F::Hardware}, "rs232 115200 8N1 hardware\r\n"},
        {{"1200", '5', 'E', '1', F::XonXoff}, "rs232 1200 5E1 xonoff\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serialSetCommand(c.line), c.command);
}
