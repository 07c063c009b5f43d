#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/io/textreader.h"
#include "engine/table/inputtable.h"
#include "engine/table/paneltext.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pluvora;
using namespace pluvora::test;

namespace {

struct InputTable : ::testing::Test {
    TempFolder dir;
    AppFolder folder{dir.path()};
    RecordingFeedback ui;
    RunContext run{folder, ui};

    void input(std::string_view content) { dir.write("Input.~", content); }
    std::string result() { return dir.read("Input.~"); }
};

} // namespace

TEST(TheLastColumn, IsTheLastColumnWithAVariable)
{
    std::array<int, 12> boxes;
    boxes.fill(-1);
    EXPECT_EQ(theLastColumn(boxes), 0);
    boxes[0] = 1;
    boxes[1] = 4;
    boxes[2] = 0;
    boxes[3] = 0;
    boxes[4] = 6;
    EXPECT_EQ(theLastColumn(boxes), 5);
    boxes.fill(0);
    EXPECT_EQ(theLastColumn(boxes), 0);
    boxes[11] = 8;
    EXPECT_EQ(theLastColumn(boxes), 12);
}

TEST_F(InputTable, EndNotesCountCharactersNotBytes)
{
    // Four characters, six bytes: still an end note.
    input("1\xC2\xB0" "2\xC2\xB0\r\n");
    removeEndNotes(run);
    EXPECT_EQ(result(), "");
}

TEST_F(InputTable, HeaderShorterThanRowsBeforeStopsAtTheEndOfTheFile)
{
    // A row count far past the end once padded every working file with
    // empty rows until the disk was full.
    run.rowsBefore = 999999999;
    input("only header\r\n");
    removeEndNotes(run);
    EXPECT_EQ(result(), "only header\r\n");
}

TEST_F(InputTable, CleaningTurnsOtherCharactersIntoBlanks)
{
    run.rowsBefore = 1;
    input("Date, T (\xC2\xB0" "C)\r\n2010/05/21  25.3  12.1M\r\n1.5,2.5,3.5\r\n+4 1.5e3\r\n");
    checkData(run);
    EXPECT_EQ(result(), "Date, T (\xC2\xB0" "C)\r\n2010 05 21  25.3  12.1  \r\n1.5 2.5 3.5 \r\n 4 1.5 3 \r\n");
}

namespace {

// Every number of the working input, read as the stages read it.
std::vector<double> numbersIn(const std::filesystem::path& path, int rowsBefore)
{
    TextReader reader(path);
    for (int i = 0; i < rowsBefore; ++i)
        reader.skipLine();
    std::vector<double> numbers;
    while (auto value = reader.nextNumber())
        numbers.push_back(*value);
    return numbers;
}

struct CleanCase {
    const char* name;
    std::string row;
    std::string cleaned;
    std::vector<double> numbers;
};

struct Cleaning : InputTable, ::testing::WithParamInterface<CleanCase> {};

} // namespace

// Each character outside the number alphabet becomes one blank, the line end
// one more, and what is left reads as plain numbers.
TEST_P(Cleaning, LeavesNumbersTheReaderTakes)
{
    const CleanCase& c = GetParam();
    run.rowsBefore = 1;
    input("Station\r\n" + c.row + "\r\n");
    checkData(run);
    EXPECT_EQ(result(), "Station\r\n" + c.cleaned + "\r\n");
    EXPECT_EQ(numbersIn(dir.path() / "Input.~", 1), c.numbers);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Cleaning,
    ::testing::Values(
        CleanCase{"DateWithSlashesAndAFlag", "2010/05/21  25.3  12.1M", "2010 05 21  25.3  12.1  ",
                  {2010, 5, 21, 25.3, 12.1}},
        CleanCase{"Commas", "1.5,2.5,3.5", "1.5 2.5 3.5 ", {1.5, 2.5, 3.5}},
        CleanCase{"ExponentSplits", "1.5e3 7", "1.5 3 7 ", {1.5, 3, 7}},
        CleanCase{"PlusSign", "+4 -2 9", " 4 -2 9 ", {4, -2, 9}},
        CleanCase{"QuotesAndTime", "\"12\",12:30", " 12  12 30 ", {12, 12, 30}},
        CleanCase{"TwoByteCharacterIsOneBlank", "12\xC2\xB0" "5 7", "12 5 7 ", {12, 5, 7}},
        CleanCase{"ThreeByteCharacterIsOneBlank", "1\xE2\x82\xAC" "2 3", "1 2 3 ", {1, 2, 3}},
        // A stray byte must not vanish and join the numbers beside it.
        CleanCase{"StrayByteIsABlankOfItsOwn", "25\xB0" "12 3", "25 12 3 ", {25, 12, 3}},
        CleanCase{"CutSequenceIsBlanks", "1 2 3\xE2\x82", "1 2 3   ", {1, 2, 3}},
        CleanCase{"ControlCharacter", "1\x01" "2 3\x0C", "1 2 3  ", {1, 2, 3}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(InputTable, HeaderRowsWithLettersNeverCauseCleaning)
{
    run.rowsBefore = 2;
    const std::string text = "Station: Ames, IA; T (\xC2\xB0" "C)\r\nYear/Day,Tmax\r\n"
                             "2001\t1\t-2.5 \r\n2001  2 .5\r\n";
    input(text);
    checkData(run);
    EXPECT_EQ(result(), text);
    EXPECT_EQ(numbersIn(dir.path() / "Input.~", 2), (std::vector<double>{2001, 1, -2.5, 2001, 2, 0.5}));
}

namespace {

struct EndNoteCase {
    const char* name;
    int rowsBefore;
    std::string content;
    std::string kept;
};

struct EndNotes : InputTable, ::testing::WithParamInterface<EndNoteCase> {};

} // namespace

TEST_P(EndNotes, CutAfterTheLastDataRow)
{
    const EndNoteCase& c = GetParam();
    run.rowsBefore = c.rowsBefore;
    input(c.content);
    removeEndNotes(run);
    EXPECT_EQ(result(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EndNotes,
    ::testing::Values(
        EndNoteCase{"BlankLineInTheMiddle", 0, "2001 1 5\r\n\r\n2001 3 7\r\n", "2001 1 5\r\n"},
        EndNoteCase{"FourCharacterRow", 1, "h\r\n2001 1 5\r\n12 5\r\n2001 3 7\r\n", "h\r\n2001 1 5\r\n"},
        EndNoteCase{"FiveBlanksAreARow", 0, "2001 1 5\r\n     \r\n2001 3 7\r\n",
                    "2001 1 5\r\n     \r\n2001 3 7\r\n"},
        EndNoteCase{"TabIsOneCharacter", 0, "1\t2\t3\r\n1\t2\t\r\n9 9 9\r\n", "1\t2\t3\r\n"},
        EndNoteCase{"ShortHeaderRowsAreNotNotes", 2, "h\r\n\r\n2001 1 5\r\n", "h\r\n\r\n2001 1 5\r\n"},
        EndNoteCase{"NotesFromTheFirstDataRow", 1, "Year DOY\r\nn/a\r\n2001 1 5\r\n", "Year DOY\r\n"},
        EndNoteCase{"LastRowWithoutABreak", 0, "2001 1 5\r\n2001 2 6", "2001 1 5\r\n2001 2 6\r\n"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(InputTable, CleaningTicksTheGaugeOncePerDataRow)
{
    run.rowsBefore = 1;
    input("head\r\na1\r\nb2\r\nc3\r\n");
    CleanData(run);
    EXPECT_EQ(ui.ticks, 3);
}

TEST_F(InputTable, OnlyTheMenuPassShowsTheGaugeItself)
{
    struct Watch : RecordingFeedback {
        std::vector<bool> shown;
        void setProgressVisible(bool visible) override { shown.push_back(visible); }
    } watch;
    RunContext menu{folder, watch};
    input("a1\r\n");
    CleanData(menu);
    EXPECT_EQ(watch.shown, std::vector<bool>{});
    menu.cleanFromMenu = true;
    CleanData(menu);
    EXPECT_EQ(watch.shown, (std::vector<bool>{true, false}));
}

TEST(CharacterCount, CountsCharactersOfUtf8Text)
{
    EXPECT_EQ(characterCount(""), 0u);
    EXPECT_EQ(characterCount("1\t2 3"), 5u);
    EXPECT_EQ(characterCount("12\xC2\xB0"), 3u);
    EXPECT_EQ(characterCount("\xF0\x9F\x8C\xA7" "12"), 3u);
    EXPECT_EQ(characterCount("\xB0\xB0\xB0\xB0"), 4u); // stray bytes count one each
    EXPECT_EQ(characterCount("12\xE2\x82"), 4u);
}

TEST(PanelText, RemoveExtraRowsKeepsTheFirstHeaderLine)
{
    std::string text = "h1\nh2\nh3\nh4\nYear\tDOY\n1\t2";
    removeExtraRows(text, 4);
    EXPECT_EQ(text, "h1\nYear\tDOY\n1\t2");

    std::string one = "h1\nrest";
    removeExtraRows(one, 1);
    EXPECT_EQ(one, "h1\nrest");
    removeExtraRows(one, 0);
    EXPECT_EQ(one, "h1\nrest");

    std::string shortText = "h1\nh2";
    removeExtraRows(shortText, 5);
    EXPECT_EQ(shortText, "h1");
}

TEST(PanelText, InsertLine)
{
    std::string text = "a\nb\nc";
    insertLine(text, 1, "x");
    EXPECT_EQ(text, "a\nx\nb\nc");
    insertLine(text, 10, "z");
    EXPECT_EQ(text, "a\nx\nb\nc\nz");
    std::string empty;
    insertLine(empty, 1, "only");
    EXPECT_EQ(empty, "only");
}

TEST(PanelText, LoadsUtf8AndLatin1AndRefusesBinary)
{
    TempFolder dir;
    EXPECT_EQ(loadTextFile(dir.write("u.txt", "T \xC2\xB0" "C\r\n1 2\r\n")), "T \xC2\xB0" "C\n1 2");
    EXPECT_EQ(loadTextFile(dir.write("l.txt", "T \xB0" "C\n1 2\n")), "T \xC2\xB0" "C\n1 2");
    EXPECT_EQ(loadTextFile(dir.write("bom.txt", "\xEF\xBB\xBFx\ry")), "x\ny");
    try {
        loadTextFile(dir.write("b.bin", std::string("ab\0cd", 5)));
        FAIL() << "binary file accepted";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), kNotATextFile);
    }
    EXPECT_THROW(loadTextFile(dir.path() / "missing.txt"), Error);
}

// The ASCII runs go eight bytes a step: a byte that decides the reading is
// found wherever it falls against those steps.
TEST(PanelText, AByteThatDecidesTheReadingCountsAtAnyOffset)
{
    TempFolder dir;
    const std::string ascii(20, 'a');
    for (std::size_t at = 0; at <= ascii.size(); ++at) {
        SCOPED_TRACE(at);
        const std::string before = ascii.substr(0, at);
        const std::string after = ascii.substr(at);
        EXPECT_EQ(loadTextFile(dir.write("u.txt", before + "\xC2\xB0" + after)), before + "\xC2\xB0" + after);
        EXPECT_EQ(loadTextFile(dir.write("l.txt", before + "\xB0" + after)), before + "\xC2\xB0" + after);
        EXPECT_EQ(loadTextFile(dir.write("c.txt", before + "\xC2" + after)), before + "\xC3\x82" + after);
        EXPECT_EQ(loadTextFile(dir.write("r.txt", before + "\r\n" + after + "\r")), before + "\n" + after);
    }
}

TEST(PanelText, SaveEndsEveryLineWithCrLf)
{
    TempFolder dir;
    savePanelText(dir.path() / "p.txt", "a\n\nb");
    EXPECT_EQ(dir.read("p.txt"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(loadPanelText(dir.path() / "p.txt"), "a\n\nb");
}

TEST(PanelText, LatinOneSampleFileOpens)
{
    const std::string text =
        loadTextFile(std::filesystem::path(PLUVORA_SAMPLE_DATA) / "eccc_marieville_2014_daily.csv");
    EXPECT_NE(text.find("\xC2\xB0"), std::string::npos);
}

TEST(PanelText, AFolderIsNotAFileToLoad)
{
    TempFolder dir;
    EXPECT_THROW(loadTextFile(dir.path()), Error);
    EXPECT_THROW(loadPanelText(dir.path()), Error);
}
