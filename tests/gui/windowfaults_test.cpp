#include "windowfixture.h"

#include "engine/columns/sharedvariable.h"
#include "engine/tasks/estimationframe.h"
#include "gui/helpwindow.h"
#include "gui/outputpanel.h"
#include "gui/removecolumnsdialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace pluvora::test;
namespace fs = std::filesystem;

namespace {

class WindowFaults : public WindowFixture {
protected:
    void SetUp() override
    {
        MainWindowSetup setup;
        setup.appFolder = appDir.path();
        setup.feedback = &feedback;
        setup.fileChooser = &chooser;
        setup.documentOpener = &opener;
        setup.helpFolder = PLUVORA_HELP_DIR;
        window = std::make_unique<MainWindow>(setup);
        window->setCompletionPause(0);
    }

    QPlainTextEdit* input() { return child<QPlainTextEdit>("Memo1"); }
    QPlainTextEdit* output() { return child<QPlainTextEdit>("Memo2"); }
    static void freeClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

} // namespace

TEST_F(WindowFaults, RemovingAColumnKeepsDatesAndFlaggedValuesWhole)
{
    std::string wide = "Date Rain Tmax";
    std::string row = "1/01/2024 2.5M -25.0";
    for (int k = 4; k <= 33; ++k)
        row += " " + std::to_string(k);
    open(userDir.write("wide.txt", wide + "\n" + row + "\n2/01/2024 0 -3\n"));
    setRowsBefore(1);
    window->RemoveDataColumnsClick();
    auto* form = window->findChild<RemoveColumnsDialog*>();
    ASSERT_NE(form, nullptr);
    auto* list = form->findChild<QListWidget*>("CheckListBox1");
    ASSERT_EQ(list->count(), 33); // every column of the widest row
    EXPECT_EQ(list->item(2)->data(RemoveColumnsDialog::kHeaderRole).toString(), "Tmax");
    EXPECT_EQ(list->item(0)->data(RemoveColumnsDialog::kSampleRole).toString(), "1/01/2024");
    EXPECT_EQ(list->item(32)->data(RemoveColumnsDialog::kSampleRole).toString(), "33");

    // Ticked from the keyboard, as a user does.
    form->show();
    list->setFocus();
    list->setCurrentRow(1);
    QTest::keyClick(list->viewport(), Qt::Key_Space);
    ASSERT_EQ(list->item(1)->checkState(), Qt::Checked);
    QTest::mouseClick(form->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    freeClosed();
    const QString second = input()->toPlainText().section('\n', 1, 1);
    EXPECT_TRUE(second.startsWith("1/01/2024\t-25.0\t4\t")) << second.toStdString();
    EXPECT_EQ(input()->toPlainText().section('\n', 2, 2), "2/01/2024\t-3\t");
}

TEST_F(WindowFaults, TwoColumnsWithOneVariableStopTheRunBeforeItStarts)
{
    open(userDir.write("s.txt", "2001 1 2 74\n2001 2 0 80\n"));
    setRowsBefore(0);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "Precip", "mm");
    setColumn(4, "Precip", "mm");
    output()->setPlainText("earlier result");
    QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(feedback.messages(),
              std::vector<std::string>{"error: Columns 3 and 4 are both set to \"Precip\". "
                                       "Change one of them before processing."});
    EXPECT_EQ(output()->toPlainText(), "earlier result");
    EXPECT_FALSE(fs::exists(appDir.path() / "Input.~"));
}

TEST_F(WindowFaults, AMissingRequiredColumnIsNamedBesideTheProcessButton)
{
    open(userDir.write("s.txt", "2001 1 20 10\n2001 2 21 11\n"));
    setRowsBefore(0);
    setColumn(1, "Year");
    setColumn(2, "DOY");
    setColumn(3, "T-max", "oC");
    setColumn(4, "T-min", "oC");
    child<QComboBox>("ComboBox1")->setCurrentIndex(6);
    child<QLineEdit>("Edit4")->setText("40");
    child<QLineEdit>("Edit5")->setText("300");
    QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(feedback.messages(),
              std::vector<std::string>{std::string("error: ") + pluvora::kRequiredDataMissing});
    auto* note = child<QLabel>("NoteLine");
    EXPECT_EQ(note->toolTip().toStdString(), std::string(pluvora::kRequiredDataMissing)
                                                 + " Missing: no column is set to \"Solar\".");
    // The next run starts without the old note.
    setColumn(5, "Year");
    QTest::mouseClick(child<QPushButton>("BitBtn1"), Qt::LeftButton);
    EXPECT_TRUE(note->toolTip().isEmpty());
}

TEST_F(WindowFaults, LoadBackNamesTheInputAndFindsTheOutputsHeader)
{
    open(userDir.write("station.txt", "one\ntwo\nthree\n2001 1 5\n"));
    setRowsBefore(3);
    output()->setPlainText("Station\n40.5 -96.25 350  Lat (deg), long (deg), elev(m)\nYear DOY\n  mm\n2001 1 5\n");
    QTest::mouseClick(child<QPushButton>("Button7"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "Output of station.txt");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "4");
}

TEST_F(WindowFaults, SavingAnEmptyOutputSaysSoAndWritesNothing)
{
    chooser.paths << QString::fromStdString((userDir.path() / "empty.wth").string());
    QTest::mouseClick(child<QPushButton>("Button4"), Qt::LeftButton);
    EXPECT_EQ(feedback.messages(),
              std::vector<std::string>{std::string("information: ") + OutputPanel::kNothingToSave});
    EXPECT_TRUE(chooser.titles.isEmpty());
    EXPECT_FALSE(fs::exists(userDir.path() / "empty.wth"));
}

TEST_F(WindowFaults, TheSpreadsheetCopyNobodyTookGoesWithTheSession)
{
    output()->setPlainText("Year\tDOY");
    opener.answers = {false, false};
    QTest::mouseClick(child<QPushButton>("Button6"), Qt::LeftButton);
    ASSERT_TRUE(fs::exists(appDir.path() / "~.wb1"));
    window->close();
    window.reset();
    EXPECT_FALSE(fs::exists(appDir.path() / "~.wb1"));
}

TEST_F(WindowFaults, HelpFromATaskPageFitsOnTheScreen)
{
    window->show();
    child<QComboBox>("ComboBox1")->setCurrentIndex(5);
    QTest::mouseClick(child<QPushButton>("BitBtn2"), Qt::LeftButton);
    HelpWindow* help = window->helpWindow();
    ASSERT_NE(help, nullptr);
    const QRect free = window->screen()->availableGeometry();
    EXPECT_LE(help->height() + 48, free.height());
    EXPECT_TRUE(free.contains(help->geometry())) << help->geometry().y() << " " << help->height();
}
