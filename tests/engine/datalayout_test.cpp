#include "engine/columns/datalayout.h"
#include "engine/templates/templatestore.h"

#include <gtest/gtest.h>

using namespace pluvora;

namespace {

// One layout, its column text, its reading text and the three lines a
// template stores it as.
struct LayoutCase {
    const char* columns;
    const char* reading;
    const char* rowsLine;
    const char* variablesLine;
    const char* unitsLine;
};

DataLayout layoutOf(const LayoutCase& c, int rows)
{
    DataLayout layout = layoutFromColumns(c.columns);
    parseReadingText(c.reading, layout);
    layout.rowsBefore = rows;
    return layout;
}

class LayoutText : public ::testing::TestWithParam<LayoutCase> {};

} // namespace

TEST_P(LayoutText, ReadsAndWritesEveryFormTheSame)
{
    const LayoutCase& c = GetParam();
    const DataLayout layout = layoutOf(c, 3);
    EXPECT_EQ(columnsText(layout), c.columns);
    EXPECT_EQ(readingText(layout), c.reading);

    const auto lines = templateLines(layout);
    EXPECT_EQ(lines[0], c.rowsLine);
    EXPECT_EQ(lines[1], c.variablesLine);
    EXPECT_EQ(lines[2], c.unitsLine);
    EXPECT_EQ(parseTemplateLines(lines[0], lines[1], lines[2]), layout);
}

INSTANTIATE_TEST_SUITE_P(
    DataLayout, LayoutText,
    ::testing::Values(
        // As every template file written so far: the rows line is the number alone.
        LayoutCase{"Year,Month,Day,T-max:oF,Ignore,Precip:inch", "", "3",
                   "1\t2\t3\t6\t0\t8\t-1\t-1\t-1\t-1\t-1\t-1\t",
                   "-1\t-1\t-1\t1\t-1\t2\t-1\t-1\t-1\t-1\t-1\t-1\t"},
        // Unselected columns inside the list stay empty items; RelHum gets its one unit.
        LayoutCase{"YYDOY,,Solar:W/m2,,,,,,,,,RelHum:%", "", "3",
                   "16\t-1\t5\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t9\t",
                   "-1\t-1\t2\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t0\t"},
        LayoutCase{"Year,DOY,Solar", "fields=semicolon decimal-comma", "3\tfields=semicolon decimal-comma",
                   "1\t4\t5\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t",
                   "-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t"},
        LayoutCase{"YYDOY,Solar:MJ/m2/d,T-max:oC", "fields=fixed widths=5,11,17", "3\tfields=fixed widths=5,11,17",
                   "16\t5\t6\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t",
                   "-1\t0\t0\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t"},
        LayoutCase{"Year,DOY,Precip:mm", "fields=comma trace=-1", "3\tfields=comma trace=-1",
                   "1\t4\t8\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t",
                   "-1\t-1\t0\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t"},
        LayoutCase{"Year,DOY,RelHum:fraction,SunHr:min", "missing=NA,-99.9,***", "3\tmissing=NA,-99.9,***",
                   "1\t4\t9\t14\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t",
                   "-1\t-1\t1\t1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t-1\t"}));

TEST(DataLayout, OldTemplateLinesReadAsBlankSeparated)
{
    // Written before the reading settings existed, the rows line ragged.
    const DataLayout layout = parseTemplateLines(" 2 ", "1\t4\t5\t", "-1\t-1\t2\t");
    EXPECT_EQ(layout.rowsBefore, 2);
    EXPECT_EQ(layout.fields, FieldSeparator::Blanks);
    EXPECT_FALSE(layout.decimalComma);
    EXPECT_TRUE(layout.fieldEnds.empty());
    EXPECT_EQ(columnsText(layout), "Year,DOY,Solar:W/m2");
    // A setting this version does not know is passed over, a bad one is dropped.
    EXPECT_EQ(parseTemplateLines("2\tcolour=blue decimal-comma", "", "").decimalComma, true);
    EXPECT_EQ(parseTemplateLines("2\tfields=pipe", "", "").fields, FieldSeparator::Blanks);
}

TEST(DataLayout, RefusesTextsItCannotRead)
{
    const char* bad[] = {"Year,Mnth", "Year:oC", "T-max:K", "1,2,3,4,5,6,7,8,9,10,11,12,13"};
    const char* said[] = {"column 2: unknown variable 'Mnth'", "column 1: Year takes no unit",
                          "column 1: unknown unit 'K' for T-max", "the column list has more than 12 columns"};
    for (std::size_t k = 0; k < std::size(bad); ++k) {
        try {
            layoutFromColumns(bad[k]);
            ADD_FAILURE() << bad[k];
        } catch (const LayoutTextError& error) {
            EXPECT_STREQ(error.what(), said[k]);
        }
    }
    EXPECT_THROW(parseFieldEnds("5,5"), LayoutTextError);
    EXPECT_THROW(parseFieldEnds("0,5"), LayoutTextError);
    EXPECT_THROW(fieldSeparatorFromName("pipe"), LayoutTextError);
}

TEST(DataLayout, MissingTextsAreWordsBetweenCommas)
{
    EXPECT_EQ(parseMissingTexts("NA,M,null,-,***,-99.9"),
              (std::vector<std::string>{"NA", "M", "null", "-", "***", "-99.9"}));
    EXPECT_THROW(parseMissingTexts("NA,,M"), LayoutTextError);
    EXPECT_THROW(parseMissingTexts("no data"), LayoutTextError);
    EXPECT_THROW(parseMissingTexts(""), LayoutTextError);
    // A bad list drops the reading settings, as any bad setting does.
    EXPECT_EQ(parseTemplateLines("2\tfields=tab missing=NA,,M", "", "").fields, FieldSeparator::Blanks);
}

TEST(DataLayout, RemovedColumnsTakeTheirBoxesWithThem)
{
    const DataLayout layout = layoutFromColumns("Year,DOY,Ignore,T-max:oC,T-min:oC");
    EXPECT_EQ(columnsText(withoutColumns(layout, {false, false, true})), "Year,DOY,T-max:oC,T-min:oC");
    EXPECT_EQ(columnsText(withoutColumns(layout, {true, false, false, false, true})), "DOY,Ignore,T-max:oC");
    EXPECT_EQ(withoutColumns(layout, {}), layout);
}
