#include "windowfixture.h"

#include "engine/provenance/runprovenance.h"
#include "engine/report/qualityreport.h"
#include "engine/run/processingrun.h"
#include "engine/tasks/datacheckup.h"
#include "engine/templates/templateoperations.h"
#include "gui/charts/chartswindow.h"
#include "gui/charts/serieschartview.h"
#include "gui/fillgapscontrol.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLegendMarker>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

using namespace pluvora::test;
using Kind = SeriesChartView::MarkKind;

namespace {

// Day 2 has T-max below T-min, day 4 follows a missing day, day 5's rain is
// the missing-value sign, day 6 is too hot. Line 4 is a note.
const char* const kFaultyFile = "yr mo dy tx tn pr\n"
                                "2000 1 1 10 5 0\n"
                                "2000 1 2 5 10 0\n"
                                "sensor moved\n"
                                "2000 1 4 10 5 0\n"
                                "2000 1 5 10 5 -99\n"
                                "2000 1 6 70 5 0\n";

class Charts : public WindowFixture {
protected:
    void checkFaultyFile()
    {
        const auto path = userDir.path() / "faulty.txt";
        std::ofstream(path, std::ios::binary) << kFaultyFile;
        open(path);
        setRowsBefore(1);
        setColumn(1, "Year");
        setColumn(2, "Month");
        setColumn(3, "Day");
        setColumn(4, "T-max", "oC");
        setColumn(5, "T-min", "oC");
        setColumn(6, "Precip", "mm");
        child<QComboBox>("ComboBox1")->setCurrentIndex(2);
        child<QPushButton>("BitBtn1")->click();
    }

    ChartsWindow* openCharts()
    {
        auto* item = window->findChild<QAction*>("Charts1");
        EXPECT_NE(item, nullptr);
        item->trigger();
        auto* charts = window->findChild<ChartsWindow*>("ChartsWindow");
        EXPECT_NE(charts, nullptr);
        charts->resize(900, 900);
        QApplication::processEvents();
        return charts;
    }

    int selectedLine()
    {
        return child<QPlainTextEdit>("Memo1")->textCursor().block().blockNumber() + 1;
    }
};

TEST_F(Charts, MarksSitOnTheFaultyDaysOfEachVariable)
{
    checkFaultyFile();
    ChartsWindow* charts = openCharts();
    ASSERT_EQ(charts->charts().size(), 3u);
    const auto* tmax = charts->charts()[0];
    const auto* tmin = charts->charts()[1];
    const auto* rain = charts->charts()[2];
    // Days are counted from the first record: 0 is 1 January.
    EXPECT_EQ(tmax->markedDays(Kind::Flagged), (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_EQ(tmin->markedDays(Kind::Flagged), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(rain->markedDays(Kind::Flagged), (std::vector<std::size_t>{2}));
    EXPECT_EQ(rain->markedDays(Kind::Substituted), (std::vector<std::size_t>{3}));
    EXPECT_TRUE(tmax->markedDays(Kind::Substituted).empty());
    EXPECT_TRUE(tmax->markedDays(Kind::Missing).empty());
}

// Filled values get marks and legend entries of their own: T-max days 10
// and 11 are bridged by a line, 20 to 24 too long for one and taken from
// the reference. A series with nothing filled keeps the legend it had.
TEST_F(Charts, FilledValuesAreMarkedByHowTheyWereFilled)
{
    std::string station = "yr mo dy tx tn pr\n";
    std::string reference = "yr mo dy tx tn pr\n";
    for (int day = 1; day <= 59; ++day) {
        const std::string when =
            "2001 " + std::to_string(day <= 31 ? 1 : 2) + " " + std::to_string(day <= 31 ? day : day - 31) + " ";
        const int tmax = 10 + day % 7;
        reference += when + std::to_string(tmax) + " 0 1\n";
        const bool gap = (day >= 10 && day <= 11) || (day >= 20 && day <= 24);
        station += when + (gap ? std::string("-99") : std::to_string(tmax + 1)) + " 0 1\n";
    }
    pluvora::DataLayout layout;
    layout.rowsBefore = 1;
    layout.setColumn(1, pluvora::kYear);
    layout.setColumn(2, pluvora::kMonth);
    layout.setColumn(3, pluvora::kDay);
    layout.setColumn(4, pluvora::kTmax, 0);
    layout.setColumn(5, pluvora::kTmin, 0);
    layout.setColumn(6, pluvora::kPrecip, 0);
    ASSERT_TRUE(pluvora::saveTemplate(pluvora::TemplateStore(window->appFolder()), feedback, {}, "Neighbour", layout));
    pluvora::FillChoice fill;
    fill.interpolate = true;
    fill.referenceFile = userDir.write("neighbour.txt", reference).string();
    fill.referenceLayout = "Neighbour";
    window->findChild<FillGapsControl*>()->setChoice(fill);

    open(userDir.write("station.txt", station));
    setRowsBefore(1);
    setColumn(1, "Year");
    setColumn(2, "Month");
    setColumn(3, "Day");
    setColumn(4, "T-max", "oC");
    setColumn(5, "T-min", "oC");
    setColumn(6, "Precip", "mm");
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);
    child<QPushButton>("BitBtn1")->click();
    ASSERT_EQ(feedback.messages(), std::vector<std::string>{"information: " + std::string(pluvora::kNoSuspiciousData)});

    ChartsWindow* charts = openCharts();
    ASSERT_EQ(charts->charts().size(), 3u);
    auto legend = [](const SeriesChartView* chart) {
        std::set<std::string> labels;
        for (const QLegendMarker* marker : chart->chart()->legend()->markers())
            labels.insert(marker->label().toStdString());
        return labels;
    };
    const auto* tmax = charts->charts()[0];
    EXPECT_EQ(tmax->markedDays(Kind::Interpolated), (std::vector<std::size_t>{9, 10}));
    EXPECT_EQ(tmax->markedDays(Kind::FromReference), (std::vector<std::size_t>{19, 20, 21, 22, 23}));
    EXPECT_TRUE(tmax->markedDays(Kind::Substituted).empty());
    EXPECT_TRUE(legend(tmax).contains("interpolated"));
    EXPECT_TRUE(legend(tmax).contains("from the reference"));
    const auto* rain = charts->charts()[2];
    EXPECT_TRUE(rain->markedDays(Kind::Interpolated).empty());
    EXPECT_EQ(legend(rain), (std::set<std::string>{"values", "flagged", "substituted", "no value"}));
}

TEST_F(Charts, ClickOnADaySelectsItsInputLine)
{
    checkFaultyFile();
    ChartsWindow* charts = openCharts();
    ASSERT_FALSE(charts->charts().empty());
    SeriesChartView* tmax = charts->charts()[0];
    // Days 2 and 3 sit on lines 5 and 6: the note on line 4 is no day.
    for (const auto& [day, line] : {std::pair{2u, 5}, std::pair{4u, 7}, std::pair{0u, 2}}) {
        QTest::mouseClick(tmax->viewport(), Qt::LeftButton, {}, tmax->positionOfDay(day));
        EXPECT_EQ(selectedLine(), line) << "day " << day;
    }
}

TEST_F(Charts, SaveChartAsWritesPngAndSvg)
{
    checkFaultyFile();
    ChartsWindow* charts = openCharts();
    const auto png = userDir.path() / "charts.png";
    const auto svg = userDir.path() / "charts";
    chooser.paths << QString::fromStdString(png.string()) << QString::fromStdString(svg.string());
    chooser.filterIndexes << 0 << 1;
    auto* save = charts->findChild<QPushButton*>("SaveChartAs");
    ASSERT_NE(save, nullptr);
    save->click();
    save->click();
    const QImage image(QString::fromStdString(png.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.height(), 3 * 200);
    const std::string vector = readFile(userDir.path() / "charts.svg");
    EXPECT_NE(vector.find("<svg"), std::string::npos);
    EXPECT_NE(vector.find("</svg>"), std::string::npos);
}

TEST_F(Charts, LongSeriesDrawsAtMostTwoPointsPerPixelColumn)
{
    // 50 years of days through the window's own run.
    std::string text = "yr doy tx tn\n";
    for (int year = 1950; year < 2000; ++year)
        for (int day = 1; day <= 365; ++day)
            text += std::to_string(year) + " " + std::to_string(day) + " " + std::to_string(20 + day % 9) + " 5\n";
    const auto path = userDir.path() / "long.txt";
    std::ofstream(path, std::ios::binary) << text;
    open(path);
    setRowsBefore(1);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "T-max", "oC");
    setColumn(4, "T-min", "oC");
    ChartsWindow* charts = openCharts(); // no run yet: the input is read
    ASSERT_EQ(charts->charts().size(), 2u);
    SeriesChartView* tmax = charts->charts()[0];
    EXPECT_GT(tmax->drawnPoints(), 100);
    EXPECT_LE(tmax->drawnPoints(), 2 * tmax->chart()->plotArea().width() + 4);
}

const char* const kAgrimetColumns = "Year,Month,Day,T-min:oF,T-max:oF,Solar:Langley,Ignore,WndSpd:mile/hr,Ignore,ET:inch";

// The report of a real file as a browser shows it: it loads, its table of
// flagged days holds the lines the checkup lists, and it is not blank.
TEST(QualityReportInBrowser, RealFileReportLoadsWithItsFlaggedDays)
{
    const QString browser = QStandardPaths::findExecutable("chromium");
    if (browser.isEmpty())
        GTEST_SKIP() << "chromium is not installed (make deps installs it)";
    pluvora::test::TempFolder temp;
    pluvora::AppFolder folder(temp.path());
    pluvora::RunRequest request;
    request.taskIndex = 2;
    request.fileName = "agrimet_faln_2015_daily.csv";
    request.rowsBeforeText = "1";
    // The wind of 22 April reads "NO RECORD": that row is one value short.
    request.layout = pluvora::layoutFromColumns(kAgrimetColumns);
    const std::string input = readFile(std::filesystem::path(PLUVORA_SAMPLE_DATA) / request.fileName);
    request.inputText = input;
    pluvora::RunProvenance provenance;
    request.provenance = &provenance;
    RecordingFeedback quiet;
    const auto outcome = pluvora::runProcessing(request, folder, quiet);
    ASSERT_TRUE(outcome.outputPanel.has_value());
    std::set<int> listed;
    for (const auto& row : provenance.missingRows())
        listed.insert(row.inputLine);
    for (std::size_t d = 0; d < provenance.dayCount(); ++d)
        if (const auto day = provenance.day(d); !provenance.reason(day).empty())
            listed.insert(day.inputLine);
    const auto report = temp.path() / "report.html";
    pluvora::writeQualityReport(report, provenance, {request.fileName, kAgrimetColumns, 1,
                                                     "3, Check for erroneous data entries", ""});

    QTemporaryDir profile;
    const QStringList common{"--headless", "--disable-gpu", "--no-sandbox", "--no-first-run",
                             "--disable-background-networking", "--disable-component-update", "--disable-sync",
                             "--user-data-dir=" + profile.path()};
    const QString url = "file://" + QString::fromStdString(report.string());
    QProcess dump;
    dump.start(browser, common + QStringList{"--dump-dom", url});
    ASSERT_TRUE(dump.waitForFinished(120000));
    const std::string dom = dump.readAllStandardOutput().toStdString();
    ASSERT_NE(dom.find("</html>"), std::string::npos) << dump.readAllStandardError().toStdString();
    const auto table = dom.find("id=\"flagged-days\"");
    ASSERT_NE(table, std::string::npos);
    const std::string rows = dom.substr(table, dom.find("</table>", table) - table);
    std::set<int> shown;
    const std::regex lineCell(R"(<td class="n">(\d+)</td>)");
    for (std::sregex_iterator it(rows.begin(), rows.end(), lineCell), end; it != end; ++it)
        shown.insert(std::stoi((*it)[1]));
    EXPECT_EQ(shown, listed);
    EXPECT_EQ(listed.count(113), 1u);

    const QString shot = profile.filePath("shot.png");
    QProcess screenshot;
    screenshot.start(browser, common + QStringList{"--screenshot=" + shot, "--window-size=1000,1400", url});
    ASSERT_TRUE(screenshot.waitForFinished(120000));
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 5u);
}

} // namespace
