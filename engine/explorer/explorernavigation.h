#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

// The explorer's own history and its list of recent addresses. The browser
// keeps a history of its own, but Back and Forward here follow these rules
// instead: every navigation event goes through `beforeNavigate`, whoever
// started it. Address lookups ignore letter case.
class ExplorerNavigation {
public:
    // The explorer itself is about to navigate (its address box, a button,
    // a menu item): the next navigation event puts its address on top of
    // the address list.
    void startNavigation() { mUpdateAddressList = true; }

    // A navigation to `address` is starting. Returns the text the address
    // box shows afterwards: the top of the address list, so a link followed
    // inside the page leaves the box at the last address the explorer
    // itself went to.
    std::string beforeNavigate(std::string_view address);

    // Enter in the address box: `address`, the typed text as the browser
    // will report it, joins the history without moving the current
    // position; the typed text goes on top of the address list even when it
    // is there already.
    void addressEntered(std::string_view typed, std::string_view address);

    bool canGoBack() const;
    bool canGoForward() const;
    // Addresses Back and Forward go to; only valid when enabled.
    const std::string& backTarget() const;
    const std::string& forwardTarget() const;
    // The top of the address list, or empty.
    std::string refreshTarget() const;

    const std::vector<std::string>& historyList() const { return mHistory; }
    int historyIndex() const { return mHistoryIndex; }
    const std::vector<std::string>& addressList() const { return mAddresses; }
    bool updateAddressList() const { return mUpdateAddressList; }

private:
    std::vector<std::string> mHistory;
    int mHistoryIndex = 0;
    std::vector<std::string> mAddresses;
    bool mUpdateAddressList = false;
};

// True when `a` and `b` are equal but for the letter case of ASCII letters.
bool sameIgnoringCase(std::string_view a, std::string_view b);

} // namespace pluvora
