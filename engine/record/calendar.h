#pragma once

namespace pluvora {

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
long long daysFromCivil(long long year, unsigned month, unsigned day);
void civilFromDays(long long days, long long& year, unsigned& month, unsigned& day);

} // namespace pluvora
