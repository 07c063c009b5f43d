#include "engine/error.h"
#include "engine/io/textwriter.h"
#include "engine/output/finishedoutput.h"
#include "engine/table/paneltext.h"
#include "engine/tasks/datacheckup.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <string>

namespace pluvora {
namespace {

// Standard input has no size to look at first: the copy stops with the
// window's own limit message once the limit is passed, not when memory or
// the disk runs out.
TEST(BoundedMemory, ACopyOfTheInputStopsAtItsLimit)
{
    test::TempFolder dir;
    const auto source = dir.write("in.txt", std::string(300, 'a') + "\n");
    const auto target = dir.path() / "Input.~";
    try {
        saveTextFileAsPanelText(source, target, 200);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kFileTooLarge);
    }
    saveTextFileAsPanelText(source, target, 400);
    EXPECT_EQ(test::readFile(target), std::string(300, 'a') + "\r\n");
}

TEST(BoundedMemory, ALongCheckupReportIsCutAtAWholeLine)
{
    test::TempFolder dir;
    const auto report = dir.write("Output.~", "title\r\nrow 1\r\nrow 2\r\nrow 3\r\n");
    EXPECT_EQ(loadCheckupReport(report, 1000), "title\nrow 1\nrow 2\nrow 3");
    EXPECT_EQ(loadCheckupReport(report, 18), std::string("title\nrow 1\n") + kCheckupReportCut);
}

// The batch streams the report instead of loading it: at every limit, cut
// or not, it writes the bytes the loaded text would give.
TEST(BoundedMemory, AStreamedCheckupReportIsTheLoadedOne)
{
    test::TempFolder dir;
    std::string text = "title\r\nhint\r\n\r\nheading\r\n";
    for (int day = 1; day <= 40000; ++day)
        text += "\t2001 / " + std::to_string(day) + "\r\n";
    const auto report = dir.write("Output.~", text);
    const std::size_t firstLine = text.find('\n');
    for (const std::size_t limit : {std::size_t{0}, firstLine - 1, firstLine, firstLine + 1, std::size_t{300000},
                                    std::size_t{1} << 18, (std::size_t{1} << 18) + 1, text.size() - 1, text.size()}) {
        SCOPED_TRACE(limit);
        const auto loaded = dir.path() / "loaded.txt";
        const auto streamed = dir.path() / "streamed.txt";
        {
            TextWriter sink(loaded);
            writePanelText(sink, loadCheckupReport(report, limit));
            sink.close();
        }
        {
            TextWriter sink(streamed);
            writeCheckupReport(report, sink, limit);
            sink.close();
        }
        EXPECT_TRUE(test::readFile(streamed) == test::readFile(loaded));
    }
}

} // namespace
} // namespace pluvora
