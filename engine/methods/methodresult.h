#pragma once

#include <string>
#include <string_view>

namespace pluvora::methods {

// Why a formula has no value for a record. The task stages turn this into
// an error that ends the run instead of writing a made-up number.
enum class NoValueReason {
    None,
    NoSunriseOrSunset, // polar day or polar night at the latitude
    ElevationTooHigh,  // above 293 / 0.0065 m the pressure base is negative
    PanCoefficientNotPositive, // a fetch past the fitted ones turned Kp to 0 or below
};

inline constexpr std::string_view kNoSunriseOrSunsetMessage =
    "The sun does not rise or set on this day at the given latitude, so the "
    "estimate has no value. Check the latitude and the dates. Day of year: ";
inline constexpr std::string_view kElevationTooHighMessage =
    "The elevation is above 45076.9 m, where the air pressure has no value. "
    "Check the elevation and try again.";

inline constexpr std::string_view kPanCoefficientNotPositiveMessage =
    "The pan coefficient is not above 0 at this fetch, wind speed and humidity, so the estimate has no "
    "value. Check the fetch. Day of year: ";

// The text of the error box for `reason`; the day of year is appended where
// it helps the user find the record.
std::string noValueMessage(NoValueReason reason, int dayOfYear);

// A per-record estimate, or the reason it has none.
template <typename T>
struct MethodResult {
    T value{};
    NoValueReason reason = NoValueReason::None;

    bool ok() const { return reason == NoValueReason::None; }
    explicit operator bool() const { return ok(); }
};

} // namespace pluvora::methods
