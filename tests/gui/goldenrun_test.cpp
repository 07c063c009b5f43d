#include "windowfixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace pluvora::test;

namespace {

const std::filesystem::path kStation = std::filesystem::path(PLUVORA_TEST_DATA) / "station";

// What the output panel holds, as a weather file is saved: CR LF after
// every line.
std::string asWeatherFile(const QString& panel)
{
    std::string text;
    for (const QString& line : panel.split('\n'))
        text += line.toStdString() + "\r\n";
    return text;
}

class GoldenRun : public WindowFixture {
protected:
    // Steps 1 to 4 as a user does them, for the station file.
    void processStationFile()
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
        child<QPushButton>("BitBtn1")->click();
    }

    QDialog* siteDialog() { return window->findChild<QDialog*>("TForm11"); }
    QString output() { return child<QPlainTextEdit>("Memo2")->toPlainText(); }
};

} // namespace

TEST_F(GoldenRun, StationFileBecomesTheHandCheckedWeatherFile)
{
    processStationFile();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    EXPECT_EQ(child<QPushButton>("BitBtn1")->text(), "Step 4: Process");
    EXPECT_FALSE(child<QWidget>("Gauge1")->isVisible());

    QDialog* dialog = siteDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window->isEnabled());
    find<QLineEdit>(dialog, "Edit1")->setText("40.5");
    find<QLineEdit>(dialog, "Edit2")->setText("96.25");
    find<QLineEdit>(dialog, "Edit3")->setText("350");
    find<QPushButton>(dialog, "BitBtn1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(siteDialog(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(asWeatherFile(output()), readFile(kStation / "expected.wth"));
}

TEST_F(GoldenRun, CancelLeavesTheOutputWithoutCoordinates)
{
    processStationFile();
    QDialog* dialog = siteDialog();
    ASSERT_NE(dialog, nullptr);
    find<QLineEdit>(dialog, "Edit1")->setText("north");
    find<QPushButton>(dialog, "BitBtn1")->click();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{"error: Invalid input"});
    ASSERT_EQ(siteDialog(), dialog);
    find<QPushButton>(dialog, "BitBtn2")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(output().startsWith("Lincoln NE automated station, daily summary\nYear\tDOY"));
}
