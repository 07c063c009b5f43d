#include "windowfixture.h"

#include <QCheckBox>
#include <QDialog>
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

namespace {

class WindowPanRearranged : public WindowFixture {};

} // namespace

// Task 6 ends like task 1: the header is trimmed to the title row and the
// site coordinate dialog inserts the coordinate row below it.
TEST_F(WindowPanRearranged, EndsWithTheSiteCoordinateLine)
{
    open(kSamples / "silo_ppd_wagga_72150_2024_pan.txt");
    setRowsBefore(2);
    const std::vector<Column> columns{{"Year", nullptr},  {"DOY", nullptr},    {"Ignore", nullptr}, {"Ignore", nullptr},
                                      {"PanEvap", "mm"}, {"RelHum", nullptr}, {"WndSpd", "m/s"}};
    for (std::size_t i = 0; i < columns.size(); ++i)
        setColumn(static_cast<int>(i) + 1, columns[i].variable, columns[i].unit);
    child<QComboBox>("ComboBox1")->setCurrentIndex(5);
    child<QPushButton>("BitBtn1")->click();

    auto* dialog = window->findChild<QDialog*>("TForm11");
    ASSERT_NE(dialog, nullptr);
    find<QLineEdit>(dialog, "Edit1")->setText("35.1583");
    find<QComboBox>(dialog, "ComboBox1")->setCurrentIndex(1);
    find<QLineEdit>(dialog, "Edit2")->setText("147.4575");
    find<QComboBox>(dialog, "ComboBox2")->setCurrentIndex(1);
    find<QLineEdit>(dialog, "Edit3")->setText("212");
    find<QPushButton>(dialog, "BitBtn1")->click();

    const QStringList lines = child<QPlainTextEdit>("Memo2")->toPlainText().split('\n');
    ASSERT_GT(lines.size(), 5);
    EXPECT_EQ(lines[0].toStdString(), "Reference ET estimated from pan evaporation of green fetch with 1000 m."
                                      "SILO PPD 72150 Wagga Wagga AMO 2024, from ppd_72150.txt (see .about.md)");
    EXPECT_EQ(lines[1].toStdString(), "-35.1583 -147.4575 212  Lat (deg), long (deg), elev(m)");
    EXPECT_EQ(lines[2].toStdString(), "Year\tDOY\tSolar\tT-max\tT-min\tRelHum\tPrecip\tET");
    // 7.0 mm of pan evaporation at Kp 0.7985 on 1 January.
    EXPECT_EQ(lines[4].toStdString(), "2024\t1\t0.00\t0.0\t0.0\t56\t0.0\t5.6");
}
