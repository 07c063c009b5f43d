#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/provenance/runprovenance.h"
#include "engine/run/processingrun.h"
#include "engine/table/paneltext.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pluvora;
using namespace pluvora::test;

namespace {

namespace fs = std::filesystem;

// A streamed run (pluvora-batch) takes its input straight from the file and
// may do task 1 in one pass; every result, message and report must be the
// stage chain's, byte for byte.

struct ImportCase {
    const char* name;
    std::string content;
};

class Import : public ::testing::TestWithParam<ImportCase> {};

TEST_P(Import, SavesTheFileAsThePanelWouldHoldIt)
{
    TempFolder dir;
    const auto source = dir.write("in.txt", GetParam().content);
    savePanelText(dir.path() / "panel.~", loadTextFile(source));
    saveTextFileAsPanelText(source, dir.path() / "streamed.~");
    EXPECT_EQ(dir.read("streamed.~"), dir.read("panel.~"));
}

const std::string kMegabyte(std::size_t{1} << 20, 'x');

INSTANTIATE_TEST_SUITE_P(
    Streamed, Import,
    ::testing::Values(ImportCase{"Empty", ""}, ImportCase{"OneBreak", "\n"}, ImportCase{"TwoBreaks", "\n\n"},
                      ImportCase{"NoBreak", "a"}, ImportCase{"LastBreak", "a\n"},
                      ImportCase{"EmptyLastLine", "a\n\n"}, ImportCase{"TwoEmptyLastLines", "a\n\n\n"},
                      ImportCase{"InnerEmptyLines", "a\n\n\nb"}, ImportCase{"CrLf", "a\r\nb\r\n\r\n"},
                      ImportCase{"LoneCr", "a\rb\r\r\n\r"}, ImportCase{"ByteOrderMark", "\xEF\xBB\xBF" "a\n"},
                      ImportCase{"Utf8", "caf\xC3\xA9\n1 2\n"}, ImportCase{"Latin1", "caf\xE9\n1 2\n"},
                      ImportCase{"Latin1AfterAChunk", kMegabyte + "\n\xC3\xA9\n" + kMegabyte + "\xE9\n"},
                      ImportCase{"Utf8AcrossChunks", kMegabyte.substr(1) + "\xC3\xA9\n"},
                      ImportCase{"CrLfAcrossChunks", kMegabyte.substr(1) + "\r\nb\n"},
                      ImportCase{"CutSequenceAtTheEnd", "a\n\xC3"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ImportRefusal, ANulByteIsNotText)
{
    TempFolder dir;
    const auto source = dir.write("in.txt", kMegabyte + "\n" + std::string(1, '\0'));
    try {
        saveTextFileAsPanelText(source, dir.path() / "streamed.~");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), kNotATextFile);
    }
}

TEST(DirectRead, OnlyPlainAsciiWithCrLfOrLfBreaksIsReadDirectly)
{
    const std::pair<std::string, bool> cases[] = {
        {"", true}, {"a\nb", true}, {"a\r\nb\r\n", true}, {kMegabyte.substr(1) + "\r\nb\n", true},
        {"a\rb\n", false}, {"a\r", false}, {kMegabyte.substr(1) + "\r", false}, {"\xEF\xBB\xBF" "a\n", false},
        {"caf\xC3\xA9\n", false}, {"caf\xE9\n", false}, {kMegabyte + std::string(1, '\0'), false}};
    TempFolder dir;
    for (const auto& [content, plain] : cases)
        EXPECT_EQ(readsAsItsPanelText(dir.write("in.txt", content)), plain) << content.substr(0, 20);
    EXPECT_FALSE(readsAsItsPanelText(dir.path()));
    EXPECT_FALSE(readsAsItsPanelText(dir.path() / "missing.txt"));
}

struct RunCase {
    const char* name;
    std::string data; // after the three header rows
    bool onePass;     // whether the single pass can do it with substitution
    bool onePassWithout = onePass; // and without
    int rows = 3;
    // Beyond the blank-separated rows of kColumns:
    const char* columns = nullptr;
    FieldSeparator fields = FieldSeparator::Blanks;
    bool decimalComma = false;
    std::vector<int> fieldEnds = {};
    const char* trace = "";
};

// Named in test logs by its case name, not its bytes.
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

const char* const kColumns = "Year,Month,Day,T-max:oF,T-min:oF,Precip:inch,RelHum:%,WndSpd:mile/hr,Solar:W/m2";


// The account of the days as text: the charts, the report and the flags
// file are drawn from nothing else.
std::string accountOf(const RunProvenance& p)
{
    std::string text;
    for (std::size_t d = 0; d < p.dayCount(); ++d) {
        const auto day = p.day(d);
        text += RunProvenance::isoDate(day) + " line " + std::to_string(day.inputLine) + " s"
              + std::to_string(day.substituted) + " f" + std::to_string(day.flagged) + " " + std::string(p.reason(day));
        for (std::size_t s = 0; s < p.series().size(); ++s)
            text += " " + std::to_string(p.value(s, d));
        text += "\n";
    }
    return text;
}

struct StreamedRun : ::testing::TestWithParam<std::tuple<RunCase, bool>> {
    RunRequest request(const std::string& text) const
    {
        const RunCase& c = std::get<0>(GetParam());
        RunRequest r;
        r.taskIndex = 0;
        r.fileName = "station.txt";
        r.rowsBeforeText = std::to_string(c.rows);
        r.layout = layoutFromColumns(c.columns ? c.columns : kColumns);
        r.layout.fields = c.fields;
        r.layout.decimalComma = c.decimalComma;
        r.layout.fieldEnds = c.fieldEnds;
        r.layout.traceCode = c.trace;
        r.substitutionEnabled = std::get<1>(GetParam());
        r.inputText = text;
        return r;
    }
};

TEST_P(StreamedRun, GivesTheStagesResultsAndMessages)
{
    const RunCase& c = std::get<0>(GetParam());
    const std::string file = "Station 7\nyr mo dy tx tn pr rh ws sr\nunits\n" + c.data;

    TempFolder stagesDir;
    AppFolder stagesFolder(stagesDir.path());
    RecordingFeedback stagesUi;
    const std::string panel = loadTextFile(stagesDir.write("in.txt", file));
    const RunOutcome stages = runProcessing(request(panel), stagesFolder, stagesUi);
    RunProvenance stagesAccount;
    RunRequest counted = request(panel);
    counted.provenance = &stagesAccount;
    RecordingFeedback countedUi;
    runProcessing(counted, stagesFolder, countedUi);

    TempFolder streamDir;
    AppFolder streamFolder(streamDir.path());
    RecordingFeedback streamUi;
    saveTextFileAsPanelText(streamDir.write("in.txt", file), streamFolder.file(workfile::kInput));
    RunRequest streamed = request({});
    streamed.streamed = true;
    const RunOutcome stream = runProcessing(streamed, streamFolder, streamUi);

    EXPECT_EQ(stream.completed, stages.completed);
    EXPECT_EQ(streamUi.calls, stagesUi.calls);
    if (stages.completed) {
        ASSERT_FALSE(stream.outputFile.empty());
        EXPECT_EQ(loadPanelText(stream.outputFile), stages.outputPanel.value_or("?"));
    } else {
        EXPECT_EQ(stream.outputPanel, stages.outputPanel);
    }
    // The single pass moves the gauge once a record, the stages twice; a
    // pass given up leaves the stages to do it all again.
    EXPECT_EQ(streamUi.ticks < stagesUi.ticks, std::get<1>(GetParam()) ? c.onePass : c.onePassWithout) << streamUi.ticks << " " << stagesUi.ticks;

    // The user's file read directly, as pluvora-batch does where it can:
    // the same run again.
    TempFolder directDir;
    AppFolder directFolder(directDir.path());
    RecordingFeedback directUi;
    RunRequest direct = request({});
    direct.streamed = true;
    RunProvenance directAccount;
    direct.provenance = &directAccount;
    const auto source = directDir.write("in.txt", file);
    if (readsAsItsPanelText(source))
        direct.inputFile = source;
    else
        saveTextFileAsPanelText(source, directFolder.file(workfile::kInput));
    const RunOutcome read = runProcessing(direct, directFolder, directUi);
    EXPECT_EQ(read.completed, stages.completed);
    EXPECT_EQ(directUi.calls, stagesUi.calls);
    EXPECT_EQ(accountOf(directAccount), accountOf(stagesAccount));
    EXPECT_EQ(directUi.ticks, streamUi.ticks);
    if (stages.completed) {
        ASSERT_FALSE(read.outputFile.empty());
        EXPECT_EQ(loadPanelText(read.outputFile), stages.outputPanel.value_or("?"));
    } else {
        EXPECT_EQ(read.outputPanel, stages.outputPanel);
    }
}

const char* const kRows = "1900/01/01  41.0  30.2  0.25  72.5  3.1  120.4\n"
                          "1900/01/02  43.1  31.0M 0.00  80  2.0  95.0\n";

INSTANTIATE_TEST_SUITE_P(
    Streamed, StreamedRun,
    ::testing::Combine(
        ::testing::Values(
            RunCase{"Clean", kRows, true},
            RunCase{"EndNotes", std::string(kRows) + "\nEnd of data, 2 rows\n1 2 3\n", true},
            RunCase{"CommasAndSpacesRows", "1900,1,1,41,30,0,70,3,120\n        \n1900,1,2,41,30,0,70,3,120\n", true},
            RunCase{"SignSubstituted", "1900 1 1 41 30 -99 70 3 120\n1900 1 2 41 30 -99.4 70 3 120\n", true, false},
            RunCase{"LongDecimals", "1900 1 1 41.123456 30.98765 0.004449 70.5555 3 120.00001\n", true},
            RunCase{"MarkerFirst", "-9999 1 1 41 30 0 70 3 120\n", false},
            RunCase{"MarkerInside", "1900 1 1 41 30 -9999 70 3 120\n", false},
            RunCase{"ShortRow", "1900 1 1 41 30 0 70 3\n1900 1 2 41 30 0 70 3 120\n", false},
            RunCase{"Suspicious", "1900 1 1 30 41 0 70 3 120\n", false},
            RunCase{"DateGap", "1900 1 1 41 30 0 70 3 120\n1900 1 3 41 30 0 70 3 120\n", false},
            RunCase{"NoSuchDate", "1900 2 30 41 30 0 70 3 120\n", false},
            RunCase{"BadToken", "1900 1 1 41 30 1-2 70 3 120\n", false},
            RunCase{"BadTokenPastTheColumns", "1900 1 1 41 30 0 70 3 120 1-2\n", false, true},
            RunCase{"LongToken", "1900 1 1 41 30 0.00000000000000000000000000000000000000000001 70 3 120\n", false},
            RunCase{"NoRecords", "", false},
            RunCase{"RowsPastTheEnd", kRows, false, false, 999999999},
            RunCase{"CrLfBreaks", "1900/01/01 41 30 0 70 3 120\r\n1900/01/02 41 30 0 70 3 120\r\n\r\nnote\r\n", true},
            RunCase{"NoLastBreak", "1900/01/01 41 30 0 70 3 120\n1900/01/02 41 30 0 70 3 120", true},
            RunCase{"LoneCrBreaks", "1900/01/01 41 30 0 70 3 120\r1900/01/02 41 30 0 70 3 120\r", true},
            RunCase{"LoneCrInsideARow", "1900/01/01 41 30 0 70\r3 120\n", false},
            RunCase{"Latin1Note", std::string(kRows) + "\n\xB0" "F\n", true},
            // Plain rows take a reader of their own, any other byte the
            // general one: tabs, bytes past ASCII, '+', flags, CR LF, an
            // extra value and long rows.
            RunCase{"RowLengthsAndByteKinds",
                    "1900/01/01\t41.0\xB0 30.2 +0.25 72.5 3.1 120.4\n"
                    "1900/01/02  43.1  31.0*  0.00  80  2.0  95.0\n"
                    "1900/01/03                    41.0  30.2  0.25  72.5  3.1  120.4\n"
                    "1900/01/04                     41.0  30.2  0.25  72.5  3.1  120.4\n"
                    "1900/01/05                   41.0  30.2  0.25  72.5  3.1  120.4\r\n"
                    "1900/01/06                    41.0  30.2  0.25  72.5  3.1  120.4  7\n",
                    true},
            // Fields not separated by blanks are split inside the one pass.
            RunCase{"CommaFields", "1900,1,1,41,30,0.25,72.5,3.1,120.4\n1900,1,2,43.1,31,0,80,2,95\n\nnote\n", true,
                    true, 3, kColumns, FieldSeparator::Comma},
            // Fields that are plain numbers are read straight, any other the
            // general way: blanks and tabs around them, quotes, '+', more
            // decimals, a field past the columns, a row ending in a comma.
            RunCase{"CommaPlainFieldsAndTheirEdges",
                    "1900,1,1, 41.0 ,\t30,0.25,72.5,3.1,120.4,extra\n1900,1,2,\"43.1\",31,+0,80,2,95\n"
                    "1900,1,3,43.1234,31,0,80,2,95\n1900,1,4,43,31,0,80,2,95,\n1900,1,5,-1.5,-3,0,80,2,95\n",
                    true, true, 3, kColumns, FieldSeparator::Comma},
            RunCase{"CommaEmptyField", "1900,1,1,41,30,,72.5,3.1,120.4\n1900,1,2,43.1,31, ,80,2,95\n", true, false, 3,
                    kColumns, FieldSeparator::Comma},
            RunCase{"QuotedDates",
                    "\"1900-01-01\",41,30,0.25,72.5,3.1,120.4\n\"1900-01-02T00:00\",\"43.1\",31,+0,80,2,95\n", true,
                    true, 3, "Date:YYYY-MM-DD,T-max:oF,T-min:oF,Precip:inch,RelHum:%,WndSpd:mile/hr,Solar:W/m2",
                    FieldSeparator::Comma},
            RunCase{"ImpossibleDate", "\"1900-02-30\",41,30,0.25,72.5,3.1,120.4\n", false, false, 3,
                    "Date:YYYY-MM-DD,T-max:oF,T-min:oF,Precip:inch,RelHum:%,WndSpd:mile/hr,Solar:W/m2",
                    FieldSeparator::Comma},
            RunCase{"SemicolonsAndDecimalCommas", "1900;1;1;41,5;30;0,25;72,5;3,1;120,4\n1900;1;2;43;31;0;80;2;95\n",
                    true, true, 3, kColumns, FieldSeparator::Semicolon, true},
            RunCase{"BlanksAndDecimalCommas", "1900 1 1 41,5 30 0,25 72,5 3,1 120,4\n1900 1 2 43 31 0 80 2 95 x\n",
                    true, true, 3, kColumns, FieldSeparator::Blanks, true},
            RunCase{"TextInAReadField", "1900,1,1,41,30,abc,72.5,3.1,120.4\n", false, false, 3, kColumns,
                    FieldSeparator::Comma},
            RunCase{"TraceCode", "1900,1,1,41,30,T,72.5,3.1,120.4\n1900,1,2,43.1,31,T,80,2,95\n", true, true, 3,
                    kColumns, FieldSeparator::Comma, false, {}, "T"},
            RunCase{"FixedWidthsWithABlankField", "1900  1  1 41.0 30.2  0.25 72.5 3.1 120.4\n1900  1  2 43.1 31.0         80 2.0  95.0\n", true, false, 3, kColumns,
                    FieldSeparator::Fixed, false, {4, 7, 10, 15, 20, 26, 31, 35, 41}}),
        ::testing::Bool()),
    [](const auto& param) {
        return std::string(std::get<0>(param.param).name) + (std::get<1>(param.param) ? "" : "NoSubstitution");
    });

} // namespace
