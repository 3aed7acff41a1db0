#pragma once

#include <string>
#include <string_view>

// The two Vertex mode settings as the device reports and takes them. The values stand at fixed positions
// of the reply and travel as typed; nothing here checks that they are numbers.
namespace kvx {

struct VertexValues {
    std::string port;
    std::string maximum;
    bool operator==(const VertexValues&) const = default;
};

// "+OK PORT " port " MAX " maximum: the port is the four characters from position 9, the maximum the
// one character at position 18; whatever the normalised reply is too short for stays empty.
VertexValues vertexValuesFrom(std::string_view normalised);

std::string vertexSetCommand(const VertexValues& values);

// The device confirms a change by repeating both values exactly as they were sent.
bool vertexSetConfirmed(std::string_view normalised, const VertexValues& sent);

} // namespace kvx
