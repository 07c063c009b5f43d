#include "engine/error.h"
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

} // namespace
} // namespace pluvora
