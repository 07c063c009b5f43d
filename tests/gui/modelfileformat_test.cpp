#include "windowfixture.h"

#include "engine/modelfiles/modelsite.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace pluvora::test;
namespace fs = std::filesystem;

namespace {

const fs::path kStation = fs::path(PLUVORA_TEST_DATA) / "station";

// Task 1 with a "Weather file format" chosen, as a user runs it: the
// output panel shows the present file, and "Save" writes the model's.
class ModelFileFormat : public WindowFixture {
protected:
    void processStationFile(int format)
    {
        open(kStation / "input.txt");
        setRowsBefore(3);
        setColumn(1, "Month");
        setColumn(2, "Day");
        setColumn(3, "Year");
        setColumn(4, "T-max", "oF");
        setColumn(5, "T-min", "oF");
        setColumn(6, "Precip", "inch");
        setColumn(7, "RelHum");
        setColumn(8, "Ignore");
        setColumn(9, "Solar", "W/m2");
        child<QComboBox>("ComboBox1")->setCurrentIndex(0);
        child<QComboBox>("WeatherFileFormat")->setCurrentIndex(format);
        child<QPushButton>("BitBtn1")->click();
    }

    // The site dialog answered, or cancelled.
    void answerSite(bool give)
    {
        QDialog* dialog = window->findChild<QDialog*>("TForm11");
        ASSERT_NE(dialog, nullptr);
        find<QLineEdit>(dialog, "Edit1")->setText("40.5");
        find<QLineEdit>(dialog, "Edit2")->setText("96.25");
        find<QLineEdit>(dialog, "Edit3")->setText("350");
        find<QPushButton>(dialog, give ? "BitBtn1" : "BitBtn2")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void save(const fs::path& file)
    {
        chooser.paths << QString::fromStdString(file.string());
        child<QPushButton>("Button4")->click();
    }
};

} // namespace

TEST_F(ModelFileFormat, SaveWritesTheChosenModelsFileFromTheRunsDays)
{
    processStationFile(1);
    answerSite(true);
    EXPECT_TRUE(child<QPlainTextEdit>("Memo2")->toPlainText().startsWith("Lincoln NE"));
    save(userDir.path() / "station");
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    EXPECT_EQ(chooser.filters.last(), "DSSAT weather files (.WTH) (*.WTH)");
    // The station's four days (one Feb 28 value estimated by the operator);
    // TAV from February's mean 3.22 and March's 2.70.
    EXPECT_EQ(readFile(userDir.path() / "station.WTH"),
              "*WEATHER DATA : input.txt\n"
              "\n"
              "@ INSI      LAT     LONG  ELEV   TAV   AMP REFHT WNDHT\n"
              "  INPU   40.500  -96.250   350   3.0   0.5 -99.0 -99.0\n"
              "@DATE  SRAD  TMAX  TMIN  RAIN  RHUM\n"
              "00058  17.3  10.0   0.0  12.7  70.5\n"
              "00059  25.9  15.0 -10.0   0.0  71.5\n"
              "00060  13.0   5.3  -1.0   3.0  64.0\n"
              "00061   8.2   7.4  -2.0  26.7  88.2\n");
}

TEST_F(ModelFileFormat, WithoutTheSiteNothingIsWrittenAndThePresentFileStaysTheDefault)
{
    processStationFile(2);
    answerSite(false);
    save(userDir.path() / "station");
    EXPECT_EQ(feedback.messages(),
              std::vector<std::string>{std::string("error: ") + pluvora::kNoSiteCoordinates});
    EXPECT_FALSE(fs::exists(userDir.path() / "station.met"));
    feedback.calls.clear();

    // Back to the present file: Save writes the panel as it always has.
    processStationFile(0);
    answerSite(true);
    chooser.filterIndexes << 0;
    save(userDir.path() / "weather");
    EXPECT_EQ(chooser.filters.last(), "Maravel weather files (.wth) (*.wth);;Text files(*.txt) (*.txt)");
    EXPECT_EQ(readFile(userDir.path() / "weather.wth"), readFile(kStation / "expected.wth"));
}
