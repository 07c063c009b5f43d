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

// Thrown out of a run once the user asked it to stop. Not a std::exception,
// so the handlers that report failures let it pass to the one that undoes
// the run.
struct RunCancelled {};

inline constexpr const char* kInvalidNumericInput = "Invalid numeric input";

} // namespace pluvora
