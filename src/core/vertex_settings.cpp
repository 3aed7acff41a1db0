#include "vertex_settings.h"

#include "core/vocabulary.h"

namespace kvx {
namespace {

constexpr std::size_t kPortPosition = 9;
constexpr std::size_t kPortLength = 4;
constexpr std::size_t kMaximumPosition = 18;

std::string cut(std::string_view text, std::size_t position, std::size_t length) {
    return position < text.size() ? std::string(beforeLineEnd(text.substr(position, length))) : std::string();
}

} // namespace

VertexValues vertexValuesFrom(std::string_view normalised) {
    return {cut(normalised, kPortPosition, kPortLength), cut(normalised, kMaximumPosition, 1)};
}

std::string vertexSetCommand(const VertexValues& values) {
    return "Vertex " + values.port + " " + values.maximum + "\r\n";
}

bool vertexSetConfirmed(std::string_view normalised, const VertexValues& sent) {
    return normalised == "+OK PORT " + sent.port + " MAX " + sent.maximum;
}

} // namespace kvx
