#pragma once

#include <QDir>
#include <QWidget>

class QTextBrowser;

// The program's manual: HTML pages in one folder, shown in a browser window
// of their own. Numbered contexts lead to a page and an anchor on it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Pluvora Help";
    static constexpr const char* kContentsCaption = "Contents";
    static constexpr const char* kBackCaption = "Back";
    static constexpr const char* kForwardCaption = "Forward";
    static constexpr int kContents = 0;
    static constexpr const char* kContentsPage = "index.html";

    // The page and anchor of a context, as "page.html#anchor"; unknown
    // contexts give the contents page.
    static QString pageFor(int context);
    // Whether the help folder holds the page of `context`.
    static bool hasPage(const QDir& helpFolder, int context);

    explicit HelpWindow(const QDir& helpFolder, QWidget* parent = nullptr);

    void showContext(int context);
    QTextBrowser* browser() const { return mBrowser; }

private:
    // Sized and placed inside the free area of the owner's screen: a
    // 768-pixel-high desktop shows all of it.
    void keepOnScreen();

    QDir mFolder;
    QTextBrowser* mBrowser = nullptr;
};
