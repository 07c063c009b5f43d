#include "mainwindow.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

using namespace pluvora::test;

TEST(MainWindowShell, HasNameAndCaption)
{
    TempFolder folder;
    RecordingFeedback feedback;
    MainWindowSetup setup;
    setup.appFolder = folder.path();
    setup.feedback = &feedback;
    MainWindow window(setup);
    EXPECT_EQ(window.objectName(), "TForm1");
    EXPECT_EQ(window.windowTitle(), "Pluvora");
}
