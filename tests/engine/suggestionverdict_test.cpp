#include "engine/suggest/layoutsuggestion.h"
#include "engine/suggest/suggestionverdict.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pluvora;

namespace {

struct VerdictCase {
    const char* name;
    const char* text;
    int task;
    std::vector<std::string> problems; // empty: the suggestion may run
};

class SuggestionVerdictOf : public testing::TestWithParam<VerdictCase> {};

std::string nameOf(const testing::TestParamInfo<VerdictCase>& info) { return info.param.name; }

// A year of days, so that the values' checks have enough to go on.
std::string yearOf(const char* header, const char* row)
{
    std::string text = std::string(header) + "\n";
    for (int day = 1; day <= 60; ++day)
        text += "2021 " + std::to_string(day) + " " + row + (day % 3 == 0 ? " 4.5" : " 0.0") + "\n";
    return text;
}

} // namespace

TEST_P(SuggestionVerdictOf, NamesWhatItDoesNotKnow)
{
    const VerdictCase& c = GetParam();
    const LayoutSuggestion s = suggestLayout(c.text);
    const SuggestionVerdict verdict = judgeSuggestion(s, !s.picked.empty(), c.task, true);
    EXPECT_EQ(verdict.problems, c.problems) << suggestionOptions(s);
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, SuggestionVerdictOf,
    testing::Values(
        VerdictCase{"EverythingKnownRuns", "year doy srad tmax tmin rain\n"
                                           "2021 1 12.0 10.5 2.0 0.0\n2021 2 14.1 11.0 1.5 3.2\n",
                    1, {}},
        // Unknown names: the date is read, the rest would be zeros.
        VerdictCase{"UnknownNamesWouldWriteZeros", "year doy aa bb cc ee\n"
                                                   "2021 1 12.0 10.5 2.0 0.0\n2021 2 14.1 11.0 1.5 3.2\n",
                    1,
                    {"Solar: no column was found; column 3 (aa), column 4 (bb), column 5 (cc) or column 6 (ee) "
                     "might hold it",
                     "T-max: no column was found; column 3 (aa), column 4 (bb), column 5 (cc) or column 6 (ee) "
                     "might hold it",
                     "T-min: no column was found; column 3 (aa), column 4 (bb), column 5 (cc) or column 6 (ee) "
                     "might hold it",
                     "Precip: no column was found; column 3 (aa), column 4 (bb), column 5 (cc) or column 6 (ee) "
                     "might hold it"}},
        // Solar is estimated by task 4: only temperatures and rain are needed.
        VerdictCase{"EstimateNeedsNoSolar", "year doy tmax tmin rain\n"
                                            "2021 1 10.5 2.0 0.0\n2021 2 11.0 1.5 3.2\n",
                    4, {}},
        VerdictCase{"NoDateNoRun", "srad tmax tmin rain\n12.0 10.5 2.0 0.0\n14.1 11.0 1.5 3.2\n", 1,
                    {"the date: no column was found"}},
        // Mild days fit both degrees: the run names both readings and stops.
        // Mild days fit both degrees, and no other column tells the system
        // of units: the checkup names both readings and stops.
        VerdictCase{"CelsiusOrFahrenheitStops", "year doy tmax tmin\n2021 1 31.0 20.0\n2021 2 33.0 22.0\n", 3,
                    {"column 3 (tmax) looks like T-max but is left unread: unit not known: the values fit oC and oF",
                     "column 4 (tmin) looks like T-min but is left unread: unit not known: the values fit oC and oF"}},
        // T-max under T-min: the names do not say what the columns hold.
        VerdictCase{"SwappedTemperaturesAreUnsure",
                    "year doy srad tmax(C) tmin(C) rain\n"
                    "2021 1 12.0 2.0 10.5 0.0\n2021 2 14.1 1.5 11.0 3.2\n2021 3 13.0 0.5 9.0 0.0\n",
                    1,
                    {"T-max: column 4 (tmax(C)) is unsure (T-max is below T-min on 3 of 3 rows)",
                     "T-min: column 5 (tmin(C)) is unsure (T-max is below T-min on 3 of 3 rows)"}},
        // A wind column in a unit the version does not read does not stop a
        // weather file, which has no wind; it stops the Penman-Monteith task.
        VerdictCase{"UnreadWindStopsOnlyATaskThatReadsIt",
                    "year doy srad tmax(C) tmin(C) rain windspeed\n"
                    "2021 1 12.0 10.5 2.0 0.0 900\n2021 2 14.1 11.0 1.5 3.2 800\n",
                    7,
                    {"column 7 (windspeed) looks like WndSpd but is left unread: values do not fit WndSpd in m/s"}}),
    nameOf);

TEST(SuggestionVerdict, SolarUnitThatPutsTheSunnyDaysTooLowIsNotTaken)
{
    // 30 fits MJ/m2/d and W/m2 alike by range; as W/m2 the sunniest days of
    // two months would hold under 3 MJ/m2, which no place has.
    const LayoutSuggestion s = suggestLayout(yearOf("year doy Rs tmax(C) tmin(C) rain", "30.0 21.0 9.0"));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.columns[2].variable, "Solar") << s.columns[2].reason;
    EXPECT_EQ(s.columns[2].unit, "MJ/m2/d");
}
