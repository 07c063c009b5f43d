#include "windowfixture.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSamples = PLUVORA_SAMPLE_DATA;
const fs::path kEstimates = fs::path(PLUVORA_TEST_DATA) / "estimates";

struct Column {
    const char* variable;
    const char* unit;
};

// The settings of each golden as a user makes them on the task page;
// pluvora-batch makes the same output from its options (batch tests).
struct EstimateCase {
    const char* name;
    const char* input;
    int rows;
    std::vector<Column> columns;
    int taskIndex;
    std::vector<std::pair<const char*, const char*>> boxes; // task page box, text
    bool rearrange;
    const char* golden;
};

class WindowEstimates : public WindowFixture, public ::testing::WithParamInterface<EstimateCase> {
protected:
    std::string outputAsSaved()
    {
        std::string text;
        for (const QString& line : child<QPlainTextEdit>("Memo2")->toPlainText().split('\n'))
            text += line.toStdString() + "\r\n";
        return text;
    }
};

void PrintTo(const EstimateCase& c, std::ostream* os) { *os << c.name; }

} // namespace

TEST_P(WindowEstimates, ShowTheSameBytesAsTheBatchGolden)
{
    const EstimateCase& c = GetParam();
    open(kSamples / c.input);
    setRowsBefore(c.rows);
    for (std::size_t i = 0; i < c.columns.size(); ++i)
        setColumn(static_cast<int>(i) + 1, c.columns[i].variable, c.columns[i].unit);
    child<QComboBox>("ComboBox1")->setCurrentIndex(c.taskIndex);
    for (const auto& [box, text] : c.boxes)
        child<QLineEdit>(box)->setText(text);
    if (!c.rearrange)
        child<QCheckBox>("CheckBox1")->setChecked(false);
    child<QPushButton>("BitBtn1")->click();

    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    EXPECT_TRUE(outputAsSaved() == pluvora::test::readFile(kEstimates / c.golden)) << c.golden;
}

INSTANTIATE_TEST_SUITE_P(
    Window, WindowEstimates,
    ::testing::Values(
        EstimateCase{"SolarFromTemperature", "agrimet_faln_2015_daily.csv", 1,
                     {{"Year", nullptr}, {"Month", nullptr}, {"Day", nullptr}, {"T-min", "oF"}, {"T-max", "oF"}}, 3,
                     {{"Edit3", "39.4575"}}, false, "task4_agrimet_faln_2015.txt"},
        EstimateCase{"SolarFromSunshine", "knmi_debilt_260_1993_si_units.txt", 2,
                     {{"Year", nullptr}, {"Month", nullptr}, {"Day", nullptr}, {"Ignore", nullptr}, {"Ignore", nullptr},
                      {"Ignore", nullptr}, {"Ignore", nullptr}, {"Ignore", nullptr}, {"SunHr", nullptr}},
                     4, {{"Edit6", "52.1"}}, true, "task5_knmi_debilt_1993.wth"},
        EstimateCase{"EtFromPan", "silo_ppd_wagga_72150_2024_pan.txt", 2,
                     {{"Year", nullptr}, {"DOY", nullptr}, {"Ignore", nullptr}, {"Ignore", nullptr}, {"PanEvap", "mm"},
                      {"RelHum", nullptr}, {"WndSpd", "m/s"}},
                     5, {{"Edit2", "1000"}}, false, "task6_silo_ppd_wagga_2024.txt"},
        EstimateCase{"EtByPenmanMonteith", "knmi_debilt_260_1993_si_units.txt", 2,
                     {{"Year", nullptr}, {"Month", nullptr}, {"Day", nullptr}, {"Solar", "MJ/m2/d"}, {"T-max", "oC"},
                      {"T-min", "oC"}, {"RelHum", nullptr}, {"WndSpd", "m/s"}},
                     6, {{"Edit4", "52.1"}, {"Edit5", "2"}}, true, "task7_knmi_debilt_1993.wth"}),
    [](const auto& param) { return std::string(param.param.name); });
