#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace pluvora {

// How long a request may take and how long to wait before asking again.
struct PowerTiming {
    std::chrono::milliseconds connect{15000};
    std::chrono::milliseconds total{120000};
    std::chrono::milliseconds firstWait{1000}; // doubles before each next try
    int retries = 3;
};

// The timing, or the one PLUVORA_POWER_TIMING sets as "CONNECT,TOTAL,WAIT"
// in seconds (e.g. "1,2,0.05"): the tests' own server answers fast, and a
// test of a slow reply should not wait two minutes.
PowerTiming powerTimingFromEnvironment();

// Says that an answer will be asked for again, and why.
using RetryNotice = std::function<void(std::string_view)>;

// The body of a reply with status 200 to GET `url`. Answers 429 (too many
// requests) and 503 (busy) are asked for again after growing waits; every
// other failure throws Error with a text for the user.
std::string fetchPowerReply(const std::string& url, const PowerTiming& timing, const RetryNotice& notice);

} // namespace pluvora
