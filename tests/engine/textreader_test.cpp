#include "error.h"
#include "io/textreader.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

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

TEST_F(ReaderFixture, RejectsTokensThatAreNotNumbers)
{
    for (const char* bad : {"-", "1-2", "1.2.3", ".", "--1", "1e3", "+4", "abc"}) {
        auto r = open(bad);
        EXPECT_THROW(r->readNumber(), Error) << bad;
    }
    try {
        open("1-2")->readNumber();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid numeric input");
    }
}

TEST_F(ReaderFixture, SplitsLongTokensAt64And32Characters)
{
    std::string digits(70, '1');
    auto r = open(digits);
    EXPECT_DOUBLE_EQ(r->readNumber(), std::stod(std::string(64, '1')));
    EXPECT_DOUBLE_EQ(r->readNumber(), 111111);

    auto ints = open(std::string(32, '0') + "12");
    EXPECT_EQ(ints->readInteger(), 0);
    EXPECT_EQ(ints->readInteger(), 12);
}

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
