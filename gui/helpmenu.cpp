#include "gui/helpmenu.h"

#include "gui/aboutbox.h"
#include "gui/helpwindow.h"
#include "gui/urlopener.h"

HelpMenu::HelpMenu(QWidget* window, std::filesystem::path helpFolder, UrlOpener* opener)
    : QObject(window)
    , mWindow(window)
    , mFolder(std::move(helpFolder))
    , mOwnOpener(opener ? nullptr : std::make_unique<DesktopUrlOpener>())
    , mOpener(opener ? opener : mOwnOpener.get())
{
}

HelpMenu::~HelpMenu() = default;

void HelpMenu::showContext(int context)
{
    const QDir folder(QString::fromStdString(mFolder.string()));
    if (mFolder.empty() || !HelpWindow::hasPage(folder, context))
        return;
    if (!mHelp)
        mHelp = new HelpWindow(folder, mWindow);
    mHelp->showContext(context);
}

void HelpMenu::showAbout()
{
    auto* box = new AboutBox(*mOpener, mWindow);
    box->open();
}

void HelpMenu::closeHelp()
{
    if (mHelp)
        mHelp->close();
}

HelpWindow* HelpMenu::helpWindow() const { return mHelp; }
