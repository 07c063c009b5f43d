#pragma once

#include <stdexcept>
#include <string>

namespace pluvora {

// A failure that ends the current command. The window catches it at the
// handler and shows its text in an error box; the program stays usable.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kInvalidNumericInput = "Invalid numeric input";

} // namespace pluvora
