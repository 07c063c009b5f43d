#pragma once

#include <array>
#include <span>
#include <string_view>

namespace pluvora {

// Variable codes: the position of the item in the variable list. Templates
// store these numbers, so the order is a stored format.
enum VariableCode : int {
    kUnselected = -1,
    kIgnore = 0,
    kYear = 1,
    kMonth = 2,
    kDay = 3,
    kDoy = 4,
    kSolar = 5,
    kTmax = 6,
    kTmin = 7,
    kPrecip = 8,
    kRelHum = 9,
    kWndSpd = 10,
    kSoilT = 11,
    kEt = 12,
    kPanEvap = 13,
    kSunHr = 14,
    kSunHrPercent = 15,
    kYydoy = 16,
    // Year, month and day in one column; its unit is the date's format.
    kDate = 17,
    // Humidity as people measure it; turned into RelHum when read.
    kDewPt = 18,
    kVapPr = 19,
};

inline constexpr int kVariableCount = 20;
inline constexpr int kColumnBoxes = 12;

struct VariableInfo {
    std::string_view item;
    std::span<const std::string_view> units;
    // Unit index selected whenever the variable is chosen; -1 means the
    // caller's choice (nothing, when the user picks the variable).
    int fixedUnit;
};

const VariableInfo& variableInfo(int code);
// The item texts in code order: what every variable box lists.
std::span<const std::string_view> variableItems();

// The position of `unit` in the unit list of variable `code`, -1 when the
// list does not hold it.
int unitIndex(int code, std::string_view unit);

// Codes 5 to 15 and the humidity forms are measured and need a unit.
constexpr bool isMeasured(int code)
{
    return (code >= kSolar && code <= kSunHrPercent) || code == kDewPt || code == kVapPr;
}

} // namespace pluvora
