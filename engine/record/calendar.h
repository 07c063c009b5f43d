#pragma once

#include <string>
#include <string_view>

namespace pluvora {

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
long long daysFromCivil(long long year, unsigned month, unsigned day);
void civilFromDays(long long days, long long& year, unsigned& month, unsigned& day);

// "2001-02-28" of a day since 1970-01-01; with no separator "20010228".
std::string dateText(long long days, std::string_view separator = "-");

} // namespace pluvora
