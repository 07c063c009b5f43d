#include "engine/io/textwriter.h"
#include "engine/output/finishedoutput.h"
#include "engine/table/paneltext.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

namespace pluvora {
namespace {

void writeText(const std::filesystem::path& file, std::string_view text)
{
    TextWriter sink(file);
    writePanelText(sink, text);
    sink.close();
}

struct FinishCase {
    const char* name;
    std::string panel; // the run's result as panel text
    int rowsBefore;
    std::optional<std::string> inserted;
};

class OutputFinishing : public ::testing::TestWithParam<FinishCase> {};

// The batch program streams the finish from the result file; the window
// finishes the panel and saves it. Both must give the same bytes.
TEST_P(OutputFinishing, StreamedFinishEqualsTheSavedFinishedPanel)
{
    const FinishCase& c = GetParam();
    test::TempFolder temp;
    const auto result = temp.path() / "Output.~";
    writeText(result, c.panel);
    const OutputFinish finish{c.rowsBefore, c.inserted};

    std::string panel = loadPanelText(result);
    finishPanelText(panel, finish);
    writeText(temp.path() / "window.wth", panel);
    {
        TextWriter sink(temp.path() / "batch.wth");
        writeFinishedOutput(result, sink, finish);
        sink.close();
    }
    EXPECT_EQ(temp.read("batch.wth"), temp.read("window.wth"));
}

// Rows well past the readers' buffers, so that the rows behind the site
// line take the kernel's copy.
std::string manyRows()
{
    std::string text = "Station\nrow 2\nrow 3\nYear\tDOY\n\t\tmm";
    for (int day = 1; day <= 40000; ++day)
        text += "\n2000\t" + std::to_string(day) + "\t1.5";
    return text;
}

// A stream the kernel cannot copy into (opened for appending) gets the
// same bytes through the buffer.
TEST(OutputFinishing, LargeResultToAFileAndToAnAppendingStream)
{
    test::TempFolder temp;
    const auto result = temp.path() / "Output.~";
    const std::string text = manyRows();
    writeText(result, text);
    const OutputFinish finish{3, "52.1"};
    std::string panel = text;
    finishPanelText(panel, finish);
    writeText(temp.path() / "window.wth", panel);
    {
        TextWriter sink(temp.path() / "batch.wth");
        writeFinishedOutput(result, sink, finish);
        sink.close();
    }
    const auto appended = temp.path() / "appended.wth";
    std::FILE* stream = std::fopen(appended.c_str(), "ab");
    ASSERT_NE(stream, nullptr);
    {
        TextWriter sink(stream, "the stream");
        writeFinishedOutput(result, sink, finish);
        sink.close();
    }
    std::fclose(stream);
    const std::string expected = temp.read("window.wth");
    EXPECT_GT(expected.size(), std::size_t{1} << 19);
    EXPECT_EQ(temp.read("batch.wth"), expected);
    EXPECT_EQ(temp.read("appended.wth"), expected);
}

const std::string kWeather = "Station\nrow 2\nrow 3\nYear\tDOY\n\t\tmm\n2000\t1\t0.0\n2000\t2\t1.5";

INSTANTIATE_TEST_SUITE_P(
    Finish, OutputFinishing,
    ::testing::Values(FinishCase{"Untouched", kWeather, 0, std::nullopt},
                      FinishCase{"OneHeaderRowKept", kWeather, 1, std::nullopt},
                      FinishCase{"HeaderRowsTrimmed", kWeather, 3, std::nullopt},
                      FinishCase{"SiteLineInserted", kWeather, 3, "40.5 96.25 350  Lat (deg), long (deg), elev(m)"},
                      FinishCase{"LatitudeLineWithoutHeader", kWeather, 0, "52.1"},
                      FinishCase{"MoreRowsThanLines", "Station\nrow 2", 5, "52.1"},
                      FinishCase{"EmptyLinesKept", "Station\n\nrow 3\n\n2000\t1\n\n2000\t2", 2, "52.1"},
                      FinishCase{"EmptyResult", "", 3, "52.1"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pluvora
