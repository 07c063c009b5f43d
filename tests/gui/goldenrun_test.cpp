#include "windowfixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

#include "engine/table/paneltext.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>

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
    void processStationFile(const std::filesystem::path& input = kStation / "input.txt",
                            const std::function<void()>& edit = {})
    {
        open(input);
        if (edit)
            edit();
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

    void acceptSite()
    {
        QDialog* dialog = siteDialog();
        ASSERT_NE(dialog, nullptr);
        find<QLineEdit>(dialog, "Edit1")->setText("40.5");
        find<QLineEdit>(dialog, "Edit2")->setText("96.25");
        find<QLineEdit>(dialog, "Edit3")->setText("350");
        find<QPushButton>(dialog, "BitBtn1")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
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

// An unedited panel runs from the text the file was opened as; any edit,
// even one undone, runs from the panel. Each must give what the panel shows.
TEST_F(GoldenRun, ProcessesWhatThePanelShowsEditedOrNot)
{
    const std::string expected = readFile(kStation / "expected.wth");
    auto panel = [this] { return child<QPlainTextEdit>("Memo1"); };
    auto replaceOnLine = [panel](int line, int column, const QString& was, const QString& now) {
        QTextCursor cursor(panel()->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, static_cast<int>(was.size()));
        ASSERT_EQ(cursor.selectedText(), was);
        cursor.insertText(now);
    };
    struct Case {
        const char* name;
        std::function<void()> edit;
        std::string output;
    };
    std::string morePrecip = expected;
    morePrecip.replace(morePrecip.find("\t12.7\t"), 6, "\t25.4\t");
    const std::vector<Case> cases = {
        {"unedited", {}, expected},
        {"edited", [&] { replaceOnLine(3, 24, "0.50", "1.00"); }, morePrecip},
        {"edited and undone", [&] { replaceOnLine(3, 24, "0.50", "1.00"); panel()->undo(); }, expected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        processStationFile(kStation / "input.txt", c.edit);
        acceptSite();
        EXPECT_EQ(asWeatherFile(output()), c.output);
    }
}

// A long output goes in while the site dialog waits; whether the dialog is
// answered or closed, the panel ends with the whole text, the site line
// second.
TEST_F(GoldenRun, LongOutputIsWholeWhenTheSiteDialogCloses)
{
    std::string input = "Lincoln NE automated station, daily summary\n"
                        "Elevation 350 m, units: F, inch, %, W/m2\n"
                        "Date       Tmax   Tmin  Precip  RH    Stn  Solar\n";
    const int days = 20000;
    std::chrono::sys_days date = std::chrono::year{1950} / std::chrono::January / 1;
    for (int day = 0; day < days; ++day, date += std::chrono::days{1}) {
        const std::chrono::year_month_day ymd{date};
        const unsigned month = static_cast<unsigned>(ymd.month());
        const unsigned dayOfMonth = static_cast<unsigned>(ymd.day());
        const int year = static_cast<int>(ymd.year());
        char row[96];
        std::snprintf(row, sizeof row, "%02u/%02u/%04d %4.1f   %4.1f  %4.2f    %4.1f  12   %5.1f\n", month,
                      dayOfMonth, year, 50.0 + day % 30, 30.0 + day % 10, 0.01 * (day % 50), 60.0 + day % 30,
                      150.0 + day % 100);
        input += row;
    }
    const auto file = userDir.write("long.txt", input);

    processStationFile(file);
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    ASSERT_NE(siteDialog(), nullptr);
    // The case this test is for: the dialog is up before the last line.
    ASSERT_LT(child<QPlainTextEdit>("Memo2")->blockCount(), days);
    find<QPushButton>(siteDialog(), "BitBtn2")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const std::string withoutSite = output().toStdString();
    EXPECT_FALSE(child<QPlainTextEdit>("Memo2")->isReadOnly());
    EXPECT_EQ(child<QPlainTextEdit>("Memo2")->blockCount(), days + 3);

    processStationFile(file);
    acceptSite();
    std::string withSite = withoutSite;
    pluvora::insertLine(withSite, 1, "40.5 96.25 350  Lat (deg), long (deg), elev(m)");
    EXPECT_EQ(output().toStdString(), withSite);
    EXPECT_FALSE(child<QPlainTextEdit>("Memo2")->document()->isModified());
}
