#include "engine/appfolder/rememberedfolders.h"
#include "engine/appfolder/settings.h"
#include "engine/error.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace pluvora;
using pluvora::test::TempFolder;
namespace fs = std::filesystem;

namespace pluvora {
void PrintTo(const Settings& s, std::ostream* out)
{
    *out << '{' << s.inputFolder << '|' << s.weatherFolder << '|' << s.elasticWindow
         << s.horizontalScrollBar << s.spacerEnabled << s.substitutionEnabled << '|' << s.missingSign
         << '|' << s.substitution << '}';
}
} // namespace pluvora

namespace {

Settings make(std::string input, std::string weather, bool elastic, bool scroll, bool spacer,
              bool substitution, std::string sign, std::string value)
{
    Settings s;
    s.inputFolder = std::move(input);
    s.weatherFolder = std::move(weather);
    s.elasticWindow = elastic;
    s.horizontalScrollBar = scroll;
    s.spacerEnabled = spacer;
    s.substitutionEnabled = substitution;
    s.missingSign = std::move(sign);
    s.substitution = std::move(value);
    return s;
}

struct SettingsRoundTrip : ::testing::TestWithParam<Settings> {};

} // namespace

TEST_P(SettingsRoundTrip, ReadsBackWhatWasWritten)
{
    TempFolder dir;
    const fs::path file = dir.path() / "Option.pvd";
    writeSettingsFile(file, GetParam());
    EXPECT_EQ(readSettingsFile(file), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsRoundTrip,
    ::testing::Values(Settings{},
                      make("/home/u/data/", "/home/u/wth", true, false, true, false, "-999", "0"),
                      make("", "", false, true, false, true, "0", ""),
                      make("/my data/in put/", "/w", true, true, true, true, "-9999", "n a 1.5")));

TEST(SettingsFile, WritesSevenCrLfLines)
{
    TempFolder dir;
    writeSettingsFile(dir.path() / "Option.pvd",
                      make("/in/", "/out", true, false, true, true, "-999", "0"));
    EXPECT_EQ(dir.read("Option.pvd"), "/in/\r\n/out\r\n1\r\n0\r\n1\r\n1\r\n-999\t0\r\n");
}

TEST(SettingsFile, SuggestionOffIsAnEighthLineThatOlderFilesLack)
{
    TempFolder dir;
    Settings off = make("/in/", "/out", true, false, true, true, "-999", "0");
    off.suggestLayout = false;
    writeSettingsFile(dir.path() / "Option.pvd", off);
    EXPECT_EQ(dir.read("Option.pvd"), "/in/\r\n/out\r\n1\r\n0\r\n1\r\n1\r\n-999\t0\r\n0\r\n");
    EXPECT_FALSE(readSettingsFile(dir.path() / "Option.pvd").suggestLayout);
    EXPECT_TRUE(readSettingsFile(dir.write("Option.pvd", "/a\r\n/b\r\n0\r\n0\r\n0\r\n1\r\n-99\t0\r\n"))
                    .suggestLayout);
}

namespace {

struct ReadCase {
    const char* name;
    const char* content;
    Settings expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

struct SettingsReading : ::testing::TestWithParam<ReadCase> {};

} // namespace

TEST_P(SettingsReading, FollowsTheLineRules)
{
    TempFolder dir;
    EXPECT_EQ(readSettingsFile(dir.write("Option.pvd", GetParam().content)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SettingsReading,
    ::testing::Values(
        ReadCase{"SignAndZero", "/a\r\n/b\r\n0\r\n0\r\n0\r\n1\r\n-999\t0\r\n",
                 make("/a", "/b", false, false, false, true, "-999", "0")},
        ReadCase{"OnlyFolderLines", "/a\r\n/b\r\n", make("/a", "/b", false, false, false, false, "0", "")},
        ReadCase{"AnyNonZeroIsOn", "/a\r\n/b\r\n2\r\n-1\r\n0\r\n7\r\n5\tx\r\n",
                 make("/a", "/b", true, true, false, true, "5", "x")},
        ReadCase{"LfOnlyAndNoFinalBreak", "/a\n/b\n1\n1\n1\n0\n-99\t0.01",
                 make("/a", "/b", true, true, true, false, "-99", "0.01")},
        ReadCase{"OneSeparatorSkipped", "\r\n\r\n0\r\n0\r\n0\r\n1\r\n-99\t\t0.01 \r\n",
                 make("", "", false, false, false, true, "-99", "\t0.01 ")},
        ReadCase{"SignWithoutSeparator", "\r\n\r\n0\r\n0\r\n0\r\n1\r\n-99\r\n",
                 make("", "", false, false, false, true, "-99", "")},
        ReadCase{"SignNotAnIntegerKeepsDefaults", "/a\r\n/b\r\n1\r\n0\r\n0\r\n1\r\n-9.5\t0\r\n",
                 make("/a", "/b", true, false, false, true, "-99", "0.01")},
        ReadCase{"FlagNotAnIntegerIsOff", "/a\r\n/b\r\nyes\r\n1\r\n1\r\n1\r\n-99\t0\r\n",
                 make("/a", "/b", false, true, true, true, "-99", "0")},
        ReadCase{"EmptyFile", "", make("", "", false, false, false, false, "0", "")}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(SettingsFile, CloseRewriteKeepsTheFolderLinesOfTheFile)
{
    TempFolder dir;
    const AppFolder folder(dir.path());
    dir.write("option.PVD", "/chosen/in\r\n/chosen/out\r\n");
    saveSettingsOnClose(folder, make("/opened/", "/updated/", false, true, false, true, "-999", "0"));
    EXPECT_EQ(dir.read("option.PVD"), "/chosen/in\r\n/chosen/out\r\n0\r\n1\r\n0\r\n1\r\n-999\t0\r\n");
    EXPECT_FALSE(fs::exists(dir.path() / "Option.pvd"));
}

TEST(SettingsFile, FoldersDialogWritesOnlyTheTwoFolderLines)
{
    TempFolder dir;
    const AppFolder folder(dir.path());
    dir.write("Option.pvd", "\r\n\r\n1\r\n1\r\n1\r\n1\r\n-99\t0.01\r\n");
    saveFolderSettings(folder, "/no/such/folder", "/w/");
    EXPECT_EQ(dir.read("Option.pvd"), "/no/such/folder\r\n/w/\r\n");
}

TEST(SettingsFile, FailedWriteLeavesTheOldFileWhole)
{
    TempFolder dir;
    const AppFolder folder(dir.path());
    const std::string old = "/a\r\n/b\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n";
    dir.write("Option.pvd", old);
    fs::create_directory(dir.path() / "Option.pvd.new"); // the temporary file cannot be made
    EXPECT_THROW(saveFolderSettings(folder, "/x", "/y"), Error);
    EXPECT_EQ(dir.read("Option.pvd"), old);
}

TEST(SettingsFile, UnreadableOrMissingFileGivesNothing)
{
    TempFolder dir;
    const AppFolder folder(dir.path());
    EXPECT_FALSE(readSettings(folder).has_value());
    fs::create_directory(dir.path() / "Option.pvd");
    EXPECT_FALSE(readSettings(folder).has_value());
}

TEST(RememberedFoldersTest, EmptyFolderLinesMeanTheApplicationFolder)
{
    TempFolder dir;
    const AppFolder folder(dir.path());
    dir.write("Option.pvd", "\r\n/w/\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n");
    const auto remembered = RememberedFolders::load(readSettings(folder), folder);
    EXPECT_EQ(remembered.inputFiles, folder.pathText());
    EXPECT_EQ(remembered.weatherFiles, "/w/");
    EXPECT_EQ(readFolderLines(folder).inputFolder, folder.pathText());
    EXPECT_EQ(readFolderLines(folder).weatherFolder, "/w/");
}

TEST(RememberedFoldersTest, OpeningAFileMovesTheFolderForThisRunOnly)
{
    TempFolder dir;
    const AppFolder folder(dir.path());
    dir.write("Option.pvd", "/data/\r\n/wth/\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n");
    auto remembered = RememberedFolders::load(readSettings(folder), folder);
    remembered.inputFileOpened("/elsewhere/station/daily.txt");
    remembered.weatherFileUpdated("/models/site.wth");
    EXPECT_EQ(remembered.inputFiles, "/elsewhere/station/");
    EXPECT_EQ(remembered.weatherFiles, "/models/");

    saveSettingsOnClose(folder, *readSettings(folder));
    const auto nextRun = RememberedFolders::load(readSettings(folder), folder);
    EXPECT_EQ(nextRun.inputFiles, "/data/");
    EXPECT_EQ(nextRun.weatherFiles, "/wth/");
}
