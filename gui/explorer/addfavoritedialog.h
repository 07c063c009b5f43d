#pragma once

#include "engine/appfolder/appfolder.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
namespace pluvora { class UserFeedback; }

// "Add to favorites": saves the current page under a new name.
class AddFavoriteDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Add to favorites";
    static constexpr const char* kNameLabel = "Name";
    static constexpr const char* kSavedNamesLabel = "Saved names";
    static constexpr const char* kSave = "Save";
    static constexpr const char* kCancel = "Cancel";

    AddFavoriteDialog(const pluvora::AppFolder& folder, pluvora::UserFeedback& user,
                      const QString& title, const QString& address, QWidget* parent);

signals:
    void favoritesChanged();

public slots:
    // "Save": adds the page under the typed name, unless the name is taken.
    void BitBtn1Click();
    // "Cancel": closes without adding.
    void BitBtn2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const pluvora::AppFolder& mFolder;
    pluvora::UserFeedback& mUser;
    QString mAddress;
    QLineEdit* mName = nullptr;        // Edit1
    QListWidget* mSavedNames = nullptr; // ListBox1
};
