#include "mainwindow.h"
#include "recordingfeedback.h"
#include "scriptedfilechooser.h"
#include "tempfolder.h"

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

class GoldenRun : public ::testing::Test {
protected:
    TempFolder appDir;
    RecordingFeedback feedback;
    ScriptedFileChooser chooser;
    std::unique_ptr<MainWindow> window;

    void SetUp() override
    {
        MainWindowSetup setup;
        setup.appFolder = appDir.path();
        setup.feedback = &feedback;
        setup.fileChooser = &chooser;
        window = std::make_unique<MainWindow>(setup);
        window->setCompletionPause(0);
    }

    QWidget* central() { return window->centralWidget(); }

    template <typename T>
    T* find(QObject* parent, const char* name)
    {
        T* found = parent->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void choose(int column, const char* variable, const char* unit = nullptr)
    {
        auto* box = find<QComboBox>(central(), ("ComboBox" + std::to_string(11 + column)).c_str());
        const int index = box->findText(variable);
        box->setCurrentIndex(index);
        emit box->activated(index);
        if (unit) {
            auto* units = find<QComboBox>(central(), ("ComboBox" + std::to_string(23 + column)).c_str());
            units->setCurrentIndex(units->findText(unit));
        }
    }

    // Steps 1 to 4 as a user does them, for the station file.
    void processStationFile()
    {
        chooser.paths << QString::fromStdString((kStation / "input.txt").string());
        find<QPushButton>(central(), "BitBtn3")->click();
        for (int i = 0; i < 3; ++i)
            find<QToolButton>(central(), "SpinButton1Down")->click();
        choose(1, "Month");
        choose(2, "Day");
        choose(3, "Year");
        choose(4, "T-max", "oF");
        choose(5, "T-min", "oF");
        choose(6, "Precip", "inch");
        choose(7, "RelHum");
        choose(8, "Ignore");
        choose(9, "Solar", "W/m2");
        find<QComboBox>(central(), "ComboBox1")->setCurrentIndex(0);
        find<QPushButton>(central(), "BitBtn1")->click();
    }

    QDialog* siteDialog() { return window->findChild<QDialog*>("TForm11"); }
    QString output() { return find<QPlainTextEdit>(central(), "Memo2")->toPlainText(); }
};

} // namespace

TEST_F(GoldenRun, StationFileBecomesTheHandCheckedWeatherFile)
{
    processStationFile();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    EXPECT_EQ(find<QPushButton>(central(), "BitBtn1")->text(), "Step 4: Process");
    EXPECT_FALSE(find<QWidget>(central(), "Gauge1")->isVisible());

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
