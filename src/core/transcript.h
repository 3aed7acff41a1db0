#pragma once

#include <string_view>

namespace kvx {

// Where the transaction echoes traffic. The console pane is the production sink; tests record.
class Transcript {
public:
    virtual ~Transcript() = default;
    virtual void append(std::string_view text) = 0;
    virtual void clear() = 0;
};

} // namespace kvx
