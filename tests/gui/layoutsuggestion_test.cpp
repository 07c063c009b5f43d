#include "windowfixture.h"

#include "engine/suggest/suggestionverdict.h"
#include "gui/mainwindow.h"
#include "gui/noteline.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class Suggestion : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        find<QAction>(window.get(), "Suggestlayout1")->setChecked(true);
    }

    QString variable(int column)
    {
        return child<QComboBox>(("ComboBox" + std::to_string(11 + column)).c_str())->currentText();
    }
    QString unit(int column)
    {
        return child<QComboBox>(("ComboBox" + std::to_string(23 + column)).c_str())->currentText();
    }

    std::filesystem::path stationFile()
    {
        return userDir.write("station.txt", "Station 12, daily\n"
                                            "year doy tmax tmin rain\n"
                                            "()   ()  (oC) (oC) (mm)\n"
                                            "2001 1 12.5 3.0 0.0\n"
                                            "2001 2 13.0 2.5 1.2\n"
                                            "2001 3 11.0 1.0 0.0\n");
    }
};

} // namespace

TEST_F(Suggestion, OpeningAFileFillsTheBoxesAndTakeBackRestoresThem)
{
    setColumn(1, "Ignore");
    open(stationFile());

    auto* bar = child<QWidget>("LayoutSuggestion");
    EXPECT_TRUE(bar->isVisibleTo(window.get()));
    EXPECT_EQ(child<QLabel>("SuggestionText")->text().toStdString().rfind(
                  "Layout suggested from the file: check the columns", 0),
              0u);
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "3");
    EXPECT_EQ(variable(1), "Year");
    EXPECT_EQ(variable(2), "DOY");
    EXPECT_EQ(variable(3), "T-max");
    EXPECT_EQ(unit(3), "oC");
    EXPECT_EQ(variable(4), "T-min");
    EXPECT_EQ(variable(5), "Precip");
    EXPECT_FALSE(child<QComboBox>("ComboBox14")->styleSheet().isEmpty()) << "suggested boxes are marked";

    // A box the user changes is no longer marked as suggested.
    setColumn(2, "DOY");
    EXPECT_TRUE(child<QComboBox>("ComboBox13")->styleSheet().isEmpty());

    child<QPushButton>("TakeBackSuggestion")->click();
    EXPECT_FALSE(bar->isVisibleTo(window.get()));
    EXPECT_EQ(variable(1), "Ignore");
    EXPECT_EQ(variable(3), "");
    EXPECT_EQ(unit(3), "");
    EXPECT_TRUE(child<QComboBox>("ComboBox14")->styleSheet().isEmpty());
}

TEST_F(Suggestion, StaysOffWhenTheOptionIsOff)
{
    find<QAction>(window.get(), "Suggestlayout1")->setChecked(false);
    open(stationFile());
    EXPECT_FALSE(child<QWidget>("LayoutSuggestion")->isVisibleTo(window.get()));
    EXPECT_EQ(variable(1), "");
}

// A file nothing can be suggested for, opened after one that got a
// suggestion, must not keep the other file's layout as if suggested.
TEST_F(Suggestion, AnUntakenSuggestionGoesWhenTheNextFileGetsNone)
{
    open(stationFile());
    ASSERT_EQ(variable(1), "Year");
    open(userDir.write("plain.txt", "no numbers here\nnor here\n"));
    EXPECT_FALSE(child<QWidget>("LayoutSuggestion")->isVisibleTo(window.get()));
    EXPECT_EQ(variable(1), "");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "0");
}

// An untouched suggestion without Solar would write 0 for it on every day:
// Process stops and names what is missing; once the user has set a box,
// the layout is theirs and runs, the note line saying what is written as 0.
TEST_F(Suggestion, ProcessStopsOnAnUntouchedSuggestionThatMissesAVariable)
{
    open(stationFile());
    child<QComboBox>("ComboBox1")->setCurrentIndex(0);
    child<QPushButton>("BitBtn1")->click();
    ASSERT_EQ(feedback.messages().size(), 1u);
    EXPECT_EQ(feedback.messages()[0], std::string("error: ") + pluvora::kSuggestionNotSure +
                                          "\nSolar: no column was found");
    EXPECT_TRUE(child<QPlainTextEdit>("Memo2")->toPlainText().isEmpty());
    EXPECT_EQ(variable(3), "T-max") << "the boxes stay for the user";

    setColumn(5, "Precip", "mm");
    child<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages().size(), 1u);
    EXPECT_FALSE(child<QPlainTextEdit>("Memo2")->toPlainText().isEmpty());
    const auto notes = child<NoteLine>(NoteLine::kObjectName)->notes();
    EXPECT_TRUE(notes.contains("No column holds Solar: the weather file gets 0 for it on every day.")) << notes.join('|').toStdString();
}

// A file the suggestion cannot read keeps the boxes as they were, and the
// note line says so instead of the last run's notes.
TEST_F(Suggestion, AFileWithoutSuggestionSaysTheLayoutIsKept)
{
    setColumn(1, "Year");
    child<NoteLine>(NoteLine::kObjectName)->addNote("a note of the last run");
    open(userDir.write("notes.txt", "just a note\nand another\n"));
    EXPECT_EQ(variable(1), "Year");
    EXPECT_EQ(child<NoteLine>(NoteLine::kObjectName)->notes(),
              QStringList{QString::fromUtf8(MainWindow::kLayoutKeptFromBefore)});
}

// A GHCN-Daily file (a line per month and element) opens as its rows of
// days, read by the layout its title line gives; the file stays as it was.
TEST_F(Suggestion, AFileReadAsDaysOpensAsItsRowsOfDays)
{
    const auto dly = std::filesystem::path(PLUVORA_SAMPLE_DATA) / "ghcnd_USW00003870_1983-1985.dly";
    const std::filesystem::path copy = userDir.write("station.dly", pluvora::test::readFile(dly));
    open(copy);
    const QString panel = child<QPlainTextEdit>("Memo1")->toPlainText();
    EXPECT_TRUE(panel.startsWith("GHCN-Daily file read as days: Year Month Day TMAX TMIN PRCP AWND TSUN\n1983 1 1 83 44 15 -9999"))
        << panel.left(200).toStdString();
    EXPECT_EQ(pluvora::test::readFile(copy), pluvora::test::readFile(dly));
    EXPECT_TRUE(child<QLabel>("SuggestionText")->text().endsWith("; GHCN-Daily file read as days"));
    EXPECT_EQ(variable(4), "T-max");
    EXPECT_EQ(unit(4), "0.1 oC");
    const auto notes = child<NoteLine>(NoteLine::kObjectName)->notes();
    EXPECT_TRUE(notes.contains(QString::fromUtf8("GHCN-Daily file") + MainWindow::kShownAsDays)) << notes.join('|').toStdString();
    // Its missing values are written -9999: the sign goes with the layout,
    // and back with Take back.
    EXPECT_EQ(child<QLineEdit>("adpEdit2")->text(), "-9999");
    child<QPushButton>("TakeBackSuggestion")->click();
    EXPECT_EQ(child<QLineEdit>("adpEdit2")->text(), "-99");
}
