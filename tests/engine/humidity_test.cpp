#include "engine/appfolder/appfolder.h"
#include "engine/methods/penmanmonteith.h"
#include "engine/record/humidity.h"
#include "engine/run/processingrun.h"
#include "engine/tasks/estimationframe.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace pluvora;

namespace {

using Columns = std::vector<std::pair<int, std::string>>;

ColumnSpec specOf(const Columns& columns)
{
    ColumnSpec spec;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        spec.columnVariable[i + 1] = columns[i].first;
        spec.unitText[static_cast<std::size_t>(columns[i].first)] = columns[i].second;
    }
    return spec;
}

struct GivenHumidity {
    const char* name;
    int code;
    const char* unit;
    double value;
    double eaKpa; // the vapour pressure the value stands for
};

class HumidityForms : public ::testing::TestWithParam<GivenHumidity> {};

// Task 7 takes ea = RH / 100 e°(Tmean): the humidity a form gives must
// bring back the vapour pressure the file holds.
TEST_P(HumidityForms, GiveTaskSevenTheGivenVapourPressure)
{
    const auto& c = GetParam();
    const ColumnSpec spec = specOf({{kTmax, "oC"}, {kTmin, "oC"}, {c.code, c.unit}});
    Record record;
    assignValue(record, spec, 1, 30);
    assignValue(record, spec, 2, 15);
    assignValue(record, spec, 3, c.value);
    deriveHumidity(record, spec, 3);
    ASSERT_TRUE(record.has(kRelHum));

    methods::PenmanMonteithInput in;
    in.Rs = 20;
    in.Tmax = 30;
    in.Tmin = 15;
    in.RH = record.relHum;
    in.u = 2;
    in.J = 180;
    in.phi = 0.6;
    in.z = 100;
    EXPECT_NEAR(methods::alfalfaReferenceET(in).value.ea, c.eaKpa, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Humidity, HumidityForms,
    ::testing::Values(GivenHumidity{"VapourKilopascal", kVapPr, "kPa", 1.5, 1.5},
                      GivenHumidity{"VapourHectopascal", kVapPr, "hPa", 15, 1.5},
                      GivenHumidity{"VapourPascal", kVapPr, "Pa", 1500, 1.5},
                      GivenHumidity{"DewPointCelsius", kDewPt, "oC", 13, 1.4977709027569757},
                      GivenHumidity{"DewPointFahrenheit", kDewPt, "oF", 55.4, 1.4977709027569754}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Humidity, IsFullAboveSaturationAtTheMeanTemperature)
{
    const ColumnSpec spec = specOf({{kTmax, "oC"}, {kTmin, "oC"}, {kDewPt, "oC"}});
    Record record;
    assignValue(record, spec, 1, 20);
    assignValue(record, spec, 2, 10);
    assignValue(record, spec, 3, 16);
    deriveHumidity(record, spec, 3);
    EXPECT_EQ(record.relHum, 100.0);
}

TEST(Humidity, IsLeftAloneWithARelHumColumnOrWithoutTemperatures)
{
    const ColumnSpec withRelHum = specOf({{kTmax, "oC"}, {kTmin, "oC"}, {kVapPr, "kPa"}, {kRelHum, "%"}});
    Record record;
    for (int column = 1; column <= 4; ++column)
        assignValue(record, withRelHum, column, column == 4 ? 42 : 1);
    deriveHumidity(record, withRelHum, 4);
    EXPECT_EQ(record.relHum, 42);

    const ColumnSpec noTmin = specOf({{kTmax, "oC"}, {kVapPr, "kPa"}});
    Record alone;
    assignValue(alone, noTmin, 1, 20);
    assignValue(alone, noTmin, 2, 1);
    deriveHumidity(alone, noTmin, 2);
    EXPECT_FALSE(alone.has(kRelHum));
    EXPECT_FALSE(hasHumidity(noTmin, 2));
}

struct TaskRun {
    test::TempFolder dir;
    AppFolder folder{dir.path()};
    test::RecordingFeedback ui;
    RunRequest request;
    std::string input;

    RunOutcome run(int task, const Columns& columns, std::string text)
    {
        request.fileName = "in.txt";
        request.rowsBeforeText = "1";
        request.taskIndex = task - 1;
        request.rearrange = false;
        request.substitutionEnabled = false;
        request.pages.latitudeTask7 = "35";
        request.pages.elevationTask7 = "300";
        for (std::size_t i = 0; i < columns.size(); ++i)
            request.layout.setColumn(static_cast<int>(i) + 1, columns[i].first,
                                     unitIndex(columns[i].first, columns[i].second));
        input = std::move(text);
        request.inputText = input;
        return runProcessing(request, folder, ui);
    }
};

// The worked example of the Penman-Monteith task (RH 55 %, ETr 8.6) with
// its humidity given in the other forms.
TEST(Humidity, TaskSevenWorkedExampleGivesTheSameEstimateFromEachForm)
{
    const auto columns = [](int code, const char* unit) {
        return Columns{{kDoy, ""},      {kSolar, "MJ/m2/d"}, {kTmax, "oC"},
                       {kTmin, "oC"},   {code, unit},        {kWndSpd, "m/s"}};
    };
    for (const auto& [code, unit, value] :
         std::vector<std::tuple<int, const char*, const char*>>{{kRelHum, "%", "55"},
                                                               {kVapPr, "hPa", "17.42278"},
                                                               {kDewPt, "oC", "15.33323"}}) {
        TaskRun r;
        const auto outcome = r.run(7, columns(code, unit), std::string("h\n180 25 32 18 ") + value + " 3\n");
        ASSERT_TRUE(outcome.completed) << unit;
        const std::string panel = outcome.outputPanel.value_or("");
        EXPECT_EQ(panel.substr(panel.find('\t')), "\t8.6") << unit;
    }
}

TEST(Humidity, WeatherFileHoldsTheRelativeHumidityOfAVapourPressure)
{
    TaskRun r;
    const auto outcome =
        r.run(1, {{kYear, ""}, {kDoy, ""}, {kTmax, "0.1 oC"}, {kTmin, "0.1 oC"}, {kVapPr, "hPa"}},
              "h\n2001 180 300 150 15\n");
    ASSERT_TRUE(outcome.completed) << ::testing::PrintToString(r.ui.calls);
    // 1.5 kPa over e°(22.5 °C) = 2.7256 kPa: 55 %.
    const std::string panel = outcome.outputPanel.value_or("");
    EXPECT_NE(panel.find("2001\t180\t0.00\t30.0\t15.0\t55\t0.0\t0.0"), std::string::npos) << panel;
}

} // namespace
