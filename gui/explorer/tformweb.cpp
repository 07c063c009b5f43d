#include "explorer/tformweb.h"

#include "appfolder/safefile.h"
#include "explorer/addfavoritedialog.h"
#include "explorer/capturetarget.h"
#include "explorer/explorerfiles.h"
#include "explorer/explorerpage.h"
#include "explorer/favorites.h"
#include "explorer/homepagedialog.h"
#include "explorer/managefavoritesdialog.h"
#include "filechooser.h"
#include "ui/userfeedback.h"
#include "utf8text.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMovie>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWebEngineView>

namespace {

// Names from the user's files are shown as typed: an ampersand is no
// keyboard accelerator.
QString literalCaption(const QString& text)
{
    QString escaped = text;
    return escaped.replace('&', "&&");
}

constexpr int kActivityPanelOffset = 85;

} // namespace

TformWeb::TformWeb(const ExplorerSetup& setup, QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , mFolder(*setup.folder)
    , mUser(*setup.feedback)
    , mFileChooser(*setup.fileChooser)
    , mInputFolder(setup.inputFolder)
    , mCaptureTarget(setup.mainWindow)
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
    connect(mPage, &ExplorerPage::navigationStarting, this, &TformWeb::WebBrowser1BeforeNavigate2);
    connect(mPage, &QWebEnginePage::loadStarted, this, &TformWeb::WebBrowser1DownloadBegin);
    connect(mPage, &QWebEnginePage::loadFinished, this, &TformWeb::WebBrowser1DownloadComplete);
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

TformWeb::~TformWeb()
{
    // Closed here too when the main window deletes the explorer, and gone
    // before this window is half-destroyed.
    closeOpenDialogs();
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
    // The browser may still report on its load while it is torn down; this
    // window must not hear it half-destroyed.
    mPage->disconnect(this);
    delete mBrowser;
}

void TformWeb::buildBars()
{
    auto* tools = addToolBar("Tools");
    tools->setObjectName("ToolBar1");
    tools->setMovable(false);
    auto* exitButton = new QToolButton(tools);
    exitButton->setObjectName("ToolButton9");
    exitButton->setText(kExit);
    exitButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(exitButton, &QToolButton::clicked, this, &TformWeb::Exit1Click);
    tools->addWidget(exitButton);
    tools->addSeparator();

    const auto makeAction = [this, tools](QAction*& action, const char* actionName, const char* text,
                                         QStyle::StandardPixmap icon, const char* buttonName) {
        action = new QAction(style()->standardIcon(icon), text, this);
        action->setObjectName(actionName);
        auto* button = new QToolButton(tools);
        button->setObjectName(buttonName);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tools->addWidget(button);
        this->addAction(action);
    };
    makeAction(mBackAction, "BackAction", kBack, QStyle::SP_ArrowBack, "BackBtn");
    makeAction(mForwardAction, "ForwardAction", kForward, QStyle::SP_ArrowForward, "ForwardBtn");
    makeAction(mStopAction, "StopAction", kStop, QStyle::SP_BrowserStop, "StopBtn");
    makeAction(mRefreshAction, "RefreshAction", kRefresh, QStyle::SP_BrowserReload, "RefreshBtn");
    mBackAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    mForwardAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(mBackAction, &QAction::triggered, this, &TformWeb::BackClick);
    connect(mForwardAction, &QAction::triggered, this, &TformWeb::ForwardClick);
    connect(mStopAction, &QAction::triggered, this, &TformWeb::StopClick);
    connect(mRefreshAction, &QAction::triggered, this, &TformWeb::RefreshClick);
    tools->addSeparator();

    auto* capture = new QToolButton(tools);
    capture->setObjectName("BitBtn1");
    capture->setText(kCapture);
    capture->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont bold = capture->font();
    bold.setBold(true);
    capture->setFont(bold);
    QPalette red = capture->palette();
    red.setColor(QPalette::ButtonText, Qt::red);
    capture->setPalette(red);
    connect(capture, &QToolButton::clicked, this, &TformWeb::BitBtn1Click);
    tools->addWidget(capture);

    // The activity picture keeps its place at the right end of the bars
    // whatever the window's width.
    mActivityPanel = new QWidget(this);
    mActivityPanel->setObjectName("Panel1");
    mActivityPanel->resize(kActivityPanelOffset - 8, 40);
    mActivityImage = new QLabel(mActivityPanel);
    mActivityImage->setObjectName("Image1");
    mActivityImage->setAlignment(Qt::AlignCenter);
    mActivityImage->setGeometry(0, 0, mActivityPanel->width(), mActivityPanel->height());

    addToolBarBreak();
    auto* addressBar = addToolBar(kAddressBand);
    addressBar->setObjectName("AddressBand");
    addressBar->setMovable(false);
    addressBar->addWidget(new QLabel(QString(kAddressBand) + ' ', addressBar));
    mAddress = new QComboBox(addressBar);
    mAddress->setObjectName("URLs");
    mAddress->setToolTip(kAddressHint);
    mAddress->setEditable(true);
    mAddress->setInsertPolicy(QComboBox::NoInsert);
    mAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    mAddress->lineEdit()->installEventFilter(this);
    connect(mAddress, &QComboBox::activated, this, &TformWeb::URLsClick);
    addressBar->addWidget(mAddress);

    addToolBarBreak();
    auto* links = addToolBar(kLinksBand);
    links->setObjectName("LinksBand");
    links->setMovable(false);
    links->addWidget(new QLabel(QString(kLinksBand) + ' ', links));
    for (int tag = 1; tag <= 6; ++tag) {
        auto* button = new QToolButton(links);
        button->setObjectName(QString("ToolButton%1").arg(tag));
        button->setProperty("tag", tag);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        connect(button, &QToolButton::clicked, this, [this, tag] { LinksClick(tag); });
        links->addWidget(button);
        mLinks[tag - 1] = button;
    }
}

void TformWeb::buildMenus()
{
    QMenu* file = menuBar()->addMenu(kFileMenu);
    file->setObjectName("File1");
    QAction* capture = file->addAction(kCaptureItem);
    capture->setObjectName("CapturedataintoPluvora1");
    capture->setShortcut(QKeySequence("Ctrl+W"));
    connect(capture, &QAction::triggered, this, &TformWeb::BitBtn1Click);
    QAction* saveMht = file->addAction(kSaveMhtItem);
    saveMht->setObjectName("SaveAsSingleFileMHT");
    saveMht->setShortcut(QKeySequence("Ctrl+S"));
    connect(saveMht, &QAction::triggered, this, &TformWeb::SaveAsSinglefileMHTClick);
    QAction* saveText = file->addAction(kSaveTextItem);
    saveText->setObjectName("SaveAsTextFile");
    connect(saveText, &QAction::triggered, this, &TformWeb::SaveAsTextFileClick);
    file->addSeparator();
    QAction* open = file->addAction(kOpenItem);
    open->setObjectName("Open2");
    open->setShortcut(QKeySequence("Ctrl+O"));
    connect(open, &QAction::triggered, this, &TformWeb::Open2Click);
    file->addSeparator();
    QAction* exit = file->addAction(kExitItem);
    exit->setObjectName("Exit1");
    exit->setShortcut(QKeySequence("Ctrl+Q"));
    connect(exit, &QAction::triggered, this, &TformWeb::Exit1Click);

    mFavoritesMenu = menuBar()->addMenu(kFavoritesMenu);
    mFavoritesMenu->setObjectName("Favorites1");
    QAction* add = mFavoritesMenu->addAction(kAddFavoriteItem);
    add->setObjectName("AddToFavorites");
    connect(add, &QAction::triggered, this, &TformWeb::AddToFavoritesClick);
    QAction* manage = mFavoritesMenu->addAction(kManageFavoritesItem);
    manage->setObjectName("OrganizeFavorite");
    connect(manage, &QAction::triggered, this, &TformWeb::OrganizeFavoriteClick);
    QAction* home = mFavoritesMenu->addAction(kSetHomePageItem);
    home->setObjectName("SetHomePage");
    connect(home, &QAction::triggered, this, &TformWeb::SetHomePageClick);
    mFavoritesMenu->addSeparator();

    QMenu* help = menuBar()->addMenu(kHelpMenu);
    help->setObjectName("Help1");
    QAction* contents = help->addAction(kHelpItem);
    contents->setObjectName("Help2");
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    connect(contents, &QAction::triggered, this, &TformWeb::Help2Click);
}

void TformWeb::loadHomePageSite()
{
    const pluvora::HomePage home = pluvora::loadHomePageSite(mFolder);
    mLinks[0]->setText(literalCaption(fromUtf8(home.name)));
    mLinks[0]->setToolTip(fromUtf8(home.name));
    mHotLinkURLs = {fromUtf8(home.address)};
}

void TformWeb::loadHotLinks()
{
    const auto links = pluvora::loadHotLinks(mFolder);
    for (int k = 0; k < pluvora::kHotLinkCount; ++k) {
        QToolButton* button = mLinks[k + 1];
        if (!links) {
            // Without the file these buttons have nowhere to go.
            button->setEnabled(false);
            continue;
        }
        const pluvora::HotLink& link = (*links)[static_cast<std::size_t>(k)];
        button->setText(literalCaption(fromUtf8(link.caption)));
        button->setToolTip(fromUtf8(link.hint));
        mHotLinkURLs << fromUtf8(link.address);
    }
}

void TformWeb::positionPanel1()
{
    const int top = menuBar()->isVisible() ? menuBar()->height() : 0;
    mActivityPanel->move(width() - kActivityPanelOffset, top);
    mActivityPanel->raise();
}

void TformWeb::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    positionPanel1();
}

void TformWeb::showPicture(std::string_view file)
{
    // The pictures come with the installation; without them the place
    // stays empty.
    delete mActivityImage->movie();
    mActivityImage->clear();
    if (!mFolder.exists(file))
        return;
    const QString path = QString::fromStdString(mFolder.file(file).string());
    if (path.endsWith(".gif", Qt::CaseInsensitive)) {
        auto* movie = new QMovie(path, QByteArray(), mActivityImage);
        if (!movie->isValid()) {
            delete movie;
            return;
        }
        mActivityImage->setMovie(movie);
        movie->start();
    } else {
        mActivityImage->setPixmap(QPixmap(path));
    }
}

void TformWeb::updateActions()
{
    mBackAction->setEnabled(mNavigation.canGoBack());
    mForwardAction->setEnabled(mNavigation.canGoForward());
}

void TformWeb::showAddressList()
{
    const QSignalBlocker block(mAddress);
    const QString text = mAddress->currentText();
    mAddress->clear();
    for (const std::string& address : mNavigation.addressList())
        mAddress->addItem(fromUtf8(address));
    mAddress->setCurrentIndex(-1);
    mAddress->setEditText(text);
}

QUrl TformWeb::browserUrl(const QString& text)
{
    QUrl url = QUrl::fromUserInput(text.trimmed());
    // The browser reports a site's address with its root path.
    if (url.path().isEmpty() && (url.scheme() == "http" || url.scheme() == "https"))
        url.setPath("/");
    return url;
}

QString TformWeb::browserAddress(const QString& text) { return browserUrl(text).toString(); }

void TformWeb::navigateToURL()
{
    mNavigation.startNavigation();
    mBrowser->load(browserUrl(mAddress->currentText()));
}

void TformWeb::WebBrowser1BeforeNavigate2(const QUrl& url)
{
    const QString address = url.toString();
    const std::string shown = mNavigation.beforeNavigate(toUtf8(address));
    showAddressList();
    mAddress->setEditText(fromUtf8(shown));
    mStatusPanel->setText(address);
    updateActions();
}

void TformWeb::WebBrowser1DownloadBegin()
{
    mStopAction->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    showPicture(pluvora::defaultfile::kGearGif);
}

void TformWeb::WebBrowser1DownloadComplete()
{
    const QIcon idle = style()->standardIcon(QStyle::SP_BrowserStop);
    mStopAction->setIcon(QIcon(idle.pixmap(16, QIcon::Disabled)));
    showPicture(pluvora::defaultfile::kGearBmp);
}

bool TformWeb::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mAddress->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            URLsKeyDown();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TformWeb::URLsKeyDown()
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

void TformWeb::URLsClick() { navigateToURL(); }

void TformWeb::BackClick()
{
    if (!mNavigation.canGoBack())
        return;
    mAddress->setEditText(fromUtf8(mNavigation.backTarget()));
    navigateToURL();
}

void TformWeb::ForwardClick()
{
    if (!mNavigation.canGoForward())
        return;
    mAddress->setEditText(fromUtf8(mNavigation.forwardTarget()));
    navigateToURL();
}

void TformWeb::RefreshClick()
{
    mAddress->setEditText(fromUtf8(mNavigation.refreshTarget()));
    navigateToURL();
}

void TformWeb::StopClick() { mBrowser->stop(); }

void TformWeb::LinksClick(int tag)
{
    mAddress->setEditText(mHotLinkURLs.value(tag - 1));
    if (!mAddress->currentText().isEmpty())
        navigateToURL();
}

void TformWeb::readDocument(std::function<void(const DocumentText&)> done)
{
    mPage->readDocument(std::move(done));
}

void TformWeb::BitBtn1Click()
{
    readDocument([this](const DocumentText& document) { capture(document); });
}

void TformWeb::capture(const DocumentText& document)
{
    if (mClosing)
        return;
    if (!document.hasBody) {
        // Empty input would pass for data; say what happened instead.
        pluvora::reportError(mUser, kNoPageText);
        return;
    }
    const QString name = document.title.isEmpty() ? mAddress->currentText() : document.title;
    mCaptureTarget.putInput(document.bodyText, name);
    mUser.playSound(pluvora::Sound::Exclamation);
    detectdataSource();
    close();
}

void TformWeb::detectdataSource()
{
    mCaptureTarget.applyTemplate(pluvora::isKnownDataSource(toUtf8(mAddress->currentText())));
}

void TformWeb::SaveAsTextFileClick()
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

void TformWeb::SaveAsSinglefileMHTClick()
{
    const QString folder = mInputFolder ? mInputFolder() : QString();
    const QString chosen = mFileChooser.saveFile(this, kSaveMhtItem, folder, kMhtFilter, QString());
    if (chosen.isEmpty())
        return;
    const QString path = fromUtf8(pluvora::withSaveSuffix(toUtf8(chosen), ".mht"));
    mPage->saveArchive(path);
}

void TformWeb::Open2Click()
{
    const QString chosen = mFileChooser.openFile(this, kOpenItem, QString(), kOpenFilter);
    if (chosen.isEmpty())
        return;
    mAddress->setEditText(QFileInfo(chosen).absoluteFilePath());
    navigateToURL();
}

void TformWeb::Exit1Click() { close(); }

void TformWeb::Help2Click() { emit helpRequested(kHelpContext); }

void TformWeb::LoadFavoriteToMenu()
{
    const QList<QAction*> items = mFavoritesMenu->actions();
    for (qsizetype k = kFixedFavoriteItems; k < items.size(); ++k) {
        mFavoritesMenu->removeAction(items[k]);
        delete items[k];
    }
    for (const std::string& name : pluvora::loadFavoriteNames(mFolder))
        addToFavoriteOnMenu(fromUtf8(name));
}

void TformWeb::addToFavoriteOnMenu(const QString& name)
{
    QAction* item = mFavoritesMenu->addAction(style()->standardIcon(QStyle::SP_FileLinkIcon),
                                              literalCaption(name));
    connect(item, &QAction::triggered, this, [this, item] { favoritesItemClick(item); });
}

void TformWeb::favoritesItemClick(QAction* item)
{
    const int position = static_cast<int>(mFavoritesMenu->actions().indexOf(item)) - kFixedFavoriteItems;
    const auto address = pluvora::favoriteAddress(mFolder, position);
    if (!address)
        return;
    mAddress->setEditText(fromUtf8(*address));
    navigateToURL();
}

void TformWeb::showDialog(QWidget* dialog)
{
    // The explorer waits for the dialog while the main window stays usable.
    // A window-modal dialog would block the main window too, the explorer's
    // parent, so the explorer is disabled instead; a disabled window also
    // disables its child windows, hence the dialog is enabled again.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // One at a time: a second dialog (a menu item chosen twice before the
    // page answered) would write its stale list over the first one's change.
    for (QDialog* open : findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        if (open != dialog && open->isVisible()) {
            delete dialog;
            return;
        }
    }
    setEnabled(false);
    dialog->setEnabled(true);
    connect(dialog, &QObject::destroyed, this, [this] { setEnabled(true); });
    dialog->adjustSize();
    if (const QScreen* screen = this->screen())
        dialog->move(screen->availableGeometry().center() - dialog->rect().center());
    dialog->show();
}

void TformWeb::closeOpenDialogs()
{
    // Each dialog then ends as if its user closed it: "Manage favorites"
    // writes its renames.
    for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        dialog->close();
}

void TformWeb::AddToFavoritesClick()
{
    const QString address = mBrowser->url().toString();
    readDocument([this, address](const DocumentText& document) {
        auto* dialog = new AddFavoriteDialog(mFolder, mUser, document.title, address, this);
        connect(dialog, &AddFavoriteDialog::favoritesChanged, this, &TformWeb::LoadFavoriteToMenu);
        showDialog(dialog);
    });
}

void TformWeb::OrganizeFavoriteClick()
{
    auto* dialog = new ManageFavoritesDialog(mFolder, mUser, this);
    connect(dialog, &ManageFavoritesDialog::favoritesChanged, this, &TformWeb::LoadFavoriteToMenu);
    showDialog(dialog);
}

void TformWeb::SetHomePageClick()
{
    readDocument([this](const DocumentText& document) {
        auto* dialog = new HomePageDialog(document.title, this);
        connect(dialog, &HomePageDialog::homePageAccepted, this, &TformWeb::setHomePage);
        showDialog(dialog);
    });
}

void TformWeb::setHomePage(const QString& typedName)
{
    const QString name = fromUtf8(pluvora::oneLine(toUtf8(typedName)));
    mLinks[0]->setText(literalCaption(name));
    mLinks[0]->setToolTip(name);
    const QString address = fromUtf8(pluvora::oneLine(toUtf8(mAddress->currentText())));
    if (mHotLinkURLs.isEmpty())
        mHotLinkURLs << address;
    else
        mHotLinkURLs[0] = address;
    try {
        pluvora::saveHomePage(mFolder, pluvora::HomePage{toUtf8(name), toUtf8(address)});
    } catch (const std::exception& error) {
        pluvora::reportError(mUser, error.what());
    }
}

void TformWeb::closeEvent(QCloseEvent* event)
{
    closeOpenDialogs();
    if (!mClosing) {
        mClosing = true;
        mBrowser->stop();
        emit closed();
    }
    event->accept();
}
