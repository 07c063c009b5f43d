#pragma once

#include "engine/table/layoutpasses.h"
#include "engine/table/seencolumns.h"

#include <QObject>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class FileChooser;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
namespace pluvora {
class AppFolder;
class UserFeedback;
struct RememberedFolders;
} // namespace pluvora

// The commands that clean, realign, cut down or save the text of the input
// panel. The window's menu items call these; each checks what it needs,
// runs its engine pass and replaces the panel only when the pass succeeded.
class InputCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kOpenFileFirst = "Open a file first.";
    static constexpr const char* kRowsNotSpecified =
        "The number of rows before start of data is not specified yet.";
    // The removal has always said it this way.
    static constexpr const char* kRowsNotSpecifiedForRemoval =
        "The number of rows before start of data not specified yet.";
    static constexpr const char* kColumnsRemoved = "Specified columns are removed.";
    static constexpr const char* kSaveFilter =
        "All weather data (*.txt *.csv *.dat *.met *.wth *.prn);;Text files(*.txt);;Allfiles (*)";

    struct Controls {
        QWidget* window;
        QPlainTextEdit* panel;      // Memo1
        QLineEdit* fileName;        // Edit1
        QLineEdit* rowsBefore;      // adpEdit1
    };

    InputCommands(const Controls& controls, const pluvora::AppFolder& folder,
                  pluvora::UserFeedback& feedback, FileChooser& chooser,
                  const pluvora::RememberedFolders& remembered, QObject* parent = nullptr);

    // How "Remove input data columns..." splits a row into columns: asked
    // when the command starts, as the fields setting then stands.
    void setFieldSplitSource(std::function<pluvora::FieldSplit()> source)
    {
        mFieldSplitSource = std::move(source);
    }

signals:
    // The panel's text was cleaned: every separator is now a blank.
    void cleaned();
    // Columns of the panel were removed (true for each removed one, from
    // column 1): the layout of the columns after them moves left.
    void columnsRemoved(const std::vector<bool>& removed);

public slots:
    // "Clean input data": blanks every character a number cannot hold.
    void CleanData1Click();
    // "Align input data using tabs": lines the columns up with tabs.
    void Usetabtoaligninputdata1Click();
    // "Remove input data columns...": drops the columns the user ticks.
    void RemoveDataColumnsClick();
    // "Save input file...": writes the input panel to a file the user chooses.
    void Saveinputfile1Click();

private:
    void cleanDataMessageThen(const std::function<void()>& next);
    void cleanData();
    bool fileAndRowsGiven();
    int rowsBefore() const;
    bool replacePanel(const std::function<std::string(std::string_view, int)>& pass);
    void removeColumns(const std::vector<bool>& remove);

    Controls mControls;
    const pluvora::AppFolder& mFolder;
    pluvora::UserFeedback& mUser;
    FileChooser& mChooser;
    const pluvora::RememberedFolders& mRemembered;
    std::function<pluvora::FieldSplit()> mFieldSplitSource;
    pluvora::FieldSplit mFieldSplit = pluvora::FieldSplit::Blanks;
};
