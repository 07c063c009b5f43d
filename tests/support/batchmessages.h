#pragma once

#include <string>

namespace pluvora::test {

// Standard error without the notices that a variable is written as 0, for
// tests about something else that use a layout without Solar or Precip.
std::string withoutZeroNotices(const std::string& err);

} // namespace pluvora::test
