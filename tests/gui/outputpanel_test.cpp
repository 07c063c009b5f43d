#include "windowfixture.h"

#include "engine/appfolder/rememberedfolders.h"
#include "engine/output/outputactions.h"
#include "engine/tasks/weatherfileupdate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace pluvora::test;
namespace fs = std::filesystem;

namespace {

const std::string kUpdatedSite =
    "information: site.wth is now updated. The origina file is renamed to 'site.wth.old.'";
const fs::path kUpdate = fs::path(PLUVORA_TEST_DATA) / "update";

class OutputPanelTest : public WindowFixture {
protected:
    QPlainTextEdit* output() { return child<QPlainTextEdit>("Memo2"); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }

    // The existing weather file, in a folder of its own.
    fs::path copyOfSite()
    {
        const fs::path site = userDir.path() / "site.wth";
        fs::copy_file(kUpdate / "site.wth", site, fs::copy_options::overwrite_existing);
        return site;
    }

    void chooseFile(const fs::path& file) { chooser.paths << QString::fromStdString(file.string()); }

    void runTask2(const fs::path& weatherFile, const fs::path& input = kUpdate / "input.txt")
    {
        open(input);
        setRowsBefore(2);
        setColumn(1, "Year");
        setColumn(2, "DOY");
        setColumn(3, "T-max", "oC");
        setColumn(4, "T-min", "oC");
        setColumn(5, "Precip", "mm");
        child<QComboBox>("ComboBox1")->setCurrentIndex(1);
        chooseFile(weatherFile);
        button("BitBtn1")->click();
    }
};

TEST_F(OutputPanelTest, Task2RunAppendsTheNewDaysAndKeepsTheBackup)
{
    const fs::path site = copyOfSite();
    runTask2(site);
    EXPECT_EQ(readFile(site), readFile(kUpdate / "expected.wth"));
    EXPECT_EQ(readFile(userDir.path() / "site.wth.old"), readFile(kUpdate / "site.wth"));
    // A task-2 run gets no notice; it ends with the closing message.
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{"information: site.wth is now updated. The origina "
                                                            "file is renamed to 'site.wth.old.'"});
    EXPECT_EQ(chooser.titles.last(), pluvora::kUpdateDialogTitle);
    EXPECT_EQ(chooser.filters.last(), "Maravel weather file (.wth) (*.wth);;All files(*.*) (*)");
    EXPECT_EQ(chooser.folders.last().toStdString(), window->appFolder().pathText());
    EXPECT_EQ(window->rememberedFolders().weatherFiles, pluvora::folderOf(site));
    // The output keeps only the first header line above the column names.
    EXPECT_TRUE(output()->toPlainText().startsWith("Lincoln NE station, daily\nYear\tDOY"));
}

// A daily run brings one new day: the run knows where its data begin, so
// no two rows of one year are needed to find them.
TEST_F(OutputPanelTest, Task2RunAppendsASingleNewDay)
{
    const fs::path site = copyOfSite();
    const fs::path input = userDir.path() / "one-day.txt";
    writeFile(input, "Lincoln NE station, daily\nYear DOY Tmax Tmin Rain\n2011 1 -4.0 -12.5 0\n");
    runTask2(site, input);
    const std::string expected = readFile(kUpdate / "expected.wth");
    const std::size_t firstNew = expected.find("2011\t1\t");
    ASSERT_NE(firstNew, std::string::npos);
    EXPECT_EQ(readFile(site), expected.substr(0, expected.find('\n', firstNew) + 1));
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{kUpdatedSite});
}

TEST_F(OutputPanelTest, DirectClickTellsWhatTheDataMustBeOnceAndCancelChangesNothing)
{
    button("Button2")->click();
    button("Button2")->click();
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("information: ") + pluvora::kFirstUpdateNotice});
    EXPECT_EQ(chooser.titles.size(), 2);
}

struct PanelUpdate {
    const char* name;
    const char* panel; // rows after the trimmed head
    std::vector<bool> answers;
    const char* appended; // nullptr: the file stays as it was
    std::vector<std::string> messages;
};

class OutputPanelUpdate : public OutputPanelTest, public ::testing::WithParamInterface<PanelUpdate> {};

const std::string kUpdated = "information: site.wth is now updated. The origina file is renamed to 'site.wth.old.'";
const std::string kNoNeed = std::string("information: ") + pluvora::kNoNeedToUpdate;
const std::string kProblems = std::string("error: ") + pluvora::kUpdateProblems;

TEST_P(OutputPanelUpdate, GivesTheSameFileAsTheEngine)
{
    const PanelUpdate& c = GetParam();
    const fs::path site = copyOfSite();
    const std::string before = readFile(site);
    output()->setPlainText(QString("Head\nYear\tDOY\tSolar\n\t\tMJ/m2\n") + c.panel);
    for (bool yes : c.answers)
        feedback.scriptAnswer(yes);
    chooseFile(site);
    button("Button2")->click();

    std::vector<std::string> expected = {std::string("information: ") + pluvora::kFirstUpdateNotice};
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(feedback.messages(), expected);
    EXPECT_EQ(readFile(site), c.appended ? before + c.appended : before);
    EXPECT_EQ(fs::exists(userDir.path() / "site.wth.old"), c.appended != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Window, OutputPanelUpdate,
    ::testing::Values(
        PanelUpdate{"FromDay1WithoutAQuestion", "2010\t364\tx\n2010\t365\tx\n2011\t1\ta\n2011\t2\tb", {},
                    "2011\t1\ta\r\n2011\t2\tb\r\n", {kUpdated}},
        PanelUpdate{"GapAnsweredYes", "2011\t5\ta\n2011\t6\tb", {true}, "2011\t5\ta\r\n2011\t6\tb\r\n", {kUpdated}},
        PanelUpdate{"GapAnsweredNo", "2011\t5\ta\n2011\t6\tb", {false}, nullptr, {}},
        PanelUpdate{"NothingNew", "2010\t363\tx\n2010\t364\tx\n2010\t365\tx", {}, nullptr, {kNoNeed}},
        PanelUpdate{"OnlyTheLastRowIsNew", "2010\t364\tx\n2010\t365\tx\n2011\t1\ta", {}, "2011\t1\ta\r\n",
                    {kUpdated}},
        PanelUpdate{"NoTwoRowsOfOneYear", "2011\t1\ta", {}, nullptr, {kProblems}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(OutputPanelTest, SaveProposesTheInputNameAndAddsTheFiltersExtension)
{
    open(kUpdate / "input.txt");
    output()->setPlainText("Head\n2011\t1");

    chooser.paths << QString::fromStdString((userDir.path() / "result").string());
    chooser.filterIndexes << 1;
    button("Button4")->click();
    chooser.paths << QString::fromStdString((userDir.path() / "result.dat").string());
    chooser.filterIndexes << 0;
    button("Button4")->click();
    chooser.paths << QString::fromStdString((userDir.path() / "weather").string());
    button("Button4")->click();
    button("Button4")->click(); // cancelled
    chooser.paths << QString::fromStdString((userDir.path() / "missing" / "result.wth").string());
    button("Button4")->click();
    ASSERT_EQ(feedback.messages().size(), 1u);
    EXPECT_EQ(feedback.messages()[0].rfind("error: Cannot write file", 0), 0u) << feedback.messages()[0];
    EXPECT_EQ(output()->toPlainText(), "Head\n2011\t1");
    feedback.calls.clear();

    EXPECT_EQ(readFile(userDir.path() / "result.txt"), "Head\r\n2011\t1\r\n");
    EXPECT_EQ(readFile(userDir.path() / "result.dat"), "Head\r\n2011\t1\r\n");
    EXPECT_EQ(readFile(userDir.path() / "weather.wth"), "Head\r\n2011\t1\r\n");
    EXPECT_EQ(chooser.names, QStringList({"input", "input", "input", "input", "input"}));
    EXPECT_EQ(chooser.folders.last().toStdString(), pluvora::folderOf(kUpdate / "input.txt"));
    EXPECT_EQ(chooser.filters.last(), "Maravel weather files (.wth) (*.wth);;Text files(*.txt) (*.txt)");
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});
}

TEST_F(OutputPanelTest, LoadInExcelNumbersTheCopiesAndFallsBack)
{
    output()->setPlainText("Year\tDOY\n2011\t1");
    button("Button6")->click();
    button("Button6")->click();
    const fs::path app = window->appFolder().path();
    EXPECT_EQ(opener.opened, (std::vector<fs::path>{app / "~1.xls", app / "~2.xls"}));
    EXPECT_EQ(readFile(app / "~2.xls"), "Year\tDOY\r\n2011\t1\r\n");

    opener.answers = {false, true};
    button("Button6")->click();
    EXPECT_EQ(opener.opened.back(), app / "~.wb1");
    EXPECT_FALSE(fs::exists(app / "~3.xls"));
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{});

    // An older ".wb1" copy is replaced by the new one.
    output()->setPlainText("newer");
    opener.answers = {false, false};
    button("Button6")->click();
    EXPECT_EQ(readFile(app / "~.wb1"), "newer\r\n");
    EXPECT_EQ(feedback.messages(), std::vector<std::string>{std::string("error: ") + pluvora::kNoSpreadsheetProgram});
}

TEST_F(OutputPanelTest, LoadBackMovesThePanelsAndKeepsTheColumns)
{
    open(kUpdate / "input.txt");
    setRowsBefore(2);
    setColumn(1, "Year");
    button("Button7")->click(); // an empty output panel
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "Output.~");
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), "");
    EXPECT_EQ(child<QLineEdit>("adpEdit1")->text(), "2");
    EXPECT_EQ(child<QComboBox>("ComboBox12")->currentText(), "Year");

    output()->setPlainText("Head\n2011\t1");
    button("Button7")->click();
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(), "Head\n2011\t1");
    EXPECT_EQ(output()->toPlainText(), "");
    EXPECT_EQ(button("Button7")->toolTip(), "For another round of processing.");
    EXPECT_EQ(button("Button2")->toolTip(), "Update an existing Maravel weather");
}

} // namespace
