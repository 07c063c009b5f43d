#pragma once

#include "../gui/windowfixture.h"
#include "gui/explorer/explorerwindow.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWebEngineView>

#include <functional>

// The main window with its explorer open at a local home page. Pages come
// from the test data folder by file address; every wait is for a signal of
// the browser, with a timeout.
class ExplorerFixture : public WindowFixture {
protected:
    static constexpr int kTimeout = 20000;
    QPointer<ExplorerWindow> explorer;

    static QString page(const char* name)
    {
        return QUrl::fromLocalFile(QString(PLUVORA_TEST_DATA) + "/explorer/" + name).toString();
    }

    void SetUp() override
    {
        WindowFixture::SetUp();
        appDir.write("Homepage.pvd", "Test home\r\n" + page("a.html").toStdString() + "\r\n");
    }

    void TearDown() override
    {
        if (explorer)
            delete explorer.data();
        WindowFixture::TearDown();
    }

    // Opens the explorer from the main window and waits for the home page.
    void openExplorer()
    {
        child<QPushButton>("BitBtn4")->click();
        explorer = window->explorer();
        ASSERT_NE(explorer, nullptr);
        waitForLoad();
    }

    // Waits for the page to finish loading after `action`.
    bool loads(const std::function<void()>& action)
    {
        QSignalSpy finished(explorer->browser()->page(), &QWebEnginePage::loadFinished);
        action();
        return finished.wait(kTimeout) && finished.last().value(0).toBool();
    }

    void waitForLoad()
    {
        QSignalSpy finished(explorer->browser()->page(), &QWebEnginePage::loadFinished);
        ASSERT_TRUE(finished.wait(kTimeout));
    }

    // A click on a link of the page, as a user's click would start it.
    bool followLink(const char* id)
    {
        return loads([this, id] {
            explorer->browser()->page()->runJavaScript(
                QString("document.getElementById('%1').click()").arg(id));
        });
    }

    QStringList history() const
    {
        QStringList list;
        for (const std::string& entry : explorer->navigation().historyList())
            list << QString::fromStdString(entry);
        return list;
    }

    QString addressBoxText() { return find<QComboBox>(explorer, "URLs")->currentText(); }
};
