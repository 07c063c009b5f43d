#pragma once

#include <QObject>
#include <QPointer>

#include <filesystem>
#include <memory>

class HelpWindow;
class QWidget;
class UrlOpener;

// What the "Help" menu opens for a window: the manual at a numbered
// context, and the About box.
class HelpMenu : public QObject {
public:
    // `opener` null: the desktop's browser opens web addresses.
    HelpMenu(QWidget* window, std::filesystem::path helpFolder, UrlOpener* opener);
    ~HelpMenu() override;

    // Nothing happens when the help pages are missing.
    void showContext(int context);
    void showAbout();
    void closeHelp();
    HelpWindow* helpWindow() const;

private:
    QWidget* mWindow;
    std::filesystem::path mFolder;
    std::unique_ptr<UrlOpener> mOwnOpener;
    UrlOpener* mOpener;
    QPointer<HelpWindow> mHelp;
};
