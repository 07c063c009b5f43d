#include "windowfixture.h"

#include "gui/recentfilesmenu.h"

#include <QAction>
#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace pluvora::test;

namespace {

std::string utf8(const QString& s) { return s.toStdString(); }

class Window : public WindowFixture {
protected:
    QString output() { return child<QPlainTextEdit>("Memo2")->toPlainText(); }

    void describeYearDoyTemperatures()
    {
        setColumn(1, "Year");
        setColumn(2, "DOY");
        setColumn(3, "T-max", "oC");
        setColumn(4, "T-min", "oC");
    }
};

} // namespace

TEST_F(Window, HasNameCaptionAndStartsEmpty)
{
    EXPECT_EQ(window->objectName(), "TForm1");
    EXPECT_EQ(window->windowTitle(), "Pluvora");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "");
    EXPECT_TRUE(child<QLineEdit>("adpEdit1")->isReadOnly());
    EXPECT_TRUE(child<QLineEdit>("Edit1")->isReadOnly());
    EXPECT_EQ(child<QPushButton>("BitBtn3")->text(), "Step 1: Open input file...");
    EXPECT_EQ(child<QPushButton>("BitBtn1")->text(), "Step 4: Process");
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(child<QPlainTextEdit>("Memo2")->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentIndex(), 0);
    EXPECT_FALSE(child<QWidget>("Gauge1")->isVisible());
}

TEST_F(Window, OpensAFileIntoTheInputPanel)
{
    const auto file = userDir.write("station.txt", "Header \xB0" "C\r\n2001 1 5\r\n");
    child<QPlainTextEdit>("Memo2")->setPlainText("old output");
    open(file);
    EXPECT_EQ(chooser.titles.value(0), MainWindow::kOpenTitle);
    EXPECT_EQ(chooser.filters.value(0), MainWindow::kOpenFilter);
    EXPECT_EQ(utf8(chooser.folders.value(0)), appDir.path().string() + "/");
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), QString::fromUtf8("Header °C\n2001 1 5"));
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "station.txt");
    EXPECT_EQ(output(), "");

    // The next dialog starts where the last file was.
    chooser.paths << QString();
    child<QPushButton>("BitBtn3")->click();
    EXPECT_EQ(utf8(chooser.folders.value(1)), userDir.path().string() + "/");
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "station.txt"); // Cancel changes nothing
}

TEST_F(Window, RefusesAFileThatIsNotText)
{
    child<QPlainTextEdit>("Memo1")->setPlainText("before");
    child<QPlainTextEdit>("Memo2")->setPlainText("kept");
    open(userDir.write("picture.txt", std::string("GIF\0\0", 5)));
    EXPECT_EQ(feedback.calls, (std::vector<std::string>{
                                  "sound: error",
                                  "error: The file can't be opened because it is not a text file"}));
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), "");
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "picture.txt");
    EXPECT_EQ(output(), "kept");
}

TEST_F(Window, RowsBeforeArrows)
{
    auto* rows = child<QLineEdit>("adpEdit1");
    child<QToolButton>("SpinButton1Up")->click();
    EXPECT_EQ(rows->text(), "0");
    rows->clear();
    child<QToolButton>("SpinButton1Down")->click();
    EXPECT_EQ(rows->text(), "1");
    child<QToolButton>("SpinButton1Down")->click();
    EXPECT_EQ(rows->text(), "2");
    for (int i = 0; i < 4; ++i)
        child<QToolButton>("SpinButton1Up")->click();
    EXPECT_EQ(rows->text(), "0");
}

TEST_F(Window, ResetEmptiesRowsBeforeAndTheTemplateBox)
{
    setRowsBefore(3);
    setColumn(1, "Year");
    child<QPushButton>("BitBtn5")->click();
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "");
    EXPECT_EQ(child<QComboBox>("ComboBox12")->currentIndex(), -1);
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentIndex(), -1);
}

TEST_F(Window, ProcessWithNothingSetSaysColumnsAreMissing)
{
    child<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{"error: Columns are not specified."});
}

TEST_F(Window, ATaskThreeRunShowsTheCheckupReport)
{
    open(userDir.write("s.txt", "Year DOY Tmax Tmin\n2001 1 10 5\n2001 3 4 6\n"));
    setRowsBefore(1);
    describeYearDoyTemperatures();
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);
    child<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{"warning: Data erros are spotted!"});
    EXPECT_EQ(output(), "Report of weather data checkup.\n"
                        "Input data can be edited directly in the input data panel.\n"
                        "\n"
                        "Suspicious data are spotted on (year / DOY):\n"
                        "\t2001 / 3");
    EXPECT_FALSE(child<QWidget>("Gauge1")->isVisible());
}

TEST_F(Window, MissingValuesAreListedInTheOutputPanel)
{
    open(userDir.write("s.txt", "2001 1 10 5\n2001 2 -99 6\n2001 3\t\t4\n"));
    setRowsBefore(0);
    describeYearDoyTemperatures();
    child<QComboBox>("ComboBox1")->setCurrentIndex(2);
    child<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages(),
              std::vector<std::string>{"error: Missing values are found. Correct the data first."});
    EXPECT_EQ(output(), "Missing values are found on the following lines:\n\n2001\t3\t4\t");
}

TEST(WindowStartUp, AppliesTheSettingsAndWritesThemBackOnClose)
{
    TempFolder appDir;
    TempFolder defaults;
    appDir.write("Option.pvd", "/data/in\r\n/data/out\r\n0\r\n1\r\n1\r\n0\r\n-999\t0\r\n");
    appDir.write("Input.~", "stale");
    appDir.write("~2.xls", "stale");
    appDir.write("templatelist.pvd", "Zeta\r\nAlpha\r\n");
    defaults.write("Hotlinks.pvd", "seeded\r\n");
    RecordingFeedback feedback;
    MainWindowSetup setup;
    setup.appFolder = appDir.path();
    setup.startDirectory = defaults.path();
    setup.feedback = &feedback;
    {
        MainWindow window(setup);
        EXPECT_FALSE(std::filesystem::exists(appDir.path() / "Input.~"));
        EXPECT_FALSE(std::filesystem::exists(appDir.path() / "~2.xls"));
        EXPECT_EQ(appDir.read("Hotlinks.pvd"), "seeded\r\n");
        EXPECT_EQ(window.findChild<QLineEdit*>("adpEdit2")->text(), "-999");
        EXPECT_EQ(window.findChild<QLineEdit*>("adpEdit3")->text(), "0");
        EXPECT_FALSE(window.findChild<QCheckBox*>("CheckBox2")->isChecked());
        EXPECT_TRUE(window.findChild<QWidget*>("UpDown1")->isEnabled());
        EXPECT_EQ(window.findChild<QPlainTextEdit*>("Memo1")->horizontalScrollBarPolicy(),
                  Qt::ScrollBarAlwaysOn);
        EXPECT_FALSE(window.findChild<QAction*>("Elasticwindow1")->isChecked());
        EXPECT_EQ(window.rememberedFolders().inputFiles, "/data/in");
        auto* templates = window.findChild<QComboBox*>("ComboBox2");
        ASSERT_EQ(templates->count(), 2);
        EXPECT_EQ(templates->itemText(0), "Alpha");
        EXPECT_EQ(templates->currentIndex(), -1);

        window.findChild<QLineEdit*>("adpEdit2")->setText("-98");
        appDir.write("Output.~", "stale");
        window.close();
    }
    EXPECT_EQ(appDir.read("Option.pvd"), "/data/in\r\n/data/out\r\n0\r\n1\r\n1\r\n0\r\n-98\t0\r\n");
    EXPECT_FALSE(std::filesystem::exists(appDir.path() / "Output.~"));
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
}

TEST(WindowStartUp, FirstStartWithoutDefaultFiles)
{
    TempFolder parent;
    const auto appDir = parent.path() / "Pluvora2016_1";
    RecordingFeedback feedback;
    MainWindowSetup setup;
    setup.appFolder = appDir;
    setup.feedback = &feedback;
    {
        MainWindow window(setup);
        EXPECT_TRUE(std::filesystem::is_directory(appDir));
        EXPECT_EQ(window.rememberedFolders().inputFiles, appDir.string() + "/");
        EXPECT_TRUE(window.findChild<QCheckBox*>("CheckBox2")->isChecked());
        EXPECT_FALSE(window.findChild<QWidget*>("UpDown1")->isEnabled());
        window.close();
    }
    EXPECT_EQ(readFile(appDir / "Option.pvd"),
              appDir.string() + "/\r\n" + appDir.string() + "/\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n");
}

TEST_F(Window, AFailedConversionIsShownAndTheWindowStaysUsable)
{
    open(userDir.write("s.txt", "2001 1 10 5\n2001 2 1-2 6\n"));
    setRowsBefore(0);
    describeYearDoyTemperatures();
    child<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{"error: Invalid numeric input"});
    EXPECT_FALSE(child<QWidget>("Gauge1")->isVisible());

    // Corrected in the panel, the next run goes through.
    child<QPlainTextEdit>("Memo1")->setPlainText("2001 1 10 5\n2001 2 12 6");
    feedback.calls.clear();
    child<QPushButton>("BitBtn1")->click();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
    EXPECT_TRUE(output().endsWith("2001\t2\t0.00\t12.0\t6.0\t0\t0.0\t0.0"));
    if (auto* dialog = window->findChild<QWidget*>("TForm11"))
        dialog->close();
}

// File > Open recent keeps the files a user opened across sessions, and with
// no default folder set the dialogs start where the user last was, or at
// home: never in the hidden application folder.
TEST(WindowStartUp, RecentFilesLastAcrossSessionsAndDialogsStartWhereTheUserWas)
{
    TempFolder appDir;
    TempFolder userDir;
    appDir.write("Option.pvd", "\r\n\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n"); // as shipped
    const auto first = userDir.write("a.txt", "A\r\n");
    const auto second = userDir.write("b & c.txt", "B\r\n");
    RecordingFeedback feedback;
    ScriptedFileChooser chooser;
    MainWindowSetup setup;
    setup.appFolder = appDir.path();
    setup.feedback = &feedback;
    setup.fileChooser = &chooser;
    {
        MainWindow window(setup);
        EXPECT_EQ(utf8(QString::fromStdString(window.rememberedFolders().inputFiles)), utf8(QDir::homePath() + "/"));
        chooser.paths << QString::fromStdString(first.string()) << QString::fromStdString(second.string());
        window.findChild<QPushButton*>("BitBtn3")->click();
        window.findChild<QPushButton*>("BitBtn3")->click();
        window.close();
    }
    MainWindow window(setup);
    EXPECT_EQ(window.rememberedFolders().inputFiles, userDir.path().string() + "/");
    auto* recent = window.findChild<QMenu*>("OpenRecent1");
    ASSERT_NE(recent, nullptr);
    auto captions = [recent] {
        QStringList texts;
        for (QAction* item : recent->actions())
            texts << item->text();
        return texts;
    };
    const QString folder = QString::fromStdString(userDir.path().string());
    EXPECT_EQ(captions(), QStringList({"&1 " + folder + "/b && c.txt", "&2 " + folder + "/a.txt", "", "&Clear the list"}));

    std::filesystem::remove(first);
    recent->actions().at(1)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("error: ") + RecentFilesMenu::kGone + first.string()});
    EXPECT_EQ(captions(), QStringList({"&1 " + folder + "/b && c.txt", "", "&Clear the list"}));

    recent->actions().at(0)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), "B");
    EXPECT_EQ(window.findChild<QLineEdit*>("Edit1")->text(), "b & c.txt");

    recent->actions().at(2)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(captions(), QStringList({RecentFilesMenu::kNone}));
    window.close();
}
