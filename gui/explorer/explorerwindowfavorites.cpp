// The explorer's favorites menu, its dialogs and the home page.
#include "gui/explorer/explorerwindow.h"

#include "engine/explorer/explorerfiles.h"
#include "engine/explorer/favorites.h"
#include "engine/ui/userfeedback.h"
#include "gui/explorer/addfavoritedialog.h"
#include "gui/explorer/explorertext.h"
#include "gui/explorer/homepagedialog.h"
#include "gui/explorer/managefavoritesdialog.h"

#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QWebEngineView>


void ExplorerWindow::LoadFavoriteToMenu()
{
    const QList<QAction*> items = mFavoritesMenu->actions();
    for (qsizetype k = kFixedFavoriteItems; k < items.size(); ++k) {
        mFavoritesMenu->removeAction(items[k]);
        delete items[k];
    }
    for (const std::string& name : pluvora::loadFavoriteNames(mFolder))
        addToFavoriteOnMenu(fromUtf8(name));
}

void ExplorerWindow::addToFavoriteOnMenu(const QString& name)
{
    QAction* item = mFavoritesMenu->addAction(style()->standardIcon(QStyle::SP_FileLinkIcon),
                                              literalCaption(name));
    connect(item, &QAction::triggered, this, [this, item] { favoritesItemClick(item); });
}

void ExplorerWindow::favoritesItemClick(QAction* item)
{
    const int position = static_cast<int>(mFavoritesMenu->actions().indexOf(item)) - kFixedFavoriteItems;
    const auto address = pluvora::favoriteAddress(mFolder, position);
    if (!address)
        return;
    mAddress->setEditText(fromUtf8(*address));
    navigateToURL();
}

void ExplorerWindow::showDialog(QWidget* dialog)
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

void ExplorerWindow::closeOpenDialogs()
{
    // Each dialog then ends as if its user closed it: "Manage favorites"
    // writes its renames.
    for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        dialog->close();
}

void ExplorerWindow::AddToFavoritesClick()
{
    const QString address = mBrowser->url().toString();
    readDocument([this, address](const DocumentText& document) {
        auto* dialog = new AddFavoriteDialog(mFolder, mUser, document.title, address, this);
        connect(dialog, &AddFavoriteDialog::favoritesChanged, this, &ExplorerWindow::LoadFavoriteToMenu);
        showDialog(dialog);
    });
}

void ExplorerWindow::OrganizeFavoriteClick()
{
    auto* dialog = new ManageFavoritesDialog(mFolder, mUser, this);
    connect(dialog, &ManageFavoritesDialog::favoritesChanged, this, &ExplorerWindow::LoadFavoriteToMenu);
    showDialog(dialog);
}

void ExplorerWindow::SetHomePageClick()
{
    readDocument([this](const DocumentText& document) {
        auto* dialog = new HomePageDialog(document.title, this);
        connect(dialog, &HomePageDialog::homePageAccepted, this, &ExplorerWindow::setHomePage);
        showDialog(dialog);
    });
}

void ExplorerWindow::setHomePage(const QString& typedName)
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
