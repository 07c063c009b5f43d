#pragma once

#include <QList>

class InputFindBar;
class MainWindow;
class QAction;
class QMenu;

// Captions of the main window's menus. An '&' marks the mnemonic and "&&"
// shows one ampersand, so each caption reads as the program has always
// shown it.
namespace menucaption {
inline constexpr const char* kFile = "&File";
inline constexpr const char* kOpen = "&Open...";
inline constexpr const char* kSaveInputFile = "&Save input file...";
inline constexpr const char* kGetPower = "&Get daily data for a site...";
inline constexpr const char* kExit = "E&xit";
inline constexpr const char* kEdit = "&Edit";
inline constexpr const char* kFind = "&Find...";
inline constexpr const char* kFindNext = "Find &next";
inline constexpr const char* kGoToLine = "&Go to line...";
inline constexpr const char* kControl = "&Control";
inline constexpr const char* kSaveTemplate = "&Save current data template...";
inline constexpr const char* kRetrieveLastTemplate = "&Retrieve last session template";
inline constexpr const char* kManageTemplates = "&Manage template list...";
inline constexpr const char* kFillGaps = "&Fill gaps...";
inline constexpr const char* kDefaultFolders = "&Default input && output folders...";
inline constexpr const char* kCleanInput = "&Clean input data";
inline constexpr const char* kAlignWithTabs = "&Align input data using tabs";
inline constexpr const char* kRemoveColumns = "Remo&ve input data columns...";
inline constexpr const char* kCheckBelow = "(Check / uncheck below)";
inline constexpr const char* kElasticWindow = "  &Elastic window";
inline constexpr const char* kHorizontalScrollBar = "  Show &horizontal scroll bar";
inline constexpr const char* kEnableSpacer = "  Enable s&pacer";
inline constexpr const char* kView = "&View";
inline constexpr const char* kHelp = "&Help";
inline constexpr const char* kInstructions = "&Instructions";
inline constexpr const char* kAboutPluvora = "&About Pluvora";
} // namespace menucaption

// The three view toggles, which the window reads and restores.
struct ViewToggles {
    QAction* elasticWindow = nullptr;       // Elasticwindow1
    QAction* horizontalScrollBar = nullptr; // Showhorizontalscrolbar1
    QAction* enableSpacer = nullptr;        // Enablespacer1
};

// Builds the "File", "Edit", "Control", "View" and "Help" menus on
// `window`'s menu bar and connects every item to its handler. `recent` goes
// under "File"; "Edit" drives `find`; `views` (the charts and the quality
// report) make the "View" menu.
ViewToggles buildMainMenu(MainWindow& window, QMenu* recent, InputFindBar* find,
                          const QList<QAction*>& views);
