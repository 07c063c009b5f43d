#include "engine/explorer/explorerfiles.h"
#include "engine/explorer/explorernavigation.h"
#include "engine/explorer/favorites.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pluvora;
using Lines = std::vector<std::string>;

namespace {

// Drives the navigation rules as the explorer does: "go X" is a navigation
// the explorer starts, "link X" one started inside the page, "enter X" the
// Enter key in the address box, "back" and "forward" the buttons.
std::string play(ExplorerNavigation& nav, const std::string& script)
{
    std::istringstream steps(script);
    std::string step;
    std::string box;
    while (std::getline(steps, step, ',')) {
        const std::string verb = step.substr(0, step.find(' '));
        const std::string arg = step.find(' ') == std::string::npos ? "" : step.substr(step.find(' ') + 1);
        if (verb == "go") {
            nav.startNavigation();
            box = nav.beforeNavigate(arg);
        } else if (verb == "link") {
            box = nav.beforeNavigate(arg);
        } else if (verb == "enter") {
            nav.addressEntered(arg, arg);
            nav.startNavigation();
            box = nav.beforeNavigate(arg);
        } else if (verb == "back" || verb == "forward") {
            const std::string target = verb == "back" ? nav.backTarget() : nav.forwardTarget();
            nav.startNavigation();
            box = nav.beforeNavigate(target);
        } else {
            ADD_FAILURE() << "unknown step " << step;
        }
    }
    return box;
}

struct NavigationCase {
    const char* name;
    const char* script;
    Lines history;
    int index;
    Lines addresses;
    std::string box;
    bool back;
    bool forward;
};

class NavigationRules : public ::testing::TestWithParam<NavigationCase> {};

} // namespace

TEST_P(NavigationRules, GiveHistoryAndAddressList)
{
    const NavigationCase& c = GetParam();
    ExplorerNavigation nav;
    const std::string box = play(nav, c.script);
    EXPECT_EQ(nav.historyList(), c.history);
    EXPECT_EQ(nav.historyIndex(), c.index);
    EXPECT_EQ(nav.addressList(), c.addresses);
    EXPECT_EQ(box, c.box);
    EXPECT_EQ(nav.canGoBack(), c.back);
    EXPECT_EQ(nav.canGoForward(), c.forward);
    EXPECT_FALSE(nav.updateAddressList());
}

INSTANTIATE_TEST_SUITE_P(
    Explorer, NavigationRules,
    ::testing::Values(
        NavigationCase{"LinksThenBackTwice", "go A,link B,link C,back,back",
                       {"A", "B", "C"}, 0, {"A", "B"}, "A", false, true},
        NavigationCase{"ForwardAfterBackTwice", "go A,link B,link C,back,back,forward",
                       {"A", "B", "C"}, 1, {"B", "A"}, "B", true, true},
        NavigationCase{"NewPageAfterBackDropsCurrentAndLater", "go A,link B,link C,back,link D",
                       {"A", "D"}, 1, {"B", "A"}, "B", true, false},
        NavigationCase{"LinkKeepsAddressListAndBox", "go A,link B",
                       {"A", "B"}, 1, {"A"}, "A", true, false},
        NavigationCase{"CaseIsIgnoredInLookups", "go http://A/,go http://a/",
                       {"http://A/"}, 0, {"http://A/"}, "http://A/", false, false},
        NavigationCase{"EnterOnListedAddressListsItAgain", "go A,go B,enter A",
                       {"A", "B", "A"}, 0, {"A", "B", "A"}, "A", false, true},
        NavigationCase{"EnterNewAddressAtEndOfHistory", "go A,enter B",
                       {"A", "B"}, 1, {"B", "A"}, "B", true, false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ExplorerFiles, HotLinksFileOfSevenLinesFillsFromTheStart)
{
    test::TempFolder dir;
    dir.write("hotlinks.pvd", "One\r\nFirst\r\nhttp://one/\r\nTwo\r\nSecond\r\nhttp://two/\r\nThree\r\n");
    const auto links = loadHotLinks(AppFolder(dir.path()));
    ASSERT_TRUE(links);
    EXPECT_EQ((*links)[0], (HotLink{"One", "First", "http://one/"}));
    EXPECT_EQ((*links)[1], (HotLink{"Two", "Second", "http://two/"}));
    EXPECT_EQ((*links)[2], (HotLink{"Three", "", ""}));
    EXPECT_EQ((*links)[3], HotLink{});
    EXPECT_EQ((*links)[4], HotLink{});
    EXPECT_FALSE(loadHotLinks(AppFolder(test::TempFolder().path())));
}

TEST(ExplorerFiles, ShippedDefaultsAreCompleteAndPointAtTheWeb)
{
    const AppFolder defaults{PLUVORA_DEFAULTS_DIR};
    const auto links = loadHotLinks(defaults);
    ASSERT_TRUE(links);
    for (const HotLink& link : *links) {
        EXPECT_FALSE(link.caption.empty());
        EXPECT_FALSE(link.hint.empty());
        EXPECT_EQ(link.address.rfind("https://", 0), 0u) << link.address;
    }
    EXPECT_EQ(loadHomePageSite(defaults).address.rfind("https://", 0), 0u);
    // The first template's provider is among the hot links.
    EXPECT_TRUE(isKnownDataSource((*links)[1].address));
    EXPECT_EQ(loadFavoriteNames(defaults).size(),
              readTextLines(defaults.file(defaultfile::kFavoriteUrls))->size());
}

TEST(ExplorerFiles, HomePageFileRoundTripsAndDefaultsToSearchEngine)
{
    test::TempFolder dir;
    const AppFolder folder(dir.path());
    EXPECT_EQ(loadHomePageSite(folder),
              (HomePage{std::string(kDefaultHomeName), std::string(kDefaultHomeAddress)}));
    saveHomePage(folder, HomePage{"Daily & hourly", "https://example.org/daily"});
    EXPECT_EQ(dir.read("Homepage.pvd"), "Daily & hourly\r\nhttps://example.org/daily\r\n");
    EXPECT_EQ(loadHomePageSite(folder), (HomePage{"Daily & hourly", "https://example.org/daily"}));
}

TEST(ExplorerFiles, SaveSuffixAddedUnlessExactExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"data", "data.txt"},
        {"data.csv", "data.csv.txt"},
        {"data.txt", "data.txt"},
        {"data.TXT", "data.TXT.txt"},
        {"my.folder/data", "my.folder/data.txt"},
    };
    for (const auto& [chosen, expected] : cases)
        EXPECT_EQ(withSaveSuffix(chosen, ".txt"), expected) << chosen;
    EXPECT_EQ(withSaveSuffix("page.htm", ".mht"), "page.htm.mht");
}

TEST(ExplorerFiles, SiteCodeIsFiveLettersAfterFirstDot)
{
    EXPECT_EQ(siteCodeOf("https://www.longpaddock.qld.gov.au/silo/"), "LONGP");
    EXPECT_TRUE(isKnownDataSource("www.LongPaddock.qld.gov.au"));
    EXPECT_FALSE(isKnownDataSource("https://longpaddock.qld.gov.au/silo/"));
    EXPECT_EQ(siteCodeOf("longp"), "LONGP");
    EXPECT_EQ(siteCodeOf("a.b"), "B");
}

TEST(Favorites, AddKeepsBothFilesParallelAndRefusesExactDuplicates)
{
    test::TempFolder dir;
    const AppFolder folder(dir.path());
    addFavorite(folder, {}, "Daily data", "https://one/");
    Lines names = loadFavoriteNames(folder);
    EXPECT_TRUE(favoriteNameIsUsed(names, "Daily data"));
    EXPECT_FALSE(favoriteNameIsUsed(names, "daily data"));
    addFavorite(folder, names, "daily data", "https://two/");
    addFavorite(folder, loadFavoriteNames(folder), "", "https://three/");
    EXPECT_EQ(dir.read("FavoriteNames.pvd"), "Daily data\r\ndaily data\r\n\r\n");
    EXPECT_EQ(dir.read("FavoriteURLs.pvd"), "https://one/\r\nhttps://two/\r\nhttps://three/\r\n");
    EXPECT_EQ(favoriteAddress(folder, 2), "https://three/");
    EXPECT_FALSE(favoriteAddress(folder, 3));
    EXPECT_FALSE(favoriteAddress(folder, -1));
}

TEST(Favorites, EditorIgnoresCommandsUntilANameIsChosen)
{
    test::TempFolder dir;
    dir.write("FavoriteNames.pvd", "A\r\nB\r\nC\r\n");
    dir.write("FavoriteURLs.pvd", "a\r\nb\r\nc\r\n");
    FavoriteEditor editor{AppFolder(dir.path())};
    EXPECT_FALSE(editor.rename("X"));
    EXPECT_FALSE(editor.removeChosen());
    editor.choose(7);
    EXPECT_FALSE(editor.removeChosen());
    EXPECT_EQ(dir.read("FavoriteURLs.pvd"), "a\r\nb\r\nc\r\n");

    // Delete writes both files at once; a crash before closing loses nothing.
    editor.choose(1);
    EXPECT_TRUE(editor.removeChosen());
    EXPECT_EQ(dir.read("FavoriteNames.pvd"), "A\r\nC\r\n");
    EXPECT_EQ(dir.read("FavoriteURLs.pvd"), "a\r\nc\r\n");
    EXPECT_EQ(editor.chosen(), 0);

    // Renaming is written when the dialog closes, addresses unchanged.
    EXPECT_TRUE(editor.rename("First"));
    EXPECT_EQ(dir.read("FavoriteNames.pvd"), "A\r\nC\r\n");
    editor.save();
    EXPECT_EQ(dir.read("FavoriteNames.pvd"), "First\r\nC\r\n");
    EXPECT_EQ(dir.read("FavoriteURLs.pvd"), "a\r\nc\r\n");
}

TEST(Favorites, PastedLineBreaksNeverSplitALineOfTheFiles)
{
    test::TempFolder dir;
    const AppFolder folder(dir.path());
    addFavorite(folder, {"A"}, "Daily\r\nrain", "https://one/\n");
    EXPECT_EQ(dir.read("FavoriteNames.pvd"), "A\r\nDaily\r\n");
    EXPECT_EQ(dir.read("FavoriteURLs.pvd"), "https://one/\r\n");
    FavoriteEditor editor{folder};
    editor.choose(0);
    EXPECT_TRUE(editor.rename("First\nsecond"));
    editor.save();
    EXPECT_EQ(dir.read("FavoriteNames.pvd"), "First\r\nDaily\r\n");
    saveHomePage(folder, HomePage{"Home\rpage", "https://h/\r\nx"});
    EXPECT_EQ(dir.read("Homepage.pvd"), "Home\r\nhttps://h/\r\n");
}
