#include "appfolder/appfolder.h"
#include "error.h"
#include "recordingfeedback.h"
#include "table/inputtable.h"
#include "table/paneltext.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

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

TEST_F(InputTable, EndNotesStartAtTheFirstShortLine)
{
    run.rowsBefore = 2;
    input("h\r\n\r\n2001 1 5\r\n2001 2 6\r\n12 5\r\n2001 3 7\r\n");
    removeEndNotes(run);
    EXPECT_EQ(result(), "h\r\n\r\n2001 1 5\r\n2001 2 6\r\n");

    input("2001 1 5\r\n\r\n2001 3 7\r\n");
    run.rowsBefore = 0;
    removeEndNotes(run);
    EXPECT_EQ(result(), "2001 1 5\r\n");
}

TEST_F(InputTable, EndNotesCountCharactersNotBytes)
{
    // Four characters, six bytes: still an end note.
    input("1\xC2\xB0" "2\xC2\xB0\r\n");
    removeEndNotes(run);
    EXPECT_EQ(result(), "");
}

TEST_F(InputTable, HeaderShorterThanRowsBeforeIsPadded)
{
    run.rowsBefore = 3;
    input("only header\r\n");
    removeEndNotes(run);
    EXPECT_EQ(result(), "only header\r\n\r\n\r\n");
}

TEST_F(InputTable, CleaningTurnsOtherCharactersIntoBlanks)
{
    run.rowsBefore = 1;
    input("Date, T (\xC2\xB0" "C)\r\n2010/05/21  25.3  12.1M\r\n1.5,2.5,3.5\r\n+4 1.5e3\r\n");
    checkData(run);
    EXPECT_EQ(result(), "Date, T (\xC2\xB0" "C)\r\n2010 05 21  25.3  12.1  \r\n1.5 2.5 3.5 \r\n 4 1.5 3 \r\n");
}

TEST_F(InputTable, CleaningTurnsAMultiByteCharacterIntoOneBlank)
{
    input("12\xC2\xB0" "5 7\r\n");
    CleanData(run);
    EXPECT_EQ(result(), "12 5 7 \r\n");
}

TEST_F(InputTable, CleanDataAreaIsLeftByteForByte)
{
    run.rowsBefore = 1;
    const std::string text = "Year Day Tmax\r\n2001\t1\t-2.5 \r\n2001  2 .5\r\n";
    input(text);
    checkData(run);
    EXPECT_EQ(result(), text);
}

TEST_F(InputTable, CleaningTicksTheGaugeOncePerLine)
{
    input("a1\r\nb2\r\nc3\r\n");
    CleanData(run);
    EXPECT_EQ(ui.ticks, 3);
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
