#pragma once

#include <string>

namespace pluvora {

// A usage fault, exit status 2. A refused site coordinate is told with the
// window's own error text instead of the usage text.
struct UsageError {
    std::string message;
    bool windowMessage = false;
};

} // namespace pluvora
