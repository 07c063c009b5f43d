#pragma once

#include <string>
#include <string_view>

namespace pluvora {

// SHA-256 of `data` (FIPS 180-4) as 64 lower-case hex digits: a name no
// two different texts share in practice.
std::string sha256Hex(std::string_view data);

} // namespace pluvora
