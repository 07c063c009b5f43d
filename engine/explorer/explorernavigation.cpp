#include "engine/explorer/explorernavigation.h"

#include <algorithm>
#include <cctype>

namespace pluvora {

namespace {

int positionOf(const std::vector<std::string>& list, std::string_view text)
{
    const auto found = std::find_if(list.begin(), list.end(), [text](const std::string& entry) {
        return sameIgnoringCase(entry, text);
    });
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

} // namespace

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string ExplorerNavigation::beforeNavigate(std::string_view address)
{
    const int known = positionOf(mHistory, address);
    if (known < 0) {
        // A new page after going back drops the current page and every page
        // after it, the current one included.
        const int count = static_cast<int>(mHistory.size());
        if (mHistoryIndex >= 0 && mHistoryIndex < count - 1)
            mHistory.erase(mHistory.begin() + mHistoryIndex, mHistory.end());
        mHistory.emplace_back(address);
        mHistoryIndex = static_cast<int>(mHistory.size()) - 1;
    } else {
        mHistoryIndex = known;
    }

    if (mUpdateAddressList) {
        mUpdateAddressList = false;
        const int listed = positionOf(mAddresses, address);
        if (listed < 0)
            mAddresses.insert(mAddresses.begin(), std::string(address));
        else
            std::rotate(mAddresses.begin(), mAddresses.begin() + listed,
                        mAddresses.begin() + listed + 1);
    }
    return refreshTarget();
}

void ExplorerNavigation::addressEntered(std::string_view typed, std::string_view address)
{
    mHistory.emplace_back(address);
    mAddresses.insert(mAddresses.begin(), std::string(typed));
}

bool ExplorerNavigation::canGoBack() const { return !mHistory.empty() && mHistoryIndex > 0; }

bool ExplorerNavigation::canGoForward() const
{
    return !mHistory.empty() && mHistoryIndex < static_cast<int>(mHistory.size()) - 1;
}

const std::string& ExplorerNavigation::backTarget() const
{
    return mHistory.at(static_cast<std::size_t>(mHistoryIndex - 1));
}

const std::string& ExplorerNavigation::forwardTarget() const
{
    return mHistory.at(static_cast<std::size_t>(mHistoryIndex + 1));
}

std::string ExplorerNavigation::refreshTarget() const
{
    return mAddresses.empty() ? std::string() : mAddresses.front();
}

} // namespace pluvora
