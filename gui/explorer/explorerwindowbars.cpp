// The explorer's tool bars, menus and activity picture.
#include "gui/explorer/explorerwindow.h"

#include "engine/explorer/explorerfiles.h"
#include "gui/explorer/explorertext.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMovie>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>


namespace {

constexpr int kActivityPanelOffset = 85;

} // namespace

void ExplorerWindow::buildBars()
{
    auto* tools = addToolBar("Tools");
    tools->setObjectName("ToolBar1");
    tools->setMovable(false);
    auto* exitButton = new QToolButton(tools);
    exitButton->setObjectName("ToolButton9");
    exitButton->setText(kExit);
    exitButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(exitButton, &QToolButton::clicked, this, &ExplorerWindow::Exit1Click);
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
    connect(mBackAction, &QAction::triggered, this, &ExplorerWindow::BackClick);
    connect(mForwardAction, &QAction::triggered, this, &ExplorerWindow::ForwardClick);
    connect(mStopAction, &QAction::triggered, this, &ExplorerWindow::StopClick);
    connect(mRefreshAction, &QAction::triggered, this, &ExplorerWindow::RefreshClick);
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
    connect(capture, &QToolButton::clicked, this, &ExplorerWindow::BitBtn1Click);
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
    mAddress->installEventFilter(this);
    mAddress->lineEdit()->installEventFilter(this);
    connect(mAddress, &QComboBox::activated, this, &ExplorerWindow::URLsClick);
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
    // A site's daily series without a page to capture: the main window fetches it.
    auto* power = new QToolButton(links);
    power->setObjectName("GetPowerButton");
    power->setText(QString::fromLatin1(kGetPower));
    power->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(power, &QToolButton::clicked, this, &ExplorerWindow::getPowerRequested);
    links->addWidget(power);
}

void ExplorerWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(kFileMenu);
    file->setObjectName("File1");
    QAction* capture = file->addAction(kCaptureItem);
    capture->setObjectName("CapturedataintoPluvora1");
    capture->setShortcut(QKeySequence("Ctrl+W"));
    connect(capture, &QAction::triggered, this, &ExplorerWindow::BitBtn1Click);
    QAction* saveMht = file->addAction(kSaveMhtItem);
    saveMht->setObjectName("SaveAsSingleFileMHT");
    saveMht->setShortcut(QKeySequence("Ctrl+S"));
    connect(saveMht, &QAction::triggered, this, &ExplorerWindow::SaveAsSinglefileMHTClick);
    QAction* saveText = file->addAction(kSaveTextItem);
    saveText->setObjectName("SaveAsTextFile");
    connect(saveText, &QAction::triggered, this, &ExplorerWindow::SaveAsTextFileClick);
    file->addSeparator();
    QAction* open = file->addAction(kOpenItem);
    open->setObjectName("Open2");
    open->setShortcut(QKeySequence("Ctrl+O"));
    connect(open, &QAction::triggered, this, &ExplorerWindow::Open2Click);
    file->addSeparator();
    QAction* exit = file->addAction(kExitItem);
    exit->setObjectName("Exit1");
    exit->setShortcut(QKeySequence("Ctrl+Q"));
    connect(exit, &QAction::triggered, this, &ExplorerWindow::Exit1Click);

    mFavoritesMenu = menuBar()->addMenu(kFavoritesMenu);
    mFavoritesMenu->setObjectName("Favorites1");
    QAction* add = mFavoritesMenu->addAction(kAddFavoriteItem);
    add->setObjectName("AddToFavorites");
    connect(add, &QAction::triggered, this, &ExplorerWindow::AddToFavoritesClick);
    QAction* manage = mFavoritesMenu->addAction(kManageFavoritesItem);
    manage->setObjectName("OrganizeFavorite");
    connect(manage, &QAction::triggered, this, &ExplorerWindow::OrganizeFavoriteClick);
    QAction* home = mFavoritesMenu->addAction(kSetHomePageItem);
    home->setObjectName("SetHomePage");
    connect(home, &QAction::triggered, this, &ExplorerWindow::SetHomePageClick);
    mFavoritesMenu->addSeparator();

    QMenu* help = menuBar()->addMenu(kHelpMenu);
    help->setObjectName("Help1");
    QAction* contents = help->addAction(kHelpItem);
    contents->setObjectName("Help2");
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    connect(contents, &QAction::triggered, this, &ExplorerWindow::Help2Click);
}

void ExplorerWindow::loadHomePageSite()
{
    const pluvora::HomePage home = pluvora::loadHomePageSite(mFolder);
    mLinks[0]->setText(literalCaption(fromUtf8(home.name)));
    mLinks[0]->setToolTip(fromUtf8(home.name));
    mHotLinkURLs = {fromUtf8(home.address)};
}

void ExplorerWindow::loadHotLinks()
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

void ExplorerWindow::positionPanel1()
{
    const int top = menuBar()->isVisible() ? menuBar()->height() : 0;
    mActivityPanel->move(width() - kActivityPanelOffset, top);
    mActivityPanel->raise();
}

void ExplorerWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    positionPanel1();
}

void ExplorerWindow::showPicture(std::string_view file)
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

void ExplorerWindow::updateActions()
{
    mBackAction->setEnabled(mNavigation.canGoBack());
    mForwardAction->setEnabled(mNavigation.canGoForward());
}
