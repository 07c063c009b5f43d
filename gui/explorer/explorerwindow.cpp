#include "gui/explorer/explorerwindow.h"

#include "engine/appfolder/safefile.h"
#include "engine/explorer/explorerfiles.h"
#include "engine/ui/userfeedback.h"
#include "gui/explorer/explorerpage.h"
#include "gui/explorer/explorertext.h"
#include "gui/filechooser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyle>
#include <QWebEngineView>


ExplorerWindow::ExplorerWindow(const ExplorerSetup& setup, QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , mFolder(*setup.folder)
    , mUser(*setup.feedback)
    , mFileChooser(*setup.fileChooser)
    , mInputFolder(setup.inputFolder)
{
    setObjectName("TformWeb");
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 680);

    mBrowser = new QWebEngineView(this);
    mBrowser->setObjectName("WebBrowser1");
    mPage = new ExplorerPage(mBrowser);
    mBrowser->setPage(mPage);
    setCentralWidget(mBrowser);
    connect(mPage, &ExplorerPage::navigationStarting, this, &ExplorerWindow::WebBrowser1BeforeNavigate2);
    connect(mPage, &QWebEnginePage::loadStarted, this, &ExplorerWindow::WebBrowser1DownloadBegin);
    connect(mPage, &QWebEnginePage::loadFinished, this, &ExplorerWindow::WebBrowser1DownloadComplete);
    connect(mPage, &ExplorerPage::archiveSaved, this, [this](const QString& path, bool ok) {
        if (!ok)
            pluvora::reportError(mUser, kPageNotSaved);
        emit pageSaved(path, ok);
    });

    buildBars();
    buildMenus();
    statusBar()->setObjectName("StatusBar1");
    // A panel rather than a status message: hovering a menu item would
    // clear a message and with it the address.
    mStatusPanel = new QLabel(statusBar());
    mStatusPanel->setObjectName("StatusPanel");
    statusBar()->addWidget(mStatusPanel, 1);

    // Creation, in the order the window has always done it.
    loadHomePageSite();
    LoadFavoriteToMenu();
    loadHotLinks();
    showPicture(pluvora::defaultfile::kGearBmp);
    positionPanel1();
    updateActions();
    mAddress->setEditText(mHotLinkURLs.value(0));
    navigateToURL();
}

ExplorerWindow::~ExplorerWindow()
{
    // Closed here too when the main window deletes the explorer, and gone
    // before this window is half-destroyed.
    closeOpenDialogs();
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
    // The browser may still report on its load while it is torn down, and
    // the address box may report a choice when it loses the focus; this
    // window must not hear either half-destroyed.
    mPage->disconnect(this);
    mAddress->disconnect(this);
    delete mBrowser;
}

void ExplorerWindow::showAddressList()
{
    const QSignalBlocker block(mAddress);
    const QString text = mAddress->currentText();
    mAddress->clear();
    for (const std::string& address : mNavigation.addressList())
        mAddress->addItem(fromUtf8(address));
    mAddress->setCurrentIndex(-1);
    mAddress->setEditText(text);
}

QUrl ExplorerWindow::browserUrl(const QString& text)
{
    QUrl url = QUrl::fromUserInput(text.trimmed());
    // The browser reports a site's address with its root path.
    if (url.path().isEmpty() && (url.scheme() == "http" || url.scheme() == "https"))
        url.setPath("/");
    return url;
}

QString ExplorerWindow::browserAddress(const QString& text) { return browserUrl(text).toString(); }

void ExplorerWindow::navigateToURL()
{
    mNavigation.startNavigation();
    mBrowser->load(browserUrl(mAddress->currentText()));
}

void ExplorerWindow::WebBrowser1BeforeNavigate2(const QUrl& url)
{
    const QString address = url.toString();
    // The explorer's own navigations show the address list's top entry, as
    // typed; a link followed inside the page shows where it leads.
    const bool ownNavigation = mNavigation.updateAddressList();
    const std::string top = mNavigation.beforeNavigate(toUtf8(address));
    showAddressList();
    mAddress->setEditText(ownNavigation ? fromUtf8(top) : address);
    mStatusPanel->setText(address);
    updateActions();
}

void ExplorerWindow::WebBrowser1DownloadBegin()
{
    mStopAction->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    showPicture(pluvora::defaultfile::kGearGif);
}

void ExplorerWindow::WebBrowser1DownloadComplete()
{
    const QIcon idle = style()->standardIcon(QStyle::SP_BrowserStop);
    mStopAction->setIcon(QIcon(idle.pixmap(16, QIcon::Disabled)));
    showPicture(pluvora::defaultfile::kGearBmp);
}

bool ExplorerWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Typed keys reach the box, which hands them to its line edit without
    // that edit's event filters, so Enter is caught on both.
    if ((watched == mAddress || watched == mAddress->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            URLsKeyDown();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void ExplorerWindow::URLsKeyDown()
{
    const QString text = mAddress->currentText();
    // The history holds what the browser reports: an address typed as
    // "www.site.org" must be found again when that navigation arrives as
    // "http://www.site.org/", or the current page would be dropped.
    const QString address = browserAddress(text);
    if (address.isEmpty())
        return;
    mNavigation.addressEntered(toUtf8(text), toUtf8(address));
    showAddressList();
    mAddress->setCurrentIndex(0);
    updateActions();
    navigateToURL();
}

void ExplorerWindow::URLsClick() { navigateToURL(); }

void ExplorerWindow::BackClick()
{
    if (!mNavigation.canGoBack())
        return;
    mAddress->setEditText(fromUtf8(mNavigation.backTarget()));
    navigateToURL();
}

void ExplorerWindow::ForwardClick()
{
    if (!mNavigation.canGoForward())
        return;
    mAddress->setEditText(fromUtf8(mNavigation.forwardTarget()));
    navigateToURL();
}

void ExplorerWindow::RefreshClick()
{
    mAddress->setEditText(fromUtf8(mNavigation.refreshTarget()));
    navigateToURL();
}

void ExplorerWindow::StopClick() { mBrowser->stop(); }

void ExplorerWindow::LinksClick(int tag)
{
    mAddress->setEditText(mHotLinkURLs.value(tag - 1));
    if (!mAddress->currentText().isEmpty())
        navigateToURL();
}

void ExplorerWindow::readDocument(std::function<void(const DocumentText&)> done)
{
    mPage->readDocument(std::move(done));
}

void ExplorerWindow::BitBtn1Click()
{
    readDocument([this](const DocumentText& document) { capture(document); });
}

void ExplorerWindow::capture(const DocumentText& document)
{
    if (mClosing)
        return;
    if (!document.hasBody) {
        // Empty input would pass for data; say what happened instead.
        pluvora::reportError(mUser, kNoPageText);
        return;
    }
    const QString name = document.title.isEmpty() ? mAddress->currentText() : document.title;
    emit captured(document.bodyText, name, mAddress->currentText());
    close();
}

void ExplorerWindow::SaveAsTextFileClick()
{
    const QString folder = mInputFolder ? mInputFolder() : QString();
    const QString chosen = mFileChooser.saveFile(this, kSaveTextItem, folder, kTextFilter, QString());
    if (chosen.isEmpty())
        return;
    const QString path = fromUtf8(pluvora::withSaveSuffix(toUtf8(chosen), ".txt"));
    readDocument([this, path](const DocumentText& document) {
        if (!document.hasBody) {
            pluvora::reportError(mUser, kNoPageText);
            return;
        }
        std::vector<std::string> lines;
        for (const QString& line : document.bodyText.split('\n'))
            lines.push_back(toUtf8(line));
        try {
            pluvora::writeLinesSafely(path.toStdString(), lines);
        } catch (const std::exception& error) {
            pluvora::reportError(mUser, error.what());
        }
    });
}

void ExplorerWindow::SaveAsSinglefileMHTClick()
{
    const QString folder = mInputFolder ? mInputFolder() : QString();
    const QString chosen = mFileChooser.saveFile(this, kSaveMhtItem, folder, kMhtFilter, QString());
    if (chosen.isEmpty())
        return;
    const QString path = fromUtf8(pluvora::withSaveSuffix(toUtf8(chosen), ".mht"));
    mPage->saveArchive(path);
}

void ExplorerWindow::Open2Click()
{
    const QString chosen = mFileChooser.openFile(this, kOpenItem, QString(), kOpenFilter);
    if (chosen.isEmpty())
        return;
    mAddress->setEditText(QFileInfo(chosen).absoluteFilePath());
    navigateToURL();
}

void ExplorerWindow::Exit1Click() { close(); }

void ExplorerWindow::Help2Click() { emit helpRequested(kHelpContext); }

void ExplorerWindow::closeEvent(QCloseEvent* event)
{
    closeOpenDialogs();
    if (!mClosing) {
        mClosing = true;
        mBrowser->stop();
        emit closed();
    }
    event->accept();
}
