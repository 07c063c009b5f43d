#pragma once

#include <QWebEnginePage>

#include <functional>

// The page's text as the browser gives it.
struct DocumentText {
    QString title;
    bool hasBody = false;
    QString bodyText;
};

// The browser's page and what the explorer asks of it: word of every
// navigation of the main frame before it starts, whoever started it; the
// document's title and text; a single-file web archive of the page.
class ExplorerPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit ExplorerPage(QObject* parent);

    // Reads the title and the body's text; `done` runs later, and not at all
    // when the page is gone by then.
    void readDocument(std::function<void(const DocumentText&)> done);
    // Writes the page as MHTML; `archiveSaved` tells when it is done.
    void saveArchive(const QString& path);

signals:
    void navigationStarting(const QUrl& url);
    void archiveSaved(const QString& path, bool ok);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};
