#include "gui/explorer/explorerpage.h"

#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>

namespace {

// Read in the script world of the application, so scripts of the page
// cannot change what is captured.
constexpr const char* kDocumentScript =
    "(function() {"
    "  var body = document.body;"
    "  return { title: document.title, hasBody: !!body, text: body ? body.innerText : '' };"
    "})()";

} // namespace

ExplorerPage::ExplorerPage(QObject* parent)
    : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent)
{
    connect(profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* download) {
                if (!download->isSavePageDownload() || download->page() != this)
                    return;
                const QString path = download->downloadDirectory() + '/' + download->downloadFileName();
                connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, path] {
                    emit archiveSaved(path, download->state() == QWebEngineDownloadRequest::DownloadCompleted);
                });
            });
}

bool ExplorerPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    // A server's redirect continues a navigation already announced.
    if (isMainFrame && type != NavigationTypeRedirect)
        emit navigationStarting(url);
    return true;
}

void ExplorerPage::readDocument(std::function<void(const DocumentText&)> done)
{
    QPointer<ExplorerPage> self(this);
    runJavaScript(kDocumentScript, QWebEngineScript::ApplicationWorld,
                  [self, done = std::move(done)](const QVariant& result) {
                      if (!self)
                          return;
                      const QVariantMap map = result.toMap();
                      DocumentText document;
                      document.title = map.value("title").toString();
                      document.hasBody = map.value("hasBody").toBool();
                      document.bodyText = map.value("text").toString();
                      done(document);
                  });
}

void ExplorerPage::saveArchive(const QString& path)
{
    save(path, QWebEngineDownloadRequest::MimeHtmlSaveFormat);
}
