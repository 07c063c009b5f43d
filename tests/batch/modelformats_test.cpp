// The crop models' own weather files written from one real station: each
// compared byte for byte with its golden file, read back by a reader
// written from the model's reading rules, and laid out as the model's own
// published file is.

#include "runbatch.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pluvora {
namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

Result runPluvoraBatch(const test::TempFolder& temp, const std::vector<std::string>& args)
{
    const fs::path out = temp.path() / "stdout.txt";
    const fs::path err = temp.path() / "stderr.txt";
    const std::string command = test::batchCommand(args) + " >" + test::shellQuoted(out.string()) + " 2>" +
                                test::shellQuoted(err.string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readFile(out), test::readFile(err)};
}

const fs::path kGolden = fs::path(PLUVORA_BATCH_GOLDEN) / "modelformats";
const fs::path kReferences = fs::path(PLUVORA_TEST_DATA) / "formats";
const std::string kStation = (fs::path(PLUVORA_SAMPLE_DATA) / "knmi_debilt_260_1993-1994_daily.txt").string();

// De Bilt 1993-1994 with solar, temperatures, humidity, rain and wind (FG,
// daily mean in 0.1 m/s).
std::vector<std::string> stationArgs(const std::string& format)
{
    return {"--task", "1", "--rows", "49", "--fields", "comma", "--pick", "2,21,15,13,36,23,5", "--columns",
            "Date:YYYYMMDD,Solar:J/cm2,T-max:0.1 oC,T-min:0.1 oC,RelHum,Precip:0.1 mm,WndSpd:0.1 m/s",
            "--trace", "-1", "--site", "52.1 N 5.18 E 2", "--format", format};
}

// The model file of the station in `temp`, named `name`.
fs::path writeStation(const test::TempFolder& temp, const std::string& format, const std::string& name,
                      std::vector<std::string> extra = {})
{
    auto args = stationArgs(format);
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(kStation);
    args.push_back("-o");
    args.push_back((temp.path() / name).string());
    const Result r = runPluvoraBatch(temp, args);
    EXPECT_EQ(r.status, 0) << r.err;
    return temp.path() / name;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> tokensOf(const std::string& line)
{
    std::vector<std::string> tokens;
    std::istringstream in(line);
    for (std::string token; in >> token;)
        tokens.push_back(token);
    return tokens;
}

bool isNumber(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

// The ends of the blank-separated tokens of a line: a fixed layout's field
// ends.
std::vector<std::size_t> tokenEnds(const std::string& line)
{
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] != ' ' && (i + 1 == line.size() || line[i + 1] == ' '))
            ends.push_back(i + 1);
    return ends;
}

struct GoldenCase {
    const char* name;
    const char* format;
    std::vector<std::string> files; // written, then compared with the golden of the same name
    std::vector<std::string> extra;
};

// Named in test logs by its case name, not its bytes.
void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

class ModelFormatGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ModelFormatGolden, StationWrittenAsTheGoldenFile)
{
    const GoldenCase& c = GetParam();
    test::TempFolder temp;
    writeStation(temp, c.format, c.files.front(), c.extra);
    for (const auto& name : c.files) {
        const fs::path written = c.files.size() > 1 ? temp.path() / (fs::path(c.files.front()).stem().string()
                                                                     + fs::path(name).extension().string())
                                                    : temp.path() / name;
        EXPECT_EQ(test::readFile(written), test::readFile(kGolden / name)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ModelFormatGolden,
    ::testing::Values(GoldenCase{"Dssat", "dssat", {"DEBI9301.WTH"}, {}},
                      GoldenCase{"DssatSevenDigitDates", "dssat", {"DEBI9301_7.WTH"}, {"--dssat-dates", "7"}},
                      GoldenCase{"Apsim", "apsim", {"debilt.met"}, {}},
                      GoldenCase{"PcseCsv", "pcse-csv", {"debilt.csv"}, {}},
                      GoldenCase{"Cabo", "cabo", {"DEB.993", "DEB.994"}, {}},
                      GoldenCase{"AquaCrop", "aquacrop", {"DeBilt.CLI", "DeBilt.Tnx", "DeBilt.ETo", "DeBilt.PLU"}, {}},
                      GoldenCase{"Stics", "stics", {"debilt_climat.txt"}, {}}),
    [](const auto& param) { return std::string(param.param.name); });

// DSSAT reads each value from the characters under its name: from the end
// of the name before it to the end of its own.
struct Span {
    std::size_t begin;
    std::size_t end;
};

std::map<std::string, Span> spansUnder(const std::string& header)
{
    std::map<std::string, Span> spans;
    std::size_t previousEnd = 0;
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (header[i] == ' ' || header[i] == '@')
            continue;
        std::size_t end = i;
        while (end < header.size() && header[end] != ' ')
            ++end;
        spans[header.substr(i, end - i)] = {previousEnd, end};
        previousEnd = end;
        i = end;
    }
    return spans;
}

double valueUnder(const std::string& line, Span span)
{
    const std::string text = line.substr(span.begin, span.end - span.begin);
    const auto tokens = tokensOf(text);
    EXPECT_EQ(tokens.size(), 1u) << "'" << text << "' in " << line;
    EXPECT_TRUE(!tokens.empty() && isNumber(tokens[0])) << line;
    return tokens.empty() ? 0 : std::strtod(tokens[0].c_str(), nullptr);
}

TEST(ModelFormatReaders, DssatValuesUnderTheirNamesAsInDssatsOwnFiles)
{
    test::TempFolder temp;
    for (const auto& [digits, referenceFile] :
         {std::pair{"5", "dssat_UFGA8201.WTH"}, std::pair{"7", "dssat_UFGA2101.WTH"}}) {
        const auto ours = linesOf(test::readFile(writeStation(temp, "dssat", "x.WTH", {"--dssat-dates", digits})));
        const auto theirs = linesOf(test::readFile(kReferences / referenceFile));
        ASSERT_GT(ours.size(), 5u);
        EXPECT_EQ(ours[0].substr(0, 15), theirs[0].substr(0, 15)); // the title
        EXPECT_EQ(ours[1], "");
        EXPECT_EQ(ours[2], theirs[2]);
        // The station line: every value inside its span, in both files.
        const auto station = spansUnder(ours[2]);
        for (const auto& [name, span] : station)
            if (name != "INSI") {
                valueUnder(ours[3], span);
                valueUnder(theirs[3], span);
            }
        EXPECT_GT(valueUnder(ours[3], station.at("TAV")), 0) << "TAV <= 0 is replaced by DSSAT's default";
        EXPECT_GT(valueUnder(ours[3], station.at("AMP")), 0);
        EXPECT_EQ(ours[3].substr(2, 4), "KNMI");
        // The daily header: the reference's names at the same places.
        const auto daily = spansUnder(ours[4]);
        const auto reference = spansUnder(theirs[4]);
        for (const char* name : {"DATE", "SRAD", "TMAX", "TMIN", "RAIN"}) {
            EXPECT_EQ(daily.at(name).end, reference.at(name).end) << name;
            EXPECT_EQ(ours[5].size() >= daily.at(name).end, theirs[5].size() >= reference.at(name).end);
        }
        const std::size_t width = std::string(digits) == "7" ? 7 : 5;
        for (std::size_t k = 5; k < ours.size(); ++k) {
            ASSERT_EQ(ours[k].size(), width + 6 * (daily.size() - 1)) << ours[k];
            for (const auto& [name, span] : daily)
                valueUnder(ours[k], span);
            const double tmax = valueUnder(ours[k], daily.at("TMAX"));
            const double tmin = valueUnder(ours[k], daily.at("TMIN"));
            EXPECT_GE(tmax, tmin) << ours[k];
        }
        EXPECT_EQ(ours.size(), 5u + 730u);
        EXPECT_EQ(ours[5].substr(0, width), width == 7 ? "1993001" : "93001");
        EXPECT_EQ(ours.back().substr(0, width), width == 7 ? "1994365" : "94365");
    }
}

TEST(ModelFormatReaders, ApsimHeadingUnitsAndConstantsAsInApsimsOwnFile)
{
    test::TempFolder temp;
    const auto ours = linesOf(test::readFile(writeStation(temp, "apsim", "x.met")));
    const auto theirs = linesOf(test::readFile(kReferences / "apsim_KE_Kitui_1985-01-02.met"));
    // Constants: `name = value (unit) ! comment`, a number before the unit.
    std::map<std::string, std::string> constants;
    std::size_t names = 0;
    for (std::size_t k = 1; k < ours.size() && names == 0; ++k) {
        const auto eq = ours[k].find(" = ");
        if (eq == std::string::npos) {
            names = k;
            break;
        }
        constants[ours[k].substr(0, eq)] = tokensOf(ours[k].substr(eq + 3)).at(0);
    }
    EXPECT_EQ(ours[0], theirs[0]);
    for (const char* key : {"latitude", "longitude", "tav", "amp"})
        EXPECT_TRUE(isNumber(constants[key])) << key << " = " << constants[key];
    EXPECT_EQ(constants["latitude"], "52.1");
    EXPECT_EQ(constants["longitude"], "5.18");
    for (std::size_t k = 3; k <= 4; ++k) {
        // "tav = 23.08 (oC) ! ...": the same shape up to the comment.
        EXPECT_EQ(ours[k].substr(0, 6), theirs[k].substr(0, 6));
        EXPECT_EQ(ours[k].substr(11, 8), theirs[k].substr(11, 8));
    }
    // Names and units: the reference's own for each name both have.
    const auto ourNames = tokensOf(ours[names]);
    const auto ourUnits = tokensOf(ours[names + 1]);
    const auto theirNames = tokensOf(theirs[6]);
    const auto theirUnits = tokensOf(theirs[7]);
    ASSERT_EQ(ourNames.size(), ourUnits.size());
    EXPECT_EQ((std::vector<std::string>(ourNames.begin(), ourNames.begin() + 6)),
              (std::vector<std::string>{"year", "day", "radn", "maxt", "mint", "rain"}));
    for (std::size_t i = 0; i < ourNames.size(); ++i)
        for (std::size_t j = 0; j < theirNames.size(); ++j)
            if (ourNames[i] == theirNames[j]) {
                EXPECT_EQ(ourUnits[i], theirUnits[j]) << ourNames[i];
            }
    // Rows: a number under every name, days one after the other.
    EXPECT_EQ(ours.size(), names + 2 + 730);
    for (std::size_t k = names + 2; k < ours.size(); ++k) {
        const auto row = tokensOf(ours[k]);
        ASSERT_EQ(row.size(), ourNames.size()) << ours[k];
        for (const auto& value : row)
            EXPECT_TRUE(isNumber(value)) << ours[k];
    }
    // Field ends of the columns the reference has, as the reference has them.
    const auto ourEnds = tokenEnds(ours[names + 2]);
    const auto theirEnds = tokenEnds(theirs[8]);
    EXPECT_EQ((std::vector<std::size_t>(ourEnds.begin(), ourEnds.begin() + 6)),
              (std::vector<std::size_t>(theirEnds.begin(), theirEnds.begin() + 6)));
}

// PCSE's site block: `Key = literal` pairs, strings quoted, and its
// Angstrom check.
std::map<std::string, std::string> pcseSite(const std::vector<std::string>& lines)
{
    std::map<std::string, std::string> site;
    for (std::size_t k = 1; k < lines.size() && lines[k].rfind("##", 0) != 0; ++k) {
        std::istringstream pairs(lines[k]);
        for (std::string pair; std::getline(pairs, pair, ';');) {
            const auto eq = pair.find('=');
            EXPECT_NE(eq, std::string::npos) << pair;
            const auto key = tokensOf(pair.substr(0, eq));
            std::string value = pair.substr(eq + 1);
            value = value.substr(value.find_first_not_of(' '));
            site[key.at(0)] = value;
        }
    }
    return site;
}

TEST(ModelFormatReaders, PcseKeyBlockAndAngstromPairAsPcseReadsThem)
{
    test::TempFolder temp;
    const auto ours = linesOf(test::readFile(writeStation(temp, "pcse-csv", "x.csv")));
    const auto theirs = linesOf(test::readFile(kReferences / "pcse_nl1.csv"));
    const auto site = pcseSite(ours);
    const auto reference = pcseSite(theirs);
    ASSERT_EQ(site.size(), reference.size());
    for (const auto& [key, value] : reference) {
        ASSERT_TRUE(site.count(key)) << key;
        const bool text = value.front() == '\'';
        EXPECT_EQ(site.at(key).front() == '\'' && site.at(key).back() == '\'', text) << key;
        if (!text && key != "HasSunshine") {
            EXPECT_TRUE(isNumber(site.at(key))) << key;
        }
    }
    EXPECT_EQ(site.at("HasSunshine"), "False");
    const double a = std::stod(site.at("AngstromA"));
    const double b = std::stod(site.at("AngstromB"));
    EXPECT_TRUE(a >= 0.1 && a <= 0.4 && b >= 0.3 && b <= 0.7 && a + b >= 0.6 && a + b <= 0.9);
    const std::size_t block = 7;
    EXPECT_EQ(ours[0], theirs[0]);
    EXPECT_EQ(ours[block], theirs[block]);
    EXPECT_EQ(ours[block + 1], theirs[block + 1]);
    EXPECT_EQ(ours.size(), block + 2 + 730);
    for (std::size_t k = block + 2; k < ours.size(); ++k) {
        std::vector<std::string> fields;
        std::istringstream row(ours[k]);
        for (std::string field; std::getline(row, field, ',');)
            fields.push_back(field);
        ASSERT_EQ(fields.size(), 8u) << ours[k];
        EXPECT_EQ(fields[0].size(), 8u);
        for (std::size_t f = 0; f < 7; ++f)
            EXPECT_TRUE(isNumber(fields[f])) << ours[k];
        EXPECT_EQ(fields[7], "NaN");
    }
}

TEST(ModelFormatReaders, CaboYearlyFilesAndStationLineAsPcsesTestFile)
{
    test::TempFolder temp;
    writeStation(temp, "cabo", "DEB");
    const auto theirs = linesOf(test::readFile(kReferences / "cabo_pcse_NL1.990"));
    auto firstData = [](const std::vector<std::string>& lines) {
        std::size_t k = 0;
        while (k < lines.size() && lines[k].front() == '*')
            ++k;
        return k;
    };
    const std::size_t theirStation = firstData(theirs);
    for (const int year : {1993, 1994}) {
        const fs::path file = temp.path() / ("DEB." + std::to_string(year % 1000));
        ASSERT_TRUE(fs::exists(file)) << file;
        const auto ours = linesOf(test::readFile(file));
        const std::size_t station = firstData(ours);
        ASSERT_LT(station, ours.size());
        const auto numbers = tokensOf(ours[station]);
        ASSERT_EQ(numbers.size(), 5u);
        for (const auto& n : numbers)
            EXPECT_TRUE(isNumber(n)) << ours[station];
        // Measured radiation: both Angstrom values negative, inside the
        // ranges the reader accepts.
        const double a = std::stod(numbers[3]);
        const double b = std::stod(numbers[4]);
        EXPECT_TRUE(a < 0 && b < 0 && -a >= 0.1 && -a <= 0.4 && -b >= 0.3 && -b <= 0.7) << ours[station];
        EXPECT_EQ(tokenEnds(ours[station]), tokenEnds(theirs[theirStation]));
        EXPECT_NE(std::find(ours.begin(), ours.end(), "** WCCYEARNR=" + std::to_string(year)), ours.end());
        // The column list as in the reference.
        const auto column = std::find(theirs.begin(), theirs.end(), "* Column  Daily value");
        const auto ourColumn = std::find(ours.begin(), ours.end(), "* Column  Daily value");
        ASSERT_NE(ourColumn, ours.end());
        EXPECT_TRUE(std::equal(column, column + 10, ourColumn));
        int day = 0;
        for (std::size_t k = station + 1; k < ours.size(); ++k) {
            const auto row = tokensOf(ours[k]);
            ASSERT_EQ(row.size(), 9u) << ours[k];
            EXPECT_EQ(std::stoi(row[1]), year);
            EXPECT_EQ(std::stoi(row[2]), ++day);
            EXPECT_EQ(tokenEnds(ours[k]), tokenEnds(theirs[theirStation + 2])) << ours[k];
        }
        EXPECT_EQ(day, 365);
    }
}

TEST(ModelFormatReaders, AquaCropHeadersGiveTheFirstDayAndTheClimateFileNamesTheOthers)
{
    test::TempFolder temp;
    writeStation(temp, "aquacrop", "DeBilt.CLI");
    const auto climate = linesOf(test::readFile(temp.path() / "DeBilt.CLI"));
    const auto theirClimate = linesOf(test::readFile(kReferences / "aquacrop_Ottawa.CLI"));
    ASSERT_EQ(climate.size(), theirClimate.size());
    EXPECT_EQ(climate[1], theirClimate[1]);
    EXPECT_EQ(climate[5], theirClimate[5]); // AquaCrop's own CO2 file
    // Temperature, ETo and rain, in that order, each beside the .CLI.
    const char* extensions[] = {".Tnx", ".ETo", ".PLU"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(fs::path(climate[2 + k]).extension(), extensions[k]);
        EXPECT_EQ(fs::path(theirClimate[2 + k]).extension(), extensions[k]);
        const auto ours = linesOf(test::readFile(temp.path() / climate[2 + k]));
        const auto theirs = linesOf(test::readFile(kReferences / ("aquacrop_Ottawa" + std::string(extensions[k]))));
        ASSERT_EQ(ours.size(), 8u + 730u);
        // Lines 2 to 5: a number right-aligned in 6 characters, then the
        // reference's own words; the first day is 1 January 1993.
        for (std::size_t line = 1; line <= 4; ++line) {
            EXPECT_EQ(ours[line].substr(6), theirs[line].substr(6));
            EXPECT_TRUE(isNumber(tokensOf(ours[line].substr(0, 6)).at(0)));
        }
        EXPECT_EQ(tokensOf(ours[2])[0] + "/" + tokensOf(ours[3])[0] + "/" + tokensOf(ours[4])[0], "1/1/1993");
        EXPECT_EQ(ours[5], "");
        EXPECT_EQ(ours[6], theirs[6]);
        EXPECT_EQ(ours[7], theirs[7]);
        // No dates: one value line per day, Tmin and Tmax split by a tab.
        for (std::size_t line = 8; line < ours.size(); ++line) {
            const std::string& row = ours[line];
            if (k == 0) {
                const auto tab = row.find('\t');
                ASSERT_NE(tab, std::string::npos) << row;
                EXPECT_LE(std::stod(row.substr(0, tab)), std::stod(row.substr(tab + 1))) << row;
                EXPECT_TRUE(isNumber(row.substr(tab + 1))) << row;
            } else {
                EXPECT_TRUE(isNumber(row)) << row;
                EXPECT_GE(std::stod(row), 0) << row;
            }
        }
    }
}

// Fields 6 to 13: numbers of one decimal, as STICS's own file writes them.
bool oneDecimal(const std::string& text)
{
    const auto point = text.find('.');
    return isNumber(text) && point != std::string::npos && point + 2 == text.size();
}

TEST(ModelFormatReaders, SticsLinesHoldTheThirteenFieldsOfSticsOwnFile)
{
    test::TempFolder temp;
    const auto ours = linesOf(test::readFile(writeStation(temp, "stics", "climat.txt")));
    const auto theirs = linesOf(test::readFile(kReferences / "stics_climat_auzeville_2005-2006.txt"));
    ASSERT_EQ(ours.size(), 730u);
    for (const auto* lines : {&ours, &theirs}) {
        for (const std::string& line : *lines) {
            ASSERT_EQ(line.back(), ' ') << line; // the trailing blank
            const auto fields = tokensOf(line);
            ASSERT_EQ(fields.size(), 13u) << line;
            EXPECT_EQ(line.find("  "), std::string::npos) << line;
            for (std::size_t f = 1; f <= 4; ++f)
                EXPECT_EQ(fields[f].find('.'), std::string::npos) << line;
            for (std::size_t f = 5; f < 13; ++f)
                EXPECT_TRUE(oneDecimal(fields[f])) << line;
            EXPECT_LE(std::stod(fields[5]), std::stod(fields[6])) << line; // Tmin first
        }
    }
    const auto first = tokensOf(ours.front());
    EXPECT_EQ((std::vector<std::string>(first.begin() + 1, first.begin() + 5)),
              (std::vector<std::string>{"1993", "1", "1", "1"}));
    EXPECT_EQ(first.back(), tokensOf(theirs.front()).back()); // the CO2
}

TEST(ModelFormatBatch, OutDirNamesEachFormatsFilesAndTheSummaryKeepsTheFormat)
{
    test::TempFolder temp;
    const fs::path input = temp.path() / "debilt.txt";
    fs::copy_file(kStation, input);
    for (const auto& [format, files] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"dssat", {"debilt.WTH"}}, {"apsim", {"debilt.met"}}, {"pcse-csv", {"debilt.csv"}},
             {"cabo", {"debilt.993", "debilt.994"}},
             {"aquacrop", {"debilt.CLI", "debilt.Tnx", "debilt.ETo", "debilt.PLU"}},
             {"stics", {"debilt.txt"}}}) {
        const fs::path dir = temp.path() / format;
        auto args = stationArgs(format);
        args.insert(args.end(), {input.string(), "--out-dir", dir.string(), "--quiet"});
        const Result r = runPluvoraBatch(temp, args);
        EXPECT_EQ(r.status, 0) << r.err;
        for (const auto& name : files)
            EXPECT_TRUE(fs::exists(dir / name)) << format << ": " << name;
        const auto summary = linesOf(test::readFile(dir / "summary.csv"));
        ASSERT_EQ(summary.size(), 2u);
        EXPECT_EQ(summary[0].substr(summary[0].rfind(',')), ",format");
        EXPECT_EQ(summary[1].substr(summary[1].rfind(',') + 1), format);
    }
}

TEST(ModelFormatBatch, RefusedDayLeavesTheOldFileAndSaysWhy)
{
    test::TempFolder temp;
    // 2002-01-01 is missing: the checkup lets a gap at the new year pass,
    // the models do not.
    const auto input = temp.write("in.txt", "h\n2001 364 10 20 10 0 70 2\n2001 365 10 20 10 0 70 2\n"
                                            "2002 2 10 20 10 0 70 2\n");
    const auto old = temp.write("old.met", "kept\n");
    const Result r = runPluvoraBatch(
        temp, {"--task", "1", "--rows", "1", "--columns", "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm,RelHum,WndSpd:m/s",
               "--site", "1 N 1 W 1", "--format", "apsim", input.string(), "-o", old.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("error: The APSIM file is not written: 2002-01-02: the day before it is missing.\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(test::readFile(old), "kept\n");
}

TEST(ModelFormatBatch, FormatOptionsRefusedWhereTheyCannotApply)
{
    test::TempFolder temp;
    const auto input = temp.write("in.txt", "h\n2001 1 10 20 10 0\n");
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"--rows", "1", "--columns", "Year,DOY,Solar:MJ/m2/d,T-max:oC,T-min:oC,Precip:mm",
                                      "--site", "1 N 1 W 1", input.string()};
        args.insert(args.begin(), extra.begin(), extra.end());
        return runPluvoraBatch(temp, args);
    };
    EXPECT_EQ(run({"--task", "1", "--format", "wofost"}).status, 2);
    EXPECT_EQ(run({"--task", "3", "--format", "dssat"}).status, 2);
    EXPECT_EQ(run({"--task", "1", "--format", "cabo"}).status, 2);
    EXPECT_EQ(run({"--task", "1", "--format", "dssat", "--dssat-dates", "6"}).status, 2);
    const Result wth = run({"--task", "1"});
    EXPECT_EQ(run({"--task", "1", "--format", "wth"}).out, wth.out);
}

} // namespace
} // namespace pluvora
