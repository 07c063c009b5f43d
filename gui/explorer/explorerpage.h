#pragma once

#include <QWebEnginePage>

// The browser's page, telling the explorer about every navigation of the
// main frame before it starts, whoever started it.
class ExplorerPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

signals:
    void navigationStarting(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        // A server's redirect continues a navigation already announced.
        if (isMainFrame && type != NavigationTypeRedirect)
            emit navigationStarting(url);
        return true;
    }
};
