#pragma once

namespace pluvora::methods {

// Pan type codes.
inline constexpr int kClassAGreenFetch = 1;
inline constexpr int kClassADryFetch = 2;
inline constexpr int kColoradoGreenFetch = 3;
inline constexpr int kColoradoDryFetch = 4;
inline constexpr int kPanTypeUnknown = 5;

// Fetch used for every regression when the pan type is unknown.
inline constexpr double kUnknownPanFetch = 500.0;

// Pan coefficient Kp for pan codes 1 to 4 from wind speed u (m/s), mean
// relative humidity H (%) and fetch F (m). A u, H or F not above 0 is taken
// as 0.001 so every logarithm is defined; nothing else is bounded and Kp is
// not clamped. Throws std::invalid_argument for any other code.
// FAO-56, Table 5 (regressions after Allen and Pruitt, 1991).
double panCoefficient(int code, double u, double H, double F);

// Kp when neither pan nor fetch surface is known: the mean of the four
// regressions at a fetch of 500 m, summed in code order.
double unknownPanCoefficient(double u, double H);

} // namespace pluvora::methods
