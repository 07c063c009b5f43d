#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
namespace pluvora {
class TemplateStore;
class UserFeedback;
} // namespace pluvora

// "Template management" (TForm5): renames and deletes stored templates. The
// rename panel opens below the list and the dialog grows to show it.
class TemplateManagerDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Template management";
    static constexpr const char* kAvailable = "Available templates";
    static constexpr const char* kRename = "Rename";
    static constexpr const char* kDelete = "Delete";
    static constexpr const char* kClose = "Close";
    static constexpr const char* kNewName = "New name";
    static constexpr const char* kOk = "OK";
    static constexpr const char* kCancel = "Cancel";
    static constexpr int kHeight = 268;
    static constexpr int kRenameHeight = 422;

    TemplateManagerDialog(const pluvora::TemplateStore& store, pluvora::UserFeedback& feedback,
                          QWidget* parent = nullptr);

    const QString& renameOldName() const { return mRenameOldName; }

public slots:
    // "Rename": opens the new-name panel for the selected template.
    void BitBtn1Click();
    // "Delete": removes the selected template.
    void BitBtn2Click();
    // The new-name panel's "OK": renames the template.
    void BitBtn4Click();
    // The new-name panel's "Cancel": back to the list.
    void BitBtn5Click();
    // Gives the dialog's controls their usual colours back.
    void RestoreTextColor();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showList(const std::vector<std::string>& names);
    std::vector<std::string> listedNames() const;
    void closeRenamePanel();

    const pluvora::TemplateStore& mStore;
    pluvora::UserFeedback& mFeedback;
    QString mRenameOldName;
    QGroupBox* mListGroup;
    QLabel* mListLabel;
    QListWidget* mList;
    QPushButton* mRename;
    QPushButton* mDelete;
    QPushButton* mClose;
    QGroupBox* mRenamePanel;
    QLineEdit* mNewName;
};
