#include "engine/columns/variablecatalogue.h"
#include "engine/record/record.h"
#include "engine/tasks/convertrearrange.h"

#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pluvora {
namespace {

struct NewFactor {
    double (*conversion)(std::string_view);
    const char* unit;
    double factor;
};

class AddedUnitFactors : public ::testing::TestWithParam<NewFactor> {};

TEST_P(AddedUnitFactors, AreTheExactRatios)
{
    const auto c = GetParam();
    EXPECT_EQ(c.conversion(c.unit), c.factor) << c.unit;
}

INSTANTIATE_TEST_SUITE_P(
    Units, AddedUnitFactors,
    ::testing::Values(NewFactor{conversionUnitSolar, "kWh/m2/d", 3.6},
                      NewFactor{conversionUnitSolar, "J/cm2", 0.01},
                      NewFactor{conversionUnitSolar, "cal/cm2", 0.04186}, // the Langley
                      NewFactor{conversionUnitSolar, "langley", 0.0},     // the window's text only
                      NewFactor{conversionUnitForWater, "0.1 mm", 0.1},
                      NewFactor{conversionUnitWS, "km/d", 0.011574074074074073},
                      NewFactor{conversionUnitWS, "knot", 0.5144444444444445},
                      NewFactor{conversionUnitWS, "0.1 m/s", 0.1},
                      NewFactor{conversionUnitSolar, "kJ/m2/d", 0.001},
                      NewFactor{conversionUnitSolar, "Wh/m2/d", 0.0036}));

TEST(Units, StoredIndexesOfTheFirstUnitsStay)
{
    // Templates keep unit indexes; the units added later come after these.
    const std::vector<std::pair<int, std::vector<std::string_view>>> first = {
        {kSolar, {"MJ/m2/d", "Langley", "W/m2"}}, {kTmax, {"oC", "oF"}},
        {kPrecip, {"mm", "cm", "inch"}},          {kWndSpd, {"km/hr", "mile/hr", "m/s"}},
        {kSoilT, {"oC", "oF"}},                   {kPanEvap, {"mm", "cm", "inch"}}};
    for (const auto& [code, units] : first)
        for (std::size_t i = 0; i < units.size(); ++i)
            EXPECT_EQ(variableInfo(code).units[i], units[i]) << code;
}

TEST(Units, TenthsOfADegreeAreExactTenths)
{
    const auto tenth = temperatureUnit("0.1 oC");
    EXPECT_EQ(tenth, TemperatureUnit::TenthCelsius);
    EXPECT_EQ(toCelsius(253, tenth), 25.3);
    EXPECT_EQ(toCelsius(-3, tenth), -0.3);
    EXPECT_EQ(toCelsius(50, temperatureUnit("oF")), 10.0);
    EXPECT_EQ(temperatureUnit("0.1 oc"), TemperatureUnit::Unknown);
}

struct WeatherRowCase {
    const char* name;
    std::vector<std::pair<int, std::string>> columns; // code, unit text
    std::string record;
    std::string row;
};

class AddedUnitsInTheWeatherFile : public ::testing::TestWithParam<WeatherRowCase> {};

TEST_P(AddedUnitsInTheWeatherFile, AreWrittenInTheFileUnits)
{
    const auto& c = GetParam();
    test::TempFolder temp;
    AppFolder folder(temp.path());
    test::RecordingFeedback feedback;
    RunContext run(folder, feedback);
    temp.write("Input.~", c.record + "\r\n");
    run.task = 1;
    run.columnCount = static_cast<int>(c.columns.size());
    for (std::size_t i = 0; i < c.columns.size(); ++i) {
        const auto [code, unit] = c.columns[i];
        run.columns.columnVariable[i + 1] = code;
        if (isMeasured(code))
            run.columns.unitText[static_cast<std::size_t>(code)] = unit;
    }

    Convert_rearrange(run);

    ASSERT_FALSE(run.stopped());
    const std::string out = temp.read("Output.~");
    EXPECT_EQ(out.substr(out.rfind("\r\n", out.size() - 3) + 2), c.row + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Units, AddedUnitsInTheWeatherFile,
    ::testing::Values(
        // A KNMI row: J/cm2, tenths of a degree and of a millimetre.
        WeatherRowCase{"KnmiTenths",
                       {{kYear, ""}, {kDoy, ""}, {kSolar, "J/cm2"}, {kTmax, "0.1 oC"}, {kTmin, "0.1 oC"},
                        {kPrecip, "0.1 mm"}},
                       "1993 32 1234 83 -25 37",
                       "1993\t32\t12.34\t8.3\t-2.5\t0\t3.7\t0.0"},
        WeatherRowCase{"KilowattHoursAndCalories",
                       {{kYear, ""}, {kDoy, ""}, {kSolar, "kWh/m2/d"}, {kEt, "0.1 mm"}},
                       "2000 1 5.5 45", "2000\t1\t19.80\t0.0\t0.0\t0\t0.0\t4.5"},
        WeatherRowCase{"CaloriesAsLangleys", {{kYear, ""}, {kDoy, ""}, {kSolar, "cal/cm2"}}, "2000 1 300",
                       "2000\t1\t12.56\t0.0\t0.0\t0\t0.0\t0.0"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pluvora
