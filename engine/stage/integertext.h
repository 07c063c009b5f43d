#pragma once

#include <string>
#include <string_view>

namespace pluvora {

// "'x' is not a valid integer value": a box that should hold a whole number.
std::string notAnIntegerMessage(std::string_view text);

} // namespace pluvora
