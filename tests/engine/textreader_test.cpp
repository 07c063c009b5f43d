#include "engine/error.h"
#include "engine/io/textreader.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pluvora;
using pluvora::test::TempFolder;

namespace {

struct ReaderFixture : ::testing::Test {
    TempFolder folder;
    std::unique_ptr<TextReader> open(std::string_view content)
    {
        return std::make_unique<TextReader>(folder.write("f.txt", content));
    }
};

} // namespace

TEST_F(ReaderFixture, ReadsNumbersAcrossLineBreaksAndGivesZeroAtEnd)
{
    auto r = open("  1.5\t-2\r\n\r\n3.\n.25");
    EXPECT_DOUBLE_EQ(r->readNumber(), 1.5);
    EXPECT_DOUBLE_EQ(r->readNumber(), -2);
    EXPECT_DOUBLE_EQ(r->readNumber(), 3);
    EXPECT_DOUBLE_EQ(r->readNumber(), 0.25);
    EXPECT_DOUBLE_EQ(r->readNumber(), 0);
    EXPECT_FALSE(r->nextNumber().has_value());
}

TEST_F(ReaderFixture, TellsEndOfFileFromRealZero)
{
    auto r = open("0 \n");
    auto first = r->nextNumber();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, 0.0);
    EXPECT_FALSE(r->nextNumber().has_value());
}

TEST_F(ReaderFixture, TokensThatAreNotNumbersFailWithTheUsersMessage)
{
    for (const std::string bad : {"-", "1-2", "1.2.3", ".", "--1", "-.", "1e3", "+4", "abc", "1,5",
                                  "12\xC2\xB0", "0x10", "inf"}) {
        auto r = open("5 " + bad + " 7");
        EXPECT_EQ(r->readNumber(), 5);
        try {
            r->readNumber();
            ADD_FAILURE() << bad << " was read as a number";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), kInvalidNumericInput) << bad;
        }
    }
}

TEST_F(ReaderFixture, TokenAtTheEndOfTheFileWithoutALineBreak)
{
    auto r = open("1\r\n-3.5");
    EXPECT_EQ(r->readNumber(), 1);
    EXPECT_EQ(r->readNumber(), -3.5);
    EXPECT_FALSE(r->nextNumber());
    auto dash = open("1 -");
    EXPECT_EQ(dash->readNumber(), 1);
    EXPECT_THROW(dash->readNumber(), Error);
}

TEST_F(ReaderFixture, NumberTokensAreReadSixtyFourCharactersAtATime)
{
    const std::string d64(64, '2');
    auto exact = open(d64 + "\r\n5");
    EXPECT_EQ(exact->readNumber(), std::stod(d64));
    EXPECT_TRUE(exact->seekLineEnd()); // the 64 characters were the whole token
    EXPECT_EQ(exact->readNumber(), 5);

    auto longer = open(d64 + "3");
    EXPECT_EQ(longer->readNumber(), std::stod(d64));
    EXPECT_FALSE(longer->seekLineEnd()); // the rest of the token is next
    EXPECT_EQ(longer->readNumber(), 3);
    EXPECT_FALSE(longer->nextNumber());

    // The cut can fall right after a decimal point: "22...2." and "5".
    auto cut = open(std::string(63, '2') + ".5");
    EXPECT_EQ(cut->readNumber(), std::stod(std::string(63, '2')));
    EXPECT_EQ(cut->readNumber(), 5);
}

TEST_F(ReaderFixture, IntegerTokensAreReadThirtyTwoCharactersAtATime)
{
    auto r = open(std::string(30, '0') + "12" + " " + std::string(32, '0') + "7");
    EXPECT_EQ(r->readInteger(), 12);
    EXPECT_EQ(r->readInteger(), 0);
    EXPECT_EQ(r->readInteger(), 7);
    EXPECT_FALSE(r->nextInteger());
    EXPECT_THROW(open("2147483648")->readInteger(), Error);
    EXPECT_THROW(open("12abc")->readInteger(), Error);
}

TEST_F(ReaderFixture, ReadsAcrossTheEndOfItsBuffer)
{
    // The reader holds 64 KiB at a time: a token and a CR LF split by the
    // refill must come out whole.
    auto r = open(std::string(65534, ' ') + "123456 7");
    EXPECT_EQ(r->readNumber(), 123456);
    EXPECT_EQ(r->readNumber(), 7);

    auto lines = open(std::string(65535, 'a') + "\r\nb");
    std::string line;
    ASSERT_TRUE(lines->readLine(line));
    EXPECT_EQ(line, std::string(65535, 'a'));
    ASSERT_TRUE(lines->readLine(line));
    EXPECT_EQ(line, "b");
}

namespace {

struct RowsCase {
    const char* name;
    std::string content;
};

struct RowReading : ReaderFixture, ::testing::WithParamInterface<RowsCase> {};

} // namespace

// Two numbers per row and then the rest of the line, as every stage reads:
// the same rows whatever the line breaks and separators.
TEST_P(RowReading, GivesTheSameRows)
{
    auto r = open(GetParam().content);
    std::vector<std::vector<double>> rows;
    while (auto first = r->nextNumber()) {
        rows.push_back({*first, r->readNumber()});
        r->skipLine();
    }
    EXPECT_EQ(rows, (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, RowReading,
    ::testing::Values(RowsCase{"CrLf", "1 2 9\r\n3 4\r\n"},
                      RowsCase{"LoneLf", "1 2 9\n3 4\n"},
                      RowsCase{"NoBreakAfterTheLastRow", "1 2 9\r\n3 4"},
                      RowsCase{"RunsOfBlanksAndTabs", "\t 1 \t  2\t\t9 9 \r\n   3\t4\t\r\n"},
                      RowsCase{"ControlCharactersSeparate", std::string("1\x01" "2\f9\r\n3\v4\x1A")},
                      RowsCase{"EmptyLinesAreSkipped", "1 2 9\r\n\r\n\n3 4\r\n\r\n"},
                      RowsCase{"RowEndingRightAfterItsValues", "1 2\r\n3 4\r\n"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ReaderFixture, IntegersMustBeWhole)
{
    EXPECT_EQ(open("-17\r\n")->readInteger(), -17);
    EXPECT_THROW(open("1.5")->readInteger(), Error);
    EXPECT_EQ(open("   ")->readInteger(), 0);
}

TEST_F(ReaderFixture, SeekLineEndStopsBeforeBreaks)
{
    auto r = open("1 \t \r\n2  \n3");
    r->readNumber();
    EXPECT_TRUE(r->seekLineEnd());
    r->skipLine();
    EXPECT_FALSE(r->seekLineEnd());
    EXPECT_DOUBLE_EQ(r->readNumber(), 2);
    EXPECT_TRUE(r->seekLineEnd());
    r->skipLine();
    EXPECT_DOUBLE_EQ(r->readNumber(), 3);
    EXPECT_TRUE(r->seekLineEnd()); // end of file
    r->skipLine();                 // does nothing at the end
    EXPECT_TRUE(r->atEnd());
}

TEST_F(ReaderFixture, SkipLineHandlesCrLfAndLoneLf)
{
    auto r = open("a b\r\nc\nd");
    r->skipLine();
    EXPECT_EQ(r->get(), 'c');
    r->skipLine();
    EXPECT_EQ(r->get(), 'd');
}

TEST_F(ReaderFixture, ReadLineDropsTheBreak)
{
    auto r = open("one\r\ntwo\nthree");
    std::string line;
    ASSERT_TRUE(r->readLine(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(r->readLine(line));
    EXPECT_EQ(line, "two");
    ASSERT_TRUE(r->readLine(line));
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(r->readLine(line));
}

TEST_F(ReaderFixture, MissingFileIsAnError)
{
    EXPECT_THROW(TextReader(folder.path() / "nope.txt"), Error);
}
