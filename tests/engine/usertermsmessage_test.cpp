#include "engine/appfolder/appfolder.h"
#include "engine/error.h"
#include "engine/run/processingrun.h"
#include "engine/run/usertermsmessage.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace pluvora;

namespace {

struct MessageCase {
    const char* message;
    const char* expected;
};

class UserTerms : public ::testing::TestWithParam<MessageCase> {};

} // namespace

TEST_P(UserTerms, NameWhatTheUserKnows)
{
    EXPECT_EQ(inUserTerms(GetParam().message, "/data/app", "/home/u/out.wth"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserTerms,
    ::testing::Values(
        MessageCase{"Cannot write file \"/data/app/Input.~\"",
                    "Cannot write a file in the working folder \"/data/app\""},
        MessageCase{"Cannot create file \"/data/app/temp.~\": No space left on device",
                    "Cannot create a file in the working folder \"/data/app\": No space left on device"},
        MessageCase{"Cannot rename \"/data/app/temp.~\" to \"/data/app/Input.~\": Permission denied",
                    "Cannot rename a file in the working folder \"/data/app\": Permission denied"},
        MessageCase{"Cannot create file \"/home/u/out.wth.new\": No space left on device",
                    "Cannot create file \"/home/u/out.wth\": No space left on device"},
        MessageCase{"Cannot write file \"/home/u/.out.wth.Xa12bQ\"", "Cannot write file \"/home/u/out.wth\""},
        // The user's own files, and names elsewhere, stay as they are.
        MessageCase{"Cannot write file \"/home/u/out.wth\"", "Cannot write file \"/home/u/out.wth\""},
        MessageCase{"Cannot open file \"/home/u/in.txt\": No such file or directory",
                    "Cannot open file \"/home/u/in.txt\": No such file or directory"},
        MessageCase{"Cannot open file \"/data/app/sub/x.~\"", "Cannot open file \"/data/app/sub/x.~\""},
        MessageCase{"'x' is not a valid integer value", "'x' is not a valid integer value"},
        MessageCase{"Unclosed \"/data/app/Input.~", "Unclosed \"/data/app/Input.~"}));

TEST(UserTerms, RelativeOutputNamesAndNoFolder)
{
    EXPECT_EQ(inUserTerms("Cannot create file \"out.wth.new\": Read-only file system", {}, "out.wth"),
              "Cannot create file \"out.wth\": Read-only file system");
    EXPECT_EQ(inUserTerms("Cannot write file \"/a/Input.~\"", {}, {}), "Cannot write file \"/a/Input.~\"");
}

// A working folder that went away under a run: the message names the folder.
TEST(UserTerms, ARunThatCannotWriteItsWorkingFilesNamesTheFolder)
{
    test::TempFolder dir;
    const AppFolder folder(dir.path() / "gone");
    test::RecordingFeedback ui;
    RunRequest request;
    request.fileName = "station.txt";
    request.rowsBeforeText = "0";
    request.taskIndex = 2;
    request.layout = layoutFromColumns("Year,DOY");
    request.inputText = "2001 1\n2001 2\n";
    try {
        runProcessing(request, folder, ui);
        FAIL() << "the run wrote into a missing folder";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create a file in the working folder \""
                                                 + (dir.path() / "gone").string()
                                                 + "\": No such file or directory");
    }
}
