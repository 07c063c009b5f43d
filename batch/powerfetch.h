#pragma once

#include "batch/powerrequest.h"

namespace pluvora {

// The attribution NASA POWER asks users of its data to give.
inline constexpr const char* kPowerAttribution =
    "Data: NASA Langley Research Center (LaRC) POWER Project funded through the NASA Earth "
    "Science/Applied Science Program.";

// Fetches (or takes from the cache) the reply to `request` and writes it
// as it came to -o or standard output; exit status 0, or 1 with an
// error: line and nothing written.
int runGetPower(const PowerRequest& request);

// The reply to `request`, from the cache or else from the service (then
// kept in the cache); throws Error, saying why, when there is none.
std::string powerReplyFor(const PowerRequest& request);

} // namespace pluvora
