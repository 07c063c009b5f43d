#pragma once

#include "engine/appfolder/appfolder.h"
#include "engine/explorer/favorites.h"

#include <QDialog>

class ClosingComboBox;
namespace pluvora { class UserFeedback; }

// "Manage favorites": renames and deletes favorites. Both favorites files
// are written at each Delete and when the dialog closes.
class ManageFavoritesDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Manage favorites";
    static constexpr const char* kHint = "To rename, edit directly in the name box";
    static constexpr const char* kAccept = "Accept";
    static constexpr const char* kDelete = "Delete";
    static constexpr const char* kClose = "Close";

    ManageFavoritesDialog(const pluvora::AppFolder& folder, pluvora::UserFeedback& user,
                          QWidget* parent);

signals:
    void favoritesChanged();

public slots:
    // A favorite was chosen in the list: the one the buttons act on.
    void ComboBox1CloseUp();
    // "Accept": renames the chosen favorite to the typed text.
    void BitBtn1Click();
    // "Delete": removes the chosen favorite.
    void BitBtn2Click();
    // "Close": closes the dialog.
    void BitBtn3Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape ends the dialog without a close event; it saves too.
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showNames();
    void saveOnce();

    pluvora::UserFeedback& mUser;
    pluvora::FavoriteEditor mEditor;
    ClosingComboBox* mNames = nullptr; // ComboBox1
    bool mSaved = false;
};
