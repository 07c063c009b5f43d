#include "engine/templates/templateoperations.h"

#include "engine/error.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace pluvora;
using namespace pluvora::test;
namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

DataTemplate spec(int rows, std::initializer_list<int> variables, std::initializer_list<int> units)
{
    DataTemplate t;
    std::copy(variables.begin(), variables.end(), t.variables.begin());
    std::copy(units.begin(), units.end(), t.units.begin());
    t.rowsBefore = rows;
    return t;
}

// A block as a save appends it.
std::string appended(const std::string& name, const DataTemplate& t)
{
    const auto lines = templateLines(t);
    return "\r\n" + name + "\r\n" + lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n";
}

// A block as a rewrite leaves it.
std::string rewritten(const std::string& name, const DataTemplate& t)
{
    return appended(name, t).substr(2);
}

struct Templates : ::testing::Test {
    TempFolder dir;
    AppFolder folder{dir.path()};
    TemplateStore store{folder};
    RecordingFeedback ui;

    const DataTemplate a = spec(2, {1, 4, 5}, {-1, -1, 2});
    const DataTemplate b = spec(0, {1, 2, 3, 9}, {-1, -1, -1, 0});
    const DataTemplate c = spec(7, {16, 6, 7}, {-1, 1, 1});

    Names saveAll(std::initializer_list<std::pair<const char*, DataTemplate>> items)
    {
        Names names;
        for (const auto& [name, t] : items)
            names = saveTemplate(store, ui, names, name, t).value();
        return names;
    }
    std::string settings() const { return dir.read("TemplateSettings.pvd"); }
    std::string list() const { return dir.read("TemplateList.pvd"); }
};

} // namespace

TEST_F(Templates, ShippedFilesApplyAndSurviveARewrite)
{
    for (const char* name : {"TemplateList.pvd", "TemplateSettings.pvd", "Last Session Template.pvd"})
        fs::copy_file(fs::path(PLUVORA_DEFAULTS_DIR) / name, dir.path() / name);
    const std::string shipped = settings();
    const Names names = store.names();
    ASSERT_EQ(names.size(), 2u);
    const DataTemplate silo = spec(23, {1, 4, 5, 6, 7, 8, 13, 0}, {-1, -1, 0, 0, 0, 0, 0, -1});
    EXPECT_EQ(store.find(names[0]), silo);
    EXPECT_EQ(store.find(names[1]),
              spec(1, {1, 2, 3, 7, 6, 5, 0, 10, 0, 12}, {-1, -1, -1, 1, 1, 1, -1, 1, -1, 2}));
    EXPECT_EQ(store.lastSession(), DataTemplate{});
    const std::string lastSession = dir.read("Last Session Template.pvd");
    store.saveLastSession(*store.lastSession());
    EXPECT_EQ(dir.read("Last Session Template.pvd"), lastSession);
    const std::string shippedList = list();

    // A rename to the same name rewrites every block in the four-line form.
    ASSERT_TRUE(renameTemplate(store, ui, names, names[0], names[0]));
    EXPECT_EQ(settings(), rewritten(names[0], silo) + rewritten(names[1], *store.find(names[1])));
    EXPECT_EQ(list(), shippedList);
    EXPECT_EQ(store.find(names[0]), silo);
    EXPECT_NE(settings(), shipped);
}

TEST_F(Templates, OverwriteWithYesLeavesOneNewerBlockAtTheEnd)
{
    Names names = saveAll({{"Station", a}, {"Other", b}});
    ui.scriptAnswer(true);
    names = saveTemplate(store, ui, names, "Station", c).value();
    EXPECT_EQ(names, (Names{"Other", "Station"}));
    EXPECT_EQ(list(), "Other\r\nStation\r\n");
    EXPECT_EQ(settings(), rewritten("Other", b) + appended("Station", c));
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"sound: exclamation",
                                                  std::string("ask: ") + kOverwriteTemplate}));
    EXPECT_FALSE(folder.exists(kSettingsBackup));
}

TEST_F(Templates, OverwriteWithNoAndAnEmptyNameWriteNothing)
{
    const Names names = saveAll({{"Station", a}});
    const std::string before = settings();
    ui.scriptAnswer(false);
    EXPECT_FALSE(saveTemplate(store, ui, names, "Station", c));
    EXPECT_FALSE(saveTemplate(store, ui, names, "", c));
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(list(), "Station\r\n");
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{std::string("error: ") + kNoNameGiven}));
}

TEST_F(Templates, ANameOfDigitsFindsItsOwnBlockNotARowsLine)
{
    saveAll({{"Four header rows", spec(4, {1, 2}, {})}, {"72150", spec(0, {16}, {})},
             {"4", spec(2, {1, 4, 5}, {-1, -1, 2})}});
    EXPECT_EQ(store.find("4"), spec(2, {1, 4, 5}, {-1, -1, 2}));
    EXPECT_EQ(store.find("0"), std::nullopt); // a rows line, not a name
    EXPECT_EQ(store.find("72150")->variables[0], kYydoy);
}

TEST_F(Templates, RenameKeepsThePlaceOfTheBlockAndSortsTheList)
{
    const Names names = saveAll({{"alpha", a}, {"Beta", b}, {"gamma", c}});
    EXPECT_EQ(list(), "alpha\r\nBeta\r\ngamma\r\n"); // letter case does not sort
    const auto after = renameTemplate(store, ui, names, "alpha", "zulu");
    EXPECT_EQ(after, (Names{"Beta", "gamma", "zulu"}));
    EXPECT_EQ(settings(), rewritten("zulu", a) + rewritten("Beta", b) + rewritten("gamma", c));
    EXPECT_FALSE(folder.exists(kRenameBackup));
}

TEST_F(Templates, RenameToNothingOrToANameInUse)
{
    const Names names = saveAll({{"A", a}, {"B", b}});
    const std::string before = settings();
    EXPECT_FALSE(renameTemplate(store, ui, names, "A", ""));
    ui.scriptAnswer(false);
    EXPECT_FALSE(renameTemplate(store, ui, names, "A", "B"));
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(list(), "A\r\nB\r\n");

    ui.scriptAnswer(true);
    EXPECT_EQ(renameTemplate(store, ui, names, "A", "B"), (Names{"B"}));
    EXPECT_EQ(settings(), rewritten("B", a));
    EXPECT_EQ(list(), "B\r\n");
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{std::string("error: ") + kNoNameGiven}));
}

TEST_F(Templates, APastedLineBreakNeverSplitsAName)
{
    Names names = saveAll({{"North\r\nfield", a}, {"South", b}});
    EXPECT_EQ(names, (Names{"North", "South"}));
    names = renameTemplate(store, ui, names, "South", "West\nwind").value();
    EXPECT_EQ(list(), "North\r\nWest\r\n");
    EXPECT_EQ(settings(), rewritten("North", a) + rewritten("West", b));
    EXPECT_FALSE(saveTemplate(store, ui, names, "\r\nEast", c)); // nothing before the break
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{std::string("error: ") + kNoNameGiven}));
}

TEST_F(Templates, DeletingTheOnlyTemplateThenSavingAgain)
{
    Names names = saveAll({{"Only", a}});
    ui.scriptAnswer(true);
    names = deleteTemplate(store, ui, names, "Only").value();
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(settings(), "");
    EXPECT_EQ(list(), "");
    names = saveTemplate(store, ui, names, "Next", b).value();
    EXPECT_EQ(settings(), appended("Next", b));
    EXPECT_EQ(store.find("Next"), b);
}

TEST_F(Templates, ADamagedFileStopsADeleteOrRenameAndStaysAsItWas)
{
    const Names names = saveAll({{"A", a}, {"B", b}});
    const std::string damaged = settings() + "\r\nC\r\n3\r\n";
    dir.write("TemplateSettings.pvd", damaged);
    ui.scriptAnswer(true);
    EXPECT_FALSE(deleteTemplate(store, ui, names, "A"));
    EXPECT_FALSE(renameTemplate(store, ui, names, "B", "D"));
    EXPECT_EQ(settings(), damaged);
    EXPECT_EQ(list(), "A\r\nB\r\n");
    EXPECT_FALSE(folder.exists(kSettingsBackup));
    EXPECT_FALSE(folder.exists(kRenameBackup));
    const std::string problems = std::string("error: ") + kTemplateProblems;
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{problems, problems}));
    EXPECT_EQ(store.find("C"), std::nullopt); // a cut block is never applied
}

TEST_F(Templates, LastSessionFileHasNoBreakAfterItsLastLine)
{
    store.saveLastSession(c);
    const auto lines = templateLines(c);
    EXPECT_EQ(dir.read("Last Session Template.pvd"),
              "7\r\n" + lines[1] + "\r\n" + lines[2]);
    EXPECT_EQ(store.lastSession(), c);
}

TEST(TemplateLines, ReadAsTheIntegerReaderReadsThem)
{
    // An empty rows line left by an older save reads as 0, not as the first index.
    EXPECT_EQ(parseTemplateLines("", "1 2", "\t-1\t0"), spec(0, {1, 2}, {-1, 0}));
    EXPECT_THROW(parseTemplateLines("x", "", ""), Error);
    EXPECT_THROW(parseTemplateLines("0", "1 2.5", ""), Error);
    // What follows the numbers a line must hold is skipped, as the readers skip it.
    EXPECT_EQ(parseTemplateLines("3 rows", "1 2 3 4 5 6 7 8 9 10 11 12 old", "0"),
              spec(3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {0}));
}

// Fill settings ride on the rows line as words an older reader skips: a
// template without them is written as it always was, and every value comes
// back as typed, blanks and percent signs included.
TEST(TemplateLines, KeepFillSettingsWhereOlderReadersSkipThem)
{
    DataTemplate plain;
    plain.rowsBefore = 2;
    plain.fields = FieldSeparator::Comma;
    plain.setColumn(1, 1);
    EXPECT_EQ(templateLines(plain)[0], "2\tfields=comma");

    FillChoice interpolateOnly;
    interpolateOnly.interpolate = true;
    FillChoice everything;
    everything.interpolate = true;
    everything.limits = "T-max=5,Solar=1";
    everything.referenceFile = "C:\\near by\\100%\tgrid.csv";
    everything.referenceLayout = "NASA POWER (daily)";
    everything.leastR2 = 0.4;
    FillChoice referenceOnly;
    referenceOnly.referenceFile = "grid.csv";
    referenceOnly.leastR2 = 0;
    for (const FillChoice& fill : {interpolateOnly, everything, referenceOnly}) {
        DataTemplate filled = plain;
        filled.fill = fill;
        const auto lines = templateLines(filled);
        EXPECT_TRUE(lines[0].starts_with("2\tfields=comma ")) << lines[0];
        EXPECT_EQ(parseTemplateLines(lines[0], lines[1], lines[2]), filled) << lines[0];
        // What a reader that knows no fill makes of the line.
        DataLayout older;
        parseReadingText(lines[0].substr(2), older);
        EXPECT_EQ(older.fields, FieldSeparator::Comma);
        EXPECT_TRUE(older.missingTexts.empty());
    }
    EXPECT_EQ(parseTemplateLines("2\tfields=comma", "1", "").fill, FillChoice{});
}
