#include "engine/appfolder/appfolder.h"
#include "engine/appfolder/recentfiles.h"
#include "engine/appfolder/rememberedfolders.h"
#include "engine/appfolder/settings.h"
#include "engine/error.h"
#include "engine/io/textreader.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

using namespace pluvora;
using pluvora::test::readFile;
using pluvora::test::TempFolder;
using pluvora::test::writeFile;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> linesOf(const fs::path& file)
{
    std::vector<std::string> lines;
    TextReader reader(file);
    std::string line;
    while (reader.readLine(line))
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(AppFolderStart, EmptyPlatformFolderIsReported)
{
    try {
        AppFolder::prepare({}, {});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), kFolderPathNotFound);
    }
}

TEST(AppFolderStart, FirstStartWithoutDefaultsGivesFolderAndCompleteSettingsAtClose)
{
    TempFolder platform;
    TempFolder emptyDefaults;
    const AppFolder folder = AppFolder::prepare(platform.path(), emptyDefaults.path());

    EXPECT_EQ(folder.path(), platform.path() / "Pluvora2016_1");
    ASSERT_TRUE(fs::is_directory(folder.path()));
    EXPECT_TRUE(namesIn(folder.path()).empty());

    const auto settings = readSettings(folder);
    EXPECT_FALSE(settings.has_value());
    const RememberedFolders remembered = RememberedFolders::load(settings, folder);
    EXPECT_EQ(remembered.inputFiles, folder.pathText());
    EXPECT_EQ(remembered.weatherFiles, folder.pathText());

    saveSettingsOnClose(folder, settings.value_or(Settings{}));
    const std::string app = folder.pathText();
    EXPECT_EQ(readFile(folder.path() / "Option.pvd"),
              app + "\r\n" + app + "\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n");
}

TEST(AppFolderStart, MissingPlatformFolderIsCreatedToo)
{
    TempFolder home;
    const AppFolder folder = AppFolder::prepare(home.path() / ".local" / "share", home.path());
    EXPECT_TRUE(fs::is_directory(folder.path()));
}

TEST(AppFolderStart, SeedsEveryShippedDefaultByteForByte)
{
    TempFolder platform;
    const fs::path defaults = PLUVORA_DEFAULTS_DIR;
    const AppFolder folder = AppFolder::prepare(platform.path(), defaults);

    std::vector<std::string> expected(defaultfile::kSeedOrder.begin(), defaultfile::kSeedOrder.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder.path()), expected);
    for (std::string_view name : defaultfile::kSeedOrder)
        EXPECT_EQ(readFile(folder.path() / name), readFile(defaults / name)) << name;
}

TEST(AppFolderStart, KeepsUserFilesWhateverTheirLetterCase)
{
    TempFolder platform;
    TempFolder defaults;
    defaults.write("TemplateList.pvd", "Shipped\r\n");
    defaults.write("Option.pvd", "\r\n\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n");
    const fs::path appPath = platform.path() / "Pluvora2016_1";
    fs::create_directory(appPath);
    writeFile(appPath / "templatelist.pvd", "Mine\r\n");
    writeFile(appPath / "OPTION.PVD", "x\r\n");

    const AppFolder folder = AppFolder::prepare(platform.path(), defaults.path());

    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"OPTION.PVD", "templatelist.pvd"}));
    EXPECT_EQ(readFile(appPath / "templatelist.pvd"), "Mine\r\n");
    EXPECT_EQ(readFile(appPath / "OPTION.PVD"), "x\r\n");
}

TEST(AppFolderStart, DeletesLeftoverWorkingFilesAndSpreadsheetCopies)
{
    TempFolder platform;
    TempFolder defaults;
    const fs::path appPath = platform.path() / "Pluvora2016_1";
    fs::create_directory(appPath);
    // name -> still there after start-up
    const std::map<std::string, bool> files = {
        {"Input.~", false}, {"output.~", false},  {"DSMA1.~", false},   {"~3.xls", false},
        {"~12.XLS", false}, {"~.xls", false},     {"~.wb1", true},      {"report.xls", true},
        {"a~.xls", true},   {"~3.xlsx", true},    {"Option.pvd", true}, {"notes.~txt", true},
    };
    for (const auto& [name, kept] : files)
        writeFile(appPath / name, "x");
    fs::create_directory(appPath / "old.~");

    AppFolder::prepare(platform.path(), defaults.path());

    for (const auto& [name, kept] : files)
        EXPECT_EQ(fs::exists(appPath / name), kept) << name;
    EXPECT_TRUE(fs::is_directory(appPath / "old.~"));
}

// The shipped files are read by other parts of the program; these checks
// keep them in the formats those readers expect.
TEST(ShippedDefaults, ListFilesHaveTheirLineCounts)
{
    const fs::path defaults = PLUVORA_DEFAULTS_DIR;
    EXPECT_EQ(linesOf(defaults / "Hotlinks.pvd").size(), 15u);
    EXPECT_EQ(linesOf(defaults / "Homepage.pvd").size(), 2u);
    const auto names = linesOf(defaults / "FavoriteNames.pvd");
    EXPECT_FALSE(names.empty());
    EXPECT_EQ(linesOf(defaults / "FavoriteURLs.pvd").size(), names.size());
    for (const char* name : {"Hotlinks.pvd", "Homepage.pvd", "FavoriteNames.pvd", "FavoriteURLs.pvd",
                             "TemplateList.pvd", "TemplateSettings.pvd", "Option.pvd"}) {
        const std::string text = readFile(defaults / name);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'))
            << name;
    }
}

TEST(ShippedDefaults, SettingsReadAsTheWindowDefaults)
{
    const Settings shipped = readSettingsFile(fs::path(PLUVORA_DEFAULTS_DIR) / "Option.pvd");
    EXPECT_EQ(shipped, Settings{});
}

TEST(ShippedDefaults, LastSessionTemplateIsEmpty)
{
    TextReader reader(fs::path(PLUVORA_DEFAULTS_DIR) / "Last Session Template.pvd");
    EXPECT_EQ(reader.readInteger(), 0);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(reader.nextInteger(), -1);
    EXPECT_FALSE(reader.nextInteger().has_value());
}

namespace {

struct TemplateBlock {
    std::string name;
    int rowsBefore = 0;
    std::vector<int> variables;
    std::vector<int> units;
};

std::vector<TemplateBlock> shippedTemplates()
{
    std::vector<TemplateBlock> blocks;
    const auto lines = linesOf(fs::path(PLUVORA_DEFAULTS_DIR) / "TemplateSettings.pvd");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        TemplateBlock block;
        block.name = lines[i];
        block.rowsBefore = std::stoi(lines.at(i + 1));
        for (auto* target : {&block.variables, &block.units}) {
            std::istringstream numbers(lines.at(i + (target == &block.variables ? 2 : 3)));
            for (int n; numbers >> n;)
                target->push_back(n);
        }
        blocks.push_back(block);
        i += 3;
    }
    return blocks;
}

// The header row just above the data, split the way a run splits data rows
// once commas have become blanks.
std::vector<std::string> columnNames(const fs::path& file, int rowsBefore)
{
    const auto lines = linesOf(file);
    std::string header = lines.at(static_cast<std::size_t>(rowsBefore - 1));
    if (rowsBefore == 23) // the APSIM file puts a units row under the names
        header = lines.at(21);
    std::replace(header.begin(), header.end(), ',', ' ');
    std::istringstream words(header);
    std::vector<std::string> names;
    for (std::string w; words >> w;)
        names.push_back(w);
    return names;
}

} // namespace

TEST(ShippedDefaults, TemplatesDescribeTheRealFilesTheyAreMadeFor)
{
    const auto blocks = shippedTemplates();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(linesOf(fs::path(PLUVORA_DEFAULTS_DIR) / "TemplateList.pvd"),
              (std::vector<std::string>{blocks[0].name, blocks[1].name}));

    struct Case {
        const char* file;
        std::map<std::string, int> codeByColumnName;
    };
    const Case cases[] = {
        {"silo_apsim_wagga_72150.met",
         {{"year", 1}, {"day", 4}, {"radn", 5}, {"maxt", 6}, {"mint", 7}, {"rain", 8}, {"evap", 13}, {"vp", 0}, {"code", -1}}},
        {"agrimet_faln_2015_daily.csv",
         {{"YEAR", 1}, {"MONTH", 2}, {"DAY", 3}, {"MN", 7}, {"MX", 6}, {"SR", 5}, {"YM", 0}, {"UA", 10},
          {"ETRS", 0}, {"ETOS", 12}}},
    };
    for (std::size_t t = 0; t < blocks.size(); ++t) {
        const TemplateBlock& block = blocks[t];
        const fs::path file = fs::path(PLUVORA_SAMPLE_DATA) / cases[t].file;
        ASSERT_EQ(block.variables.size(), 12u);
        ASSERT_EQ(block.units.size(), 12u);
        const auto names = columnNames(file, block.rowsBefore);
        for (std::size_t c = 0; c < names.size() && c < 12; ++c)
            EXPECT_EQ(block.variables[c], cases[t].codeByColumnName.at(names[c])) << block.name << " " << names[c];

        // The first data row starts right below the header rows.
        const auto lines = linesOf(file);
        const std::string first = lines.at(static_cast<std::size_t>(block.rowsBefore));
        EXPECT_TRUE(first.rfind("2015,01,01", 0) == 0 || first.rfind("2023 335", 0) == 0) << first;
    }
}

TEST(RecentFilesList, KeepsTheNewestTenOnceEachAcrossSessions)
{
    TempFolder dir;
    const AppFolder folder(dir.path());
    EXPECT_TRUE(RecentFiles::load(folder).paths().empty());
    RecentFiles recent;
    for (int k = 1; k <= 12; ++k)
        recent.opened("/d/" + std::to_string(k) + ".txt");
    recent.opened("/d/5.txt");
    recent.save(folder);
    EXPECT_EQ(RecentFiles::load(folder).paths(),
              (std::vector<std::string>{"/d/5.txt", "/d/12.txt", "/d/11.txt", "/d/10.txt", "/d/9.txt", "/d/8.txt",
                                        "/d/7.txt", "/d/6.txt", "/d/4.txt", "/d/3.txt"}));
    // The newest file whose folder is gone gives way to the next one.
    EXPECT_EQ(recent.startFolder("/home/u/"), "/home/u/");
    recent.opened((dir.path() / "x.txt").string());
    EXPECT_EQ(recent.startFolder("/home/u/"), dir.path().string() + "/");
}
