#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/explorer/explorernavigation.h"
#include "gui/explorer/explorerpage.h"

#include <QMainWindow>
#include <QStringList>
#include <QUrl>

#include <functional>

class FileChooser;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QToolButton;
class QWebEngineView;
namespace pluvora { class UserFeedback; }

// What the explorer needs from the program around it.
struct ExplorerSetup {
    const pluvora::AppFolder* folder = nullptr;
    pluvora::UserFeedback* feedback = nullptr;
    FileChooser* fileChooser = nullptr;
    // The folder for input files, asked each time a save dialog opens.
    std::function<QString()> inputFolder;
};

// "Pluvora Explorer": a web browser for finding weather data, with its own
// history and address list, a links bar, favorites, and "Capture data",
// which hands the page's text to whoever listens to `captured`.
//
// Its code is split by area: the page and the address box here, the tool
// bars and menus in explorerwindowbars.cpp, the favorites menu and the home
// page in explorerwindowfavorites.cpp.
class ExplorerWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Pluvora Explorer";
    static constexpr const char* kExit = "Exit";
    static constexpr const char* kBack = "Back";
    static constexpr const char* kForward = "Forward";
    static constexpr const char* kStop = "Stop";
    static constexpr const char* kRefresh = "Refresh";
    static constexpr const char* kCapture = "Capture data";
    static constexpr const char* kAddressBand = "Address";
    static constexpr const char* kAddressHint = "URL";
    static constexpr const char* kLinksBand = "Links";
    static constexpr const char* kGetPower = "Get daily data for a site...";
    static constexpr const char* kFileMenu = "&File";
    static constexpr const char* kCaptureItem = "Capture data into Pluvora";
    static constexpr const char* kSaveMhtItem = "Save complete webpage (*.mht)...";
    static constexpr const char* kSaveTextItem = "Save as text file (*.txt)...";
    static constexpr const char* kOpenItem = "Open...";
    static constexpr const char* kExitItem = "E&xit";
    static constexpr const char* kFavoritesMenu = "Favorites";
    static constexpr const char* kAddFavoriteItem = "Add to favorites...";
    static constexpr const char* kManageFavoritesItem = "Manage favorites...";
    static constexpr const char* kSetHomePageItem = "Set current site as home page...";
    static constexpr const char* kHelpMenu = "Help";
    static constexpr const char* kHelpItem = "Help";
    static constexpr const char* kTextFilter = "Text file (*.txt)";
    static constexpr const char* kMhtFilter = "Single file (*.mht)";
    static constexpr const char* kOpenFilter =
        "Webpage files (*.mht; *.htm; *.html) (*.mht *.htm *.html);;All files (*.*) (*)";
    static constexpr const char* kNoPageText = "This page has no text body to capture or save.";
    static constexpr const char* kPageNotSaved = "The webpage could not be saved.";
    static constexpr int kHelpContext = 1260;
    // Items of the favorites menu before the first favorite.
    static constexpr int kFixedFavoriteItems = 4;

    explicit ExplorerWindow(const ExplorerSetup& setup, QWidget* parent = nullptr);
    ~ExplorerWindow() override;

    const pluvora::ExplorerNavigation& navigation() const { return mNavigation; }
    const QStringList& hotLinkURLs() const { return mHotLinkURLs; }
    QWebEngineView* browser() const { return mBrowser; }
    QMenu* favoritesMenu() const { return mFavoritesMenu; }

    // Reads the page's title and body text; `done` runs later, and not at
    // all when the explorer is gone by then.
    void readDocument(std::function<void(const DocumentText&)> done);

    // What the browser goes to for a typed text, and the address it then
    // reports; empty for an empty text.
    static QUrl browserUrl(const QString& text);
    static QString browserAddress(const QString& text);

signals:
    void helpRequested(int context);
    // The explorer is closing (Exit, Capture data, the window's close box).
    void closed();
    // A "Save complete webpage" finished writing, or failed.
    void pageSaved(const QString& path, bool ok);
    // "Capture data" read a page with a body: its text, its name (the
    // page's title, or the address box's text for an untitled page) and the
    // address box's text, which tells a known data service. The explorer
    // closes right after.
    void captured(const QString& text, const QString& title, const QString& source);
    // "Get daily data for a site...": the main window asks which series to fetch.
    void getPowerRequested();

public slots:
    // Goes to the address the address box holds.
    void navigateToURL();
    // "Back": the previous page.
    void BackClick();
    // "Forward": the next page.
    void ForwardClick();
    // "Stop": stops loading the page.
    void StopClick();
    // "Refresh": loads the page again.
    void RefreshClick();
    // "Capture data": hands the page's text on through `captured` and closes.
    void BitBtn1Click();
    // "Save as text file...": writes the page's text.
    void SaveAsTextFileClick();
    // "Save as single file (MHT)...": writes the whole page.
    void SaveAsSinglefileMHTClick();
    // "Open...": shows a local web-page file.
    void Open2Click();
    // "Exit": closes the explorer.
    void Exit1Click();
    // "Help" (F1): asks for the explorer's help page.
    void Help2Click();
    // A hot link (1-based `tag`): goes to its address.
    void LinksClick(int tag);
    // Enter in the address box: goes to the typed address and keeps it in the list.
    void URLsKeyDown();
    // An address chosen from the list: goes there.
    void URLsClick();
    // Fills the "Favorites" menu from the favorites files.
    void LoadFavoriteToMenu();
    // Adds `name` to the "Favorites" menu.
    void addToFavoriteOnMenu(const QString& name);
    // A favorite chosen: goes to its address.
    void favoritesItemClick(QAction* item);
    // "Add to favorites...": asks a name for the page.
    void AddToFavoritesClick();
    // "Organize favorites...": renames and deletes favorites.
    void OrganizeFavoriteClick();
    // "Set as home page": the page becomes the home page.
    void SetHomePageClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBars();
    void buildMenus();
    void loadHomePageSite();
    void loadHotLinks();
    void positionPanel1();
    void showPicture(std::string_view file);
    void updateActions();
    void showAddressList();
    void WebBrowser1BeforeNavigate2(const QUrl& url);
    void WebBrowser1DownloadBegin();
    void WebBrowser1DownloadComplete();
    void capture(const DocumentText& document);
    void setHomePage(const QString& typedName);
    void showDialog(QWidget* dialog);
    void closeOpenDialogs();

    const pluvora::AppFolder& mFolder;
    pluvora::UserFeedback& mUser;
    FileChooser& mFileChooser;
    std::function<QString()> mInputFolder;

    pluvora::ExplorerNavigation mNavigation;
    QStringList mHotLinkURLs;
    bool mClosing = false;

    QWebEngineView* mBrowser = nullptr;     // WebBrowser1
    ExplorerPage* mPage = nullptr;
    QComboBox* mAddress = nullptr;          // URLs
    QAction* mBackAction = nullptr;
    QAction* mForwardAction = nullptr;
    QAction* mStopAction = nullptr;
    QAction* mRefreshAction = nullptr;
    QWidget* mActivityPanel = nullptr;      // Panel1
    QLabel* mActivityImage = nullptr;       // Image1
    QToolButton* mLinks[6] = {};            // ToolButton1 to ToolButton6
    QMenu* mFavoritesMenu = nullptr;
    QLabel* mStatusPanel = nullptr;         // the one panel of StatusBar1
};
