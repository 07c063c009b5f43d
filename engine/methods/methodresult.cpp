#include "engine/methods/methodresult.h"

namespace pluvora::methods {

std::string noValueMessage(NoValueReason reason, int dayOfYear)
{
    switch (reason) {
    case NoValueReason::None:
        return {};
    case NoValueReason::NoSunriseOrSunset:
        return std::string(kNoSunriseOrSunsetMessage) + std::to_string(dayOfYear) + ".";
    case NoValueReason::ElevationTooHigh:
        return std::string(kElevationTooHighMessage);
    case NoValueReason::PanCoefficientNotPositive:
        return std::string(kPanCoefficientNotPositiveMessage) + std::to_string(dayOfYear) + ".";
    }
    return {};
}

} // namespace pluvora::methods
