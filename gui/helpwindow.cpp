#include "gui/helpwindow.h"

#include "gui/controls.h"

#include <QHBoxLayout>
#include <QScreen>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace {

// Context numbers are part of the program's interface: the task-6 help
// button asks for 3210 and the explorer for 1260.
constexpr std::array<std::pair<int, const char*>, 3> kPages{{
    {HelpWindow::kContents, HelpWindow::kContentsPage},
    {1260, "explorer.html#1260"},
    {3210, "pan.html#3210"},
}};

} // namespace

QString HelpWindow::pageFor(int context)
{
    for (const auto& [number, page] : kPages)
        if (number == context)
            return QString::fromLatin1(page);
    return QString::fromLatin1(kContentsPage);
}

bool HelpWindow::hasPage(const QDir& helpFolder, int context)
{
    const QString page = pageFor(context).section('#', 0, 0);
    return helpFolder.exists(page);
}

HelpWindow::HelpWindow(const QDir& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , mFolder(helpFolder)
{
    setObjectName("HelpWindow");
    setWindowTitle(QString::fromLatin1(kCaption));

    mBrowser = new QTextBrowser(this);
    mBrowser->setObjectName("HelpBrowser");
    mBrowser->setSearchPaths({mFolder.absolutePath()});
    mBrowser->setOpenExternalLinks(false);

    auto* contents = makeButton("HelpContents", kContentsCaption, this);
    auto* back = makeButton("HelpBack", kBackCaption, this);
    auto* forward = makeButton("HelpForward", kForwardCaption, this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { showContext(kContents); });
    connect(back, &QPushButton::clicked, mBrowser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, mBrowser, &QTextBrowser::forward);
    connect(mBrowser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(mBrowser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(mBrowser);
    resize(720, 640);
}

void HelpWindow::showContext(int context)
{
    const QString page = pageFor(context);
    QUrl url = QUrl::fromLocalFile(mFolder.absoluteFilePath(page.section('#', 0, 0)));
    if (page.contains('#'))
        url.setFragment(page.section('#', 1));
    mBrowser->setSource(url);
    if (!isVisible())
        keepOnScreen();
    show();
    raise();
    activateWindow();
}

void HelpWindow::keepOnScreen()
{
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* shown = owner ? owner->screen() : screen();
    if (shown == nullptr)
        return;
    // The desktop adds a frame and title bar outside the window.
    const QSize chrome(16, 48);
    const QRect free = shown->availableGeometry();
    resize(QSize(720, 640).boundedTo(free.size() - chrome));
    const QPoint centre = owner ? owner->frameGeometry().center() : free.center();
    const QSize outer = size() + chrome;
    const int x = qBound(free.left(), centre.x() - outer.width() / 2, free.right() + 1 - outer.width());
    const int y = qBound(free.top(), centre.y() - outer.height() / 2, free.bottom() + 1 - outer.height());
    move(x, y);
}
