#include "gui/defaultfoldersdialog.h"
#include "gui/selectfolderdialog.h"

#include "engine/appfolder/appfolder.h"
#include "engine/appfolder/rememberedfolders.h"
#include "recordingfeedback.h"
#include "tempfolder.h"

#include <QDir>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace pluvora;
using namespace pluvora::test;
namespace fs = std::filesystem;

namespace {

QString qs(const fs::path& p) { return QString::fromStdString(p.string()); }

struct FoldersDialog : ::testing::Test {
    TempFolder dir;
    AppFolder folder{dir.path()};
    RememberedFolders remembered{"/start/in/", "/start/out/", ""};
    RecordingFeedback feedback;
    std::vector<QString> pickerStarts;
    QString pickerAnswer;

    std::unique_ptr<DefaultFoldersDialog> make()
    {
        auto dialog = std::make_unique<DefaultFoldersDialog>(folder, remembered, feedback);
        dialog->setFolderPicker([this](QWidget*, const QString& start) {
            pickerStarts.push_back(start);
            return pickerAnswer;
        });
        return dialog;
    }
    static QLineEdit* box(QWidget& w, const char* name) { return w.findChild<QLineEdit*>(name); }
};

} // namespace

TEST_F(FoldersDialog, ShowsItsCaptionsAndTheFolderLines)
{
    dir.write("Option.pvd", "/data/in\r\n\r\n0\r\n0\r\n0\r\n1\r\n-99\t0.01\r\n");
    auto dialog = make();
    EXPECT_EQ(dialog->objectName(), "TForm6");
    EXPECT_EQ(dialog->windowTitle(), kDefaultFoldersTitle);
    EXPECT_EQ(dialog->findChild<QLabel*>("Label1")->text(), kInputFolderLabel);
    EXPECT_EQ(dialog->findChild<QLabel*>("Label2")->text(), kOutputFolderLabel);
    EXPECT_EQ(dialog->findChild<QPushButton*>("Button3")->text(), kBrowseText);
    EXPECT_EQ(dialog->findChild<QPushButton*>("Button4")->text(), kBrowseText);
    EXPECT_EQ(box(*dialog, "Edit1")->text(), "/data/in");
    EXPECT_EQ(box(*dialog, "Edit2")->text(), qs(folder.pathText())); // empty line
}

TEST_F(FoldersDialog, WithoutSettingsBothBoxesShowTheApplicationFolder)
{
    auto dialog = make();
    EXPECT_EQ(box(*dialog, "Edit1")->text(), qs(folder.pathText()));
    EXPECT_EQ(box(*dialog, "Edit2")->text(), qs(folder.pathText()));
}

TEST_F(FoldersDialog, OkAcceptsAFolderThatDoesNotExistAsTyped)
{
    dir.write("Option.pvd", "/a\r\n/b\r\n1\r\n1\r\n1\r\n1\r\n-99\t0.01\r\n");
    auto dialog = make();
    box(*dialog, "Edit1")->setText("/no/such/folder");
    box(*dialog, "Edit2")->setText("/models/wth/");
    dialog->BitBtn1Click();

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dir.read("Option.pvd"), "/no/such/folder\r\n/models/wth/\r\n");
    EXPECT_EQ(remembered.inputFiles, "/no/such/folder");
    EXPECT_EQ(remembered.weatherFiles, "/models/wth/");
    EXPECT_EQ(remembered.outputSaveStart(), "/models/wth/"); // the output's Save starts there
    EXPECT_TRUE(feedback.calls.empty());

    // The application folder the dialog shows for an unset folder sets none.
    auto again = make();
    box(*again, "Edit2")->setText(qs(folder.pathText()));
    again->BitBtn1Click();
    EXPECT_EQ(remembered.outputSaveStart(), "/no/such/folder");
}

TEST_F(FoldersDialog, CancelChangesNothing)
{
    auto dialog = make();
    box(*dialog, "Edit1")->setText("/x");
    dialog->BitBtn2Click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(fs::exists(dir.path() / "Option.pvd"));
    EXPECT_EQ(remembered.inputFiles, "/start/in/");
}

TEST_F(FoldersDialog, FailedWriteIsReportedAndKeepsTheDialogOpen)
{
    fs::create_directory(dir.path() / "Option.pvd.new");
    auto dialog = make();
    dialog->BitBtn1Click();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(feedback.calls.size(), 2u);
    EXPECT_EQ(feedback.calls[0], "sound: error");
    EXPECT_EQ(remembered.inputFiles, "/start/in/");
}

TEST_F(FoldersDialog, BrowseStartsInTheBoxFolderOrTheApplicationFolder)
{
    TempFolder other;
    auto dialog = make();
    box(*dialog, "Edit1")->setText(qs(other.path()));
    box(*dialog, "Edit2")->setText("/no/such/folder");
    pickerAnswer = "/picked/in";
    dialog->Button3Click();
    pickerAnswer = "/picked/out";
    dialog->Button4Click();
    EXPECT_EQ(pickerStarts, (std::vector<QString>{qs(other.path()), qs(folder.pathText())}));
    EXPECT_EQ(box(*dialog, "Edit1")->text(), "/picked/in");
    EXPECT_EQ(box(*dialog, "Edit2")->text(), "/picked/out");

    pickerAnswer.clear(); // Cancel in the picker
    dialog->Button3Click();
    EXPECT_EQ(box(*dialog, "Edit1")->text(), "/picked/in");
}

namespace {

struct SelectFolder : ::testing::Test {
    TempFolder dir;
    RecordingFeedback feedback;
    QString base = QDir::cleanPath(qs(dir.path()));

    static QPushButton* button(QWidget& w, const char* name) { return w.findChild<QPushButton*>(name); }
    static bool panelShown(QWidget& w) { return !w.findChild<QGroupBox*>("Panel1")->isHidden(); }
    static bool mainButtonsEnabled(QWidget& w)
    {
        return button(w, "BitBtn1")->isEnabled() && button(w, "BitBtn2")->isEnabled()
            && button(w, "Button3")->isEnabled();
    }
};

} // namespace

TEST_F(SelectFolder, OkGivesTheFolderWithoutTrailingSeparator)
{
    SelectFolderDialog dialog(base + "/", feedback);
    EXPECT_EQ(dialog.objectName(), "TForm7");
    EXPECT_EQ(dialog.windowTitle(), kSelectFolderTitle);
    EXPECT_EQ(button(dialog, "Button3")->text(), kCreateNewDirectory);
    EXPECT_EQ(dialog.findChild<QLabel*>("Label1")->text(), QDir::toNativeSeparators(base));
    dialog.bitBtn1Click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenFolder(), base);
}

TEST_F(SelectFolder, CreatesANewDirectoryAndMakesItCurrent)
{
    SelectFolderDialog dialog(base, feedback);
    dialog.Button3Click();
    auto* edit = dialog.findChild<QLineEdit*>("Edit1");
    EXPECT_TRUE(panelShown(dialog));
    EXPECT_FALSE(button(dialog, "BitBtn1")->isEnabled());
    EXPECT_FALSE(button(dialog, "BitBtn2")->isEnabled());
    EXPECT_FALSE(button(dialog, "Button3")->isEnabled());
    EXPECT_EQ(edit->text(), QDir::toNativeSeparators(base + "/"));

    edit->setText(edit->text() + "weather 2016");
    dialog.bitBtn3Click();
    EXPECT_TRUE(fs::is_directory(dir.path() / "weather 2016"));
    EXPECT_FALSE(panelShown(dialog));
    EXPECT_TRUE(mainButtonsEnabled(dialog));
    dialog.bitBtn1Click();
    EXPECT_EQ(dialog.chosenFolder(), base + "/weather 2016");
}

TEST_F(SelectFolder, PanelCancelCreatesNothing)
{
    SelectFolderDialog dialog(base, feedback);
    dialog.Button3Click();
    dialog.findChild<QLineEdit*>("Edit1")->setText(base + "/never");
    dialog.bitBtn4Click();
    EXPECT_FALSE(panelShown(dialog));
    EXPECT_TRUE(mainButtonsEnabled(dialog));
    EXPECT_FALSE(fs::exists(dir.path() / "never"));
    EXPECT_EQ(dialog.currentDirectory(), base);
}

TEST_F(SelectFolder, DirectoryThatCannotBeMadeIsReportedAndThePanelStays)
{
    SelectFolderDialog dialog(base, feedback);
    dialog.Button3Click();
    dialog.findChild<QLineEdit*>("Edit1")->setText(base + "/missing/two levels");
    dialog.bitBtn3Click();
    EXPECT_EQ(feedback.messages(), (std::vector<std::string>{"error: " + std::string(kFolderNotCreated)}));
    EXPECT_TRUE(panelShown(dialog));
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
    EXPECT_EQ(dialog.currentDirectory(), base);
}

TEST(ShippedPictures, GearPicturesLoad)
{
    const QString defaults = PLUVORA_DEFAULTS_DIR;
    QImageReader bmp(defaults + "/Gear.bmp");
    EXPECT_FALSE(bmp.read().isNull()) << bmp.errorString().toStdString();
    QImageReader gif(defaults + "/Gear.gif");
    EXPECT_TRUE(gif.supportsAnimation());
    EXPECT_GT(gif.imageCount(), 1);
    EXPECT_FALSE(gif.read().isNull()) << gif.errorString().toStdString();
}
